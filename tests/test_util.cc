#include "test_util.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace scenario {

bool FakeFileSystem::Exists(const std::string& path) { return files.count(path) != 0; }

bool FakeFileSystem::ReadFile(const std::string& path, std::string* bytes, std::string* err) {
  log.push_back("read " + path);
  auto it = files.find(path);
  if (it == files.end()) {
    *err = path + ": file non trovato";
    return false;
  }
  *bytes = it->second;
  return true;
}

bool FakeFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                               std::string* err) {
  log.push_back("write " + path);
  if (path == fail_write_on) {
    *err = path + ": scrittura non riuscita";
    return false;
  }
  files[path] = std::string(bytes);
  return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path, std::string* err) {
  log.push_back("remove " + path);
  if (files.erase(path) == 0) {
    *err = path + ": file non trovato";
    return false;
  }
  return true;
}

bool FakeFileSystem::CreateFolders(const std::string& path, std::string* /*err*/) {
  log.push_back("mkdir " + path);
  return true;
}

bool FakeFileSystem::ModifiedTime(const std::string& path, int64_t* time) {
  auto it = times.find(path);
  if (it == times.end() || files.count(path) == 0) return false;
  *time = it->second;
  return true;
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line not ended by CR LF";
      lines.push_back(bytes.substr(start));
      break;
    }
    std::string line = bytes.substr(start, end - start);
    EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << "bare CR or LF in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "scenario_test_XXXXXX").string();
  char* made = mkdtemp(templ.data());
  if (made == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace scenario
