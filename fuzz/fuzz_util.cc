#include "fuzz/fuzz_util.h"

#include <cstdio>
#include <cstdlib>

namespace scenario {

bool MemoryFileSystem::ReadFile(const std::string& path, std::string* bytes, std::string* err) {
  auto it = files.find(path);
  if (it == files.end()) {
    *err = "file non trovato: " + path;
    return false;
  }
  *bytes = it->second;
  return true;
}

bool MemoryFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                                 std::string* /*err*/) {
  files[path] = std::string(bytes);
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path, std::string* err) {
  if (files.erase(path) == 0) {
    *err = "file non trovato: " + path;
    return false;
  }
  return true;
}

void FuzzCheck(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace scenario
