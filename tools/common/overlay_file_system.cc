#include "tools/common/overlay_file_system.h"

#include <algorithm>

namespace scenario {

bool OverlayFileSystem::Exists(const std::string& path) {
  if (written_.count(path) != 0) return true;
  if (hidden_.count(path) != 0) return false;
  return base_->Exists(path);
}

bool OverlayFileSystem::ReadFile(const std::string& path, std::string* bytes, std::string* err) {
  auto it = written_.find(path);
  if (it != written_.end()) {
    *bytes = it->second;
    return true;
  }
  if (hidden_.count(path) != 0) {
    *err = "impossibile leggere il file " + path + ": file non trovato";
    return false;
  }
  return base_->ReadFile(path, bytes, err);
}

bool OverlayFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                                  std::string* /*err*/) {
  if (written_.count(path) == 0) order_.push_back(path);
  written_[path] = std::string(bytes);
  hidden_.erase(path);
  return true;
}

bool OverlayFileSystem::RemoveFile(const std::string& path, std::string* err) {
  if (!Exists(path)) {
    *err = "impossibile eliminare il file " + path + ": file non trovato";
    return false;
  }
  if (written_.erase(path) != 0) order_.erase(std::find(order_.begin(), order_.end(), path));
  if (base_->Exists(path)) hidden_.insert(path);
  return true;
}

const std::string* OverlayFileSystem::Pending(const std::string& path) const {
  auto it = written_.find(path);
  return it == written_.end() ? nullptr : &it->second;
}

bool OverlayFileSystem::Commit(std::string* err) {
  for (const std::string& path : order_) {
    if (protected_.count(path) != 0) {
      *err = "il file " + path + " è una sorgente e non viene sovrascritto";
      return false;
    }
  }
  // What each target held before, so that a failure can put it back.
  struct Earlier {
    std::string path;
    bool existed = false;
    std::string bytes;
  };
  std::vector<Earlier> done;
  auto roll_back = [&] {
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      std::string ignored;
      if (it->existed) {
        base_->WriteFile(it->path, it->bytes, &ignored);
      } else {
        base_->RemoveFile(it->path, &ignored);
      }
    }
  };
  for (const std::string& path : order_) {
    Earlier before{path, base_->Exists(path), {}};
    if ((before.existed && !base_->ReadFile(path, &before.bytes, err)) ||
        !base_->WriteFile(path, written_[path], err)) {
      roll_back();
      return false;
    }
    done.push_back(std::move(before));
  }
  written_.clear();
  order_.clear();
  return true;
}

}  // namespace scenario
