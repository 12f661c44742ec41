// FileSystem on POSIX. A file is replaced through a temporary file in the
// same folder and rename(), so a reader never sees a half-written file and a
// failed write leaves the previous content in place. Nothing is synced to
// the disk: the replacement is what keeps a file whole when the process
// fails, and a file lost to a power cut is made again by running again.
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/file_system.h"
#include "platform/system_errors.h"

namespace scenario {
namespace {

bool Fail(const char* what, const std::string& path, int error, std::string* err) {
  *err = std::string("impossibile ") + what + " il file " + path + ": " + ErrnoText(error);
  return false;
}

std::unique_ptr<FileWriter> Refuse(const std::string& path, int error, std::string* err) {
  Fail("scrivere", path, error, err);
  return nullptr;
}

// The folder part of `path` with its trailing slash ("" for a bare name).
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Writes all of `bytes` to fd, retrying short writes and interrupted calls.
// Returns 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// Creates a new, empty temporary file next to `path`; fills *temp_path.
// Returns the descriptor, or -1 with errno set.
int CreateTemporary(const std::string& path, std::string* temp_path) {
  static unsigned counter = 0;
  const std::string folder = FolderOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp_path = folder + ".scenario_tmp_" + std::to_string(getpid()) + "_" +
                 std::to_string(counter++);
    // 0666 less the umask, as any newly created file.
    int fd = open(temp_path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The bytes go to the temporary file as they come; Commit renames it over
// the target.
class PosixFileWriter : public FileWriter {
 public:
  PosixFileWriter(std::string path, std::string temp_path, int fd)
      : path_(std::move(path)), temp_path_(std::move(temp_path)), fd_(fd) {}
  ~PosixFileWriter() override { Abort(); }

  bool Append(std::string_view bytes, std::string* err) override {
    if (fd_ < 0) return Fail("scrivere", path_, EBADF, err);
    const int error = WriteAll(fd_, bytes);
    if (error != 0) {
      Abort();
      return Fail("scrivere", path_, error, err);
    }
    return true;
  }

  bool Commit(std::string* err) override {
    if (committed_) return true;
    if (fd_ < 0) return Fail("scrivere", path_, EBADF, err);
    int error = 0;
    if (close(fd_) != 0 && errno != EINTR) error = errno;
    fd_ = -1;
    if (error == 0 && rename(temp_path_.c_str(), path_.c_str()) != 0) error = errno;
    if (error != 0) {
      unlink(temp_path_.c_str());
      return Fail("scrivere", path_, error, err);
    }
    committed_ = true;
    return true;
  }

  void Abort() override {
    if (fd_ < 0) return;
    close(fd_);
    fd_ = -1;
    unlink(temp_path_.c_str());
  }

 private:
  std::string path_;
  std::string temp_path_;
  int fd_;  // -1 once committed or aborted
  bool committed_ = false;
};

class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override {
    int fd;
    do {
      fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Fail("leggere", path, errno, err);
    struct stat st;
    if (fstat(fd, &st) != 0) {
      int error = errno;
      close(fd);
      return Fail("leggere", path, error, err);
    }
    if (S_ISDIR(st.st_mode)) {
      close(fd);
      return Fail("leggere", path, EISDIR, err);
    }
    // Room for the whole file at once: growing by doubling would hold the
    // old and the new buffer together, up to three times the file's size.
    std::string data;
    data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        int error = errno;
        close(fd);
        return Fail("leggere", path, error, err);
      }
      if (n == 0) break;
      data.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    *bytes = std::move(data);
    return true;
  }

  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override {
    std::unique_ptr<FileWriter> file = StartFile(path, err);
    return file != nullptr && file->Append(bytes, err) && file->Commit(err);
  }

  std::unique_ptr<FileWriter> StartFile(const std::string& path, std::string* err) override {
    // A file that is there but may not be written (read-only, a folder, ...)
    // stops the write before anything is touched. Opening without O_TRUNC
    // changes nothing; O_NONBLOCK keeps a FIFO from blocking the probe.
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) return Refuse(path, EISDIR, err);
      if (!S_ISREG(st.st_mode)) {
        *err = "impossibile scrivere il file " + path + ": non è un file normale";
        return nullptr;
      }
      int probe = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (probe < 0) return Refuse(path, errno, err);
      close(probe);
    } else if (errno != ENOENT) {
      return Refuse(path, errno, err);
    }
    std::string temp_path;
    int fd = CreateTemporary(path, &temp_path);
    if (fd < 0) return Refuse(path, errno, err);
    return std::make_unique<PosixFileWriter>(path, temp_path, fd);
  }

  bool RenameFile(const std::string& from, const std::string& to, std::string* err) override {
    if (rename(from.c_str(), to.c_str()) != 0) return Fail("rinominare", from, errno, err);
    return true;
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    if (unlink(path.c_str()) != 0) return Fail("eliminare", path, errno, err);
    return true;
  }

  bool ModifiedTime(const std::string& path, int64_t* time) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    *time = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
  }

  bool CreateFolders(const std::string& path, std::string* err) override {
    return CreateMachineFolders(path, err);
  }
};

}  // namespace

bool NativePath(const std::string& utf8, std::filesystem::path* path) {
  *path = std::filesystem::path(utf8);
  return true;
}

std::string Utf8Path(const std::filesystem::path& path) { return path.string(); }

// Both categories carry errno values here.
std::string ErrorCodeText(const std::error_code& ec) { return ErrnoText(ec.value()); }

FileSystem* RealFileSystem() {
  static PosixFileSystem* fs = new PosixFileSystem;
  return fs;
}

}  // namespace scenario
