// The defaults of FileSystem for file systems that only write whole files:
// a writer that gathers its pieces in memory, and a rename made of a read, a
// write and a removal; and the folders of the machine's own file systems.
#include "platform/file_system.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/system_errors.h"

namespace scenario {
namespace {

class GatheringWriter : public FileWriter {
 public:
  GatheringWriter(FileSystem* fs, std::string path) : fs_(fs), path_(std::move(path)) {}

  bool Append(std::string_view bytes, std::string* err) override {
    if (state_ != State::kOpen) return Closed(err);
    bytes_.append(bytes);
    return true;
  }

  bool Commit(std::string* err) override {
    if (state_ == State::kCommitted) return true;
    if (state_ != State::kOpen) return Closed(err);
    const bool ok = fs_->WriteFile(path_, bytes_, err);
    state_ = ok ? State::kCommitted : State::kAborted;
    std::string().swap(bytes_);
    return ok;
  }

  void Abort() override {
    if (state_ == State::kOpen) state_ = State::kAborted;
    std::string().swap(bytes_);
  }

 private:
  enum class State { kOpen, kCommitted, kAborted };

  bool Closed(std::string* err) const {
    *err = "impossibile scrivere il file " + path_ + ": scrittura annullata";
    return false;
  }

  FileSystem* fs_;
  std::string path_;
  std::string bytes_;
  State state_ = State::kOpen;
};

}  // namespace

std::unique_ptr<FileWriter> FileSystem::StartFile(const std::string& path, std::string* /*err*/) {
  return std::make_unique<GatheringWriter>(this, path);
}

bool FileSystem::RenameFile(const std::string& from, const std::string& to, std::string* err) {
  std::string bytes;
  return ReadFile(from, &bytes, err) && WriteFile(to, bytes, err) && RemoveFile(from, err);
}

bool CreateMachineFolders(const std::string& path, std::string* err) {
  std::filesystem::path native;
  if (!NativePath(path, &native)) {
    *err = "impossibile creare la cartella " + path + ": nome non valido";
    return false;
  }
  std::error_code ec;
  const bool in_the_way =
      std::filesystem::exists(native, ec) && !std::filesystem::is_directory(native, ec);
  if (!in_the_way) std::filesystem::create_directories(native, ec);
  if (!in_the_way && !ec && std::filesystem::is_directory(native, ec)) return true;
  *err = "impossibile creare la cartella " + path + ": " +
         (ec && !in_the_way ? ErrorCodeText(ec) : std::string("esiste un file con questo nome"));
  return false;
}

}  // namespace scenario
