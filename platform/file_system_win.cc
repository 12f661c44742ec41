// FileSystem on Windows, through the wide-char API. A file is replaced
// through a temporary file in the same folder and MoveFileExW, so a failed
// write leaves the previous content in place. Nothing is flushed to the
// disk: the replacement is what keeps a file whole when the process fails.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/file_system.h"
#include "platform/system_errors.h"
#include "platform/win_text_internal.h"

namespace scenario {
namespace {

bool Fail(const char* what, const std::string& path, const std::string& reason,
          std::string* err) {
  *err = std::string("impossibile ") + what + " il file " + path + ": " + reason;
  return false;
}

bool FailCode(const char* what, const std::string& path, DWORD code, std::string* err) {
  return Fail(what, path, WindowsErrorText(code), err);
}

std::unique_ptr<FileWriter> Refuse(const std::string& path, const std::string& reason,
                                   std::string* err) {
  Fail("scrivere", path, reason, err);
  return nullptr;
}

// The folder part of `path` with its trailing separator ("C:" kept as is,
// "" for a bare name).
std::wstring FolderOf(const std::wstring& path) {
  size_t end = path.find_last_of(L"\\/:");
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

// Writes all of `bytes`; 0 or the error code of the failure.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return 0;
}

// Creates a new, empty temporary file next to `path`.
HANDLE CreateTemporary(const std::wstring& path, std::wstring* temp_path) {
  static unsigned counter = 0;
  const std::wstring folder = FolderOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp_path = folder + L".scenario_tmp_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                 std::to_wstring(counter++);
    HANDLE file = CreateFileW(temp_path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

// The bytes go to the temporary file as they come; Commit moves it over the
// target.
class WinFileWriter : public FileWriter {
 public:
  WinFileWriter(std::string path, std::wstring wide, std::wstring temp_path, HANDLE file)
      : path_(std::move(path)),
        wide_(std::move(wide)),
        temp_path_(std::move(temp_path)),
        file_(file) {}
  ~WinFileWriter() override { Abort(); }

  bool Append(std::string_view bytes, std::string* err) override {
    if (file_ == INVALID_HANDLE_VALUE)
      return FailCode("scrivere", path_, ERROR_INVALID_HANDLE, err);
    const DWORD code = WriteAll(file_, bytes);
    if (code != 0) {
      Abort();
      return FailCode("scrivere", path_, code, err);
    }
    return true;
  }

  bool Commit(std::string* err) override {
    if (committed_) return true;
    if (file_ == INVALID_HANDLE_VALUE)
      return FailCode("scrivere", path_, ERROR_INVALID_HANDLE, err);
    DWORD code = 0;
    if (!CloseHandle(file_)) code = GetLastError();
    file_ = INVALID_HANDLE_VALUE;
    if (code == 0 && !MoveFileExW(temp_path_.c_str(), wide_.c_str(), MOVEFILE_REPLACE_EXISTING))
      code = GetLastError();
    if (code != 0) {
      DeleteFileW(temp_path_.c_str());
      return FailCode("scrivere", path_, code, err);
    }
    committed_ = true;
    return true;
  }

  void Abort() override {
    if (file_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    DeleteFileW(temp_path_.c_str());
  }

 private:
  std::string path_;
  std::wstring wide_;
  std::wstring temp_path_;
  HANDLE file_;  // INVALID_HANDLE_VALUE once committed or aborted
  bool committed_ = false;
};

class WinFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    std::wstring wide;
    if (!Utf8ToWide(path, &wide)) return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool ReadFile(const std::string& path, std::string* bytes, std::string* err) override {
    std::wstring wide;
    if (!Utf8ToWide(path, &wide)) return Fail("leggere", path, "nome non valido", err);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailCode("leggere", path, GetLastError(), err);
    // Room for the whole file at once: growing by doubling would hold the
    // old and the new buffer together, up to three times the file's size.
    std::string data;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
      data.reserve(static_cast<size_t>(size.QuadPart));
    }
    char buffer[65536];
    for (;;) {
      DWORD n = 0;
      if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
        DWORD code = GetLastError();
        CloseHandle(file);
        return FailCode("leggere", path, code, err);
      }
      if (n == 0) break;
      data.append(buffer, n);
    }
    CloseHandle(file);
    *bytes = std::move(data);
    return true;
  }

  bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) override {
    std::unique_ptr<FileWriter> file = StartFile(path, err);
    return file != nullptr && file->Append(bytes, err) && file->Commit(err);
  }

  std::unique_ptr<FileWriter> StartFile(const std::string& path, std::string* err) override {
    std::wstring wide;
    if (!Utf8ToWide(path, &wide)) return Refuse(path, "nome non valido", err);

    // A file that is there but may not be written (read-only, in use by
    // another program, a folder) stops the write before anything is touched.
    // Opening it without truncating changes nothing.
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refuse(path, "esiste una cartella con questo nome", err);
      HANDLE probe = CreateFileW(wide.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (probe == INVALID_HANDLE_VALUE) return Refuse(path, WindowsErrorText(GetLastError()), err);
      CloseHandle(probe);
    }

    std::wstring temp_path;
    HANDLE file = CreateTemporary(wide, &temp_path);
    if (file == INVALID_HANDLE_VALUE) return Refuse(path, WindowsErrorText(GetLastError()), err);
    return std::make_unique<WinFileWriter>(path, wide, temp_path, file);
  }

  bool RenameFile(const std::string& from, const std::string& to, std::string* err) override {
    std::wstring wide_from, wide_to;
    if (!Utf8ToWide(from, &wide_from) || !Utf8ToWide(to, &wide_to))
      return Fail("rinominare", from, "nome non valido", err);
    if (!MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING))
      return FailCode("rinominare", from, GetLastError(), err);
    return true;
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    std::wstring wide;
    if (!Utf8ToWide(path, &wide)) return Fail("eliminare", path, "nome non valido", err);
    if (!DeleteFileW(wide.c_str())) return FailCode("eliminare", path, GetLastError(), err);
    return true;
  }

  bool ModifiedTime(const std::string& path, int64_t* time) override {
    std::wstring wide;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Utf8ToWide(path, &wide) ||
        !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
      return false;
    }
    // 100-nanosecond steps.
    *time =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    return true;
  }

  bool CreateFolders(const std::string& path, std::string* err) override {
    return CreateMachineFolders(path, err);
  }
};

}  // namespace

bool NativePath(const std::string& utf8, std::filesystem::path* path) {
  std::wstring wide;
  if (!Utf8ToWide(utf8, &wide)) return false;
  *path = std::filesystem::path(wide);
  return true;
}

std::string Utf8Path(const std::filesystem::path& path) { return WideToUtf8(path.wstring()); }

FileSystem* RealFileSystem() {
  static WinFileSystem* fs = new WinFileSystem;
  return fs;
}

std::string ErrorCodeText(const std::error_code& ec) {
  if (ec.category() == std::system_category())
    return WindowsErrorText(static_cast<DWORD>(ec.value()));
  return ErrnoText(ec.value());
}

}  // namespace scenario
