// All disk access of the core goes through FileSystem, so that tests can run
// the readers and writers on an in-memory fake and the companion tool can keep
// the user's source files untouched.
#ifndef SCENARIO_PLATFORM_FILE_SYSTEM_H_
#define SCENARIO_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scenario {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when a regular file of that name exists.
  virtual bool Exists(const std::string& path) = 0;

  // Reads the whole file into *bytes. On failure returns false and fills *err.
  virtual bool ReadFile(const std::string& path, std::string* bytes, std::string* err) = 0;

  // Replaces the file with exactly `bytes`, creating it when missing.
  // On success the file holds the new bytes and nothing else. On failure the
  // previous file, if any, is left as it was (no partly written file), and
  // *err says what went wrong.
  virtual bool WriteFile(const std::string& path, std::string_view bytes, std::string* err) = 0;

  // Deletes the file. Returns false and fills *err when it cannot.
  virtual bool RemoveFile(const std::string& path, std::string* err) = 0;

  // Makes the folder `path` and the folders above it that are missing; true
  // when it is there afterwards. File systems without folders of their own
  // refuse.
  virtual bool CreateFolders(const std::string& path, std::string* err) {
    *err = "impossibile creare la cartella " + path;
    return false;
  }

  // When the file was last written, in a unit and from an epoch that are
  // the same for every file of this file system; false when not known.
  virtual bool ModifiedTime(const std::string& /*path*/, int64_t* /*time*/) { return false; }
};

// The real file system of the machine; one per process is enough.
FileSystem* RealFileSystem();

// The folder that holds the running executable, without trailing separator.
std::string ProgramFolder();

// The platform's path separator ("\" on Windows, "/" elsewhere).
char PathSeparator();

// Our UTF-8 path texts as std::filesystem paths and back. On Windows a path
// made from a plain std::string would be read in the ANSI code page, and one
// made from invalid UTF-8 would throw; NativePath returns false for it
// instead. Elsewhere paths are bytes and pass unchanged.
bool NativePath(const std::string& utf8, std::filesystem::path* path);
std::string Utf8Path(const std::filesystem::path& path);

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_FILE_SYSTEM_H_
