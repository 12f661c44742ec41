#include "tools/common/overlay_file_system.h"

#include <algorithm>
#include <utility>

namespace scenario {

// Gathers a file in memory until it reaches the stage size, then sends it
// on to a file staged on the disk below.
class OverlayFileSystem::Writer : public FileWriter {
 public:
  Writer(OverlayFileSystem* overlay, std::string path)
      : overlay_(overlay), path_(std::move(path)) {}

  bool Append(std::string_view bytes, std::string* err) override {
    if (done_) return Closed(err);
    if (file_.staged == nullptr) {
      if (file_.bytes.size() + bytes.size() < overlay_->stage_size_) {
        file_.bytes.append(bytes);
        return true;
      }
      // From here on the file goes to the disk below as it comes.
      file_.staged = overlay_->base_->StartFile(path_, err);
      if (file_.staged == nullptr || !file_.staged->Append(file_.bytes, err)) {
        Abort();
        return false;
      }
      std::string().swap(file_.bytes);
    }
    if (!file_.staged->Append(bytes, err)) {
      Abort();
      return false;
    }
    return true;
  }

  bool Commit(std::string* err) override {
    if (done_) return committed_ || Closed(err);
    done_ = committed_ = true;
    overlay_->Settle(path_, std::move(file_));
    return true;
  }

  void Abort() override {
    done_ = true;
    file_ = PendingFile{};  // a staged file is removed with its writer
  }

 private:
  bool Closed(std::string* err) const {
    *err = "impossibile scrivere il file " + path_ + ": scrittura annullata";
    return false;
  }

  OverlayFileSystem* overlay_;
  std::string path_;
  PendingFile file_;
  bool done_ = false;
  bool committed_ = false;
};

bool OverlayFileSystem::Exists(const std::string& path) {
  if (written_.count(path) != 0) return true;
  if (hidden_.count(path) != 0) return false;
  return base_->Exists(path);
}

bool OverlayFileSystem::ReadFile(const std::string& path, std::string* bytes, std::string* err) {
  auto it = written_.find(path);
  if (it != written_.end()) {
    if (it->second.staged != nullptr) {
      *err = "impossibile leggere il file " + path + ": in scrittura, non ancora confermato";
      return false;
    }
    *bytes = it->second.bytes;
    return true;
  }
  if (hidden_.count(path) != 0) {
    *err = "impossibile leggere il file " + path + ": file non trovato";
    return false;
  }
  return base_->ReadFile(path, bytes, err);
}

bool OverlayFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                                  std::string* err) {
  Writer file(this, path);
  return file.Append(bytes, err) && file.Commit(err);
}

std::unique_ptr<FileWriter> OverlayFileSystem::StartFile(const std::string& path,
                                                         std::string* /*err*/) {
  return std::make_unique<Writer>(this, path);
}

const std::string* OverlayFileSystem::Pending(const std::string& path) const {
  auto it = written_.find(path);
  if (it == written_.end() || it->second.staged != nullptr) return nullptr;
  return &it->second.bytes;
}

void OverlayFileSystem::Settle(const std::string& path, PendingFile file) {
  if (written_.count(path) == 0) order_.push_back(path);
  written_[path] = std::move(file);  // an earlier staged file of the path goes
  hidden_.erase(path);
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

std::string OverlayFileSystem::BackupName(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  const std::string folder = separator == std::string::npos ? "" : path.substr(0, separator + 1);
  std::string name;
  do {
    name = folder + ".scenario_precedente_" + std::to_string(backups_++);
  } while (base_->Exists(name));
  return name;
}

void OverlayFileSystem::DropPending() {
  written_.clear();  // staged files are removed with their writers
  order_.clear();
}

bool OverlayFileSystem::Commit(std::string* err) {
  for (const std::string& path : order_) {
    if (protected_.count(path) != 0) {
      *err = "il file " + path + " è una sorgente e non viene sovrascritto";
      DropPending();
      return false;
    }
  }
  // 1. Every file beside its target: a file that cannot be written stops
  // the commit before anything is touched.
  for (const std::string& path : order_) {
    PendingFile& file = written_[path];
    if (file.staged != nullptr) continue;
    file.staged = base_->StartFile(path, err);
    if (file.staged == nullptr || !file.staged->Append(file.bytes, err)) {
      DropPending();
      return false;
    }
    std::string().swap(file.bytes);
  }
  // 2. Into place, each earlier file moved aside first so that a failure
  // can put it back.
  struct Placed {
    std::string path;
    std::string backup;  // "" when there was no earlier file
    bool committed = false;
  };
  std::vector<Placed> placed;
  auto roll_back = [&] {
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
      std::string ignored;
      if (!it->backup.empty()) {
        base_->RenameFile(it->backup, it->path, &ignored);
      } else if (it->committed) {
        base_->RemoveFile(it->path, &ignored);
      }
    }
    DropPending();
    return false;
  };
  for (const std::string& path : order_) {
    Placed p{path, "", false};
    if (base_->Exists(path)) {
      p.backup = BackupName(path);
      if (!base_->RenameFile(path, p.backup, err)) return roll_back();
    }
    placed.push_back(p);
    if (!written_[path].staged->Commit(err)) return roll_back();
    placed.back().committed = true;
  }
  // 3. The earlier files are no longer needed.
  for (const Placed& p : placed) {
    std::string ignored;
    if (!p.backup.empty()) base_->RemoveFile(p.backup, &ignored);
  }
  DropPending();
  return true;
}

}  // namespace scenario
