// The real file system: the replace routine every output file goes through,
// reading, removing, and the program folder.
#include "platform/file_system.h"

#include <errno.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/system_errors.h"
#include "test_util.h"

namespace scenario {
namespace {

constexpr uid_t kNobody = 65534;

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// What WriteFile said in a child process.
struct WriteResult {
  bool ok = false;
  std::string err;
};

// Runs RealFileSystem()->WriteFile in a forked child after `prepare` (which
// drops privileges or sets limits there), so the test process keeps its own.
WriteResult WriteInChild(const std::function<bool()>& prepare, const std::string& path,
                         const std::string& bytes) {
  WriteResult result;
  int fds[2];
  if (pipe(fds) != 0) {
    ADD_FAILURE() << "pipe: " << strerror(errno);
    return result;
  }
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string report;
    if (!prepare()) {
      report = std::string("E") + strerror(errno);
    } else {
      std::string err;
      report = RealFileSystem()->WriteFile(path, bytes, &err) ? "1" : "0";
      report += err;
    }
    ssize_t written = write(fds[1], report.data(), report.size());
    _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string report;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  if (report.empty() || report[0] == 'E') {
    ADD_FAILURE() << "child could not prepare: " << report;
    return result;
  }
  result.ok = report[0] == '1';
  result.err = report.substr(1);
  return result;
}

bool BecomeNobody() {
  return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

TEST(RealFileSystemWrite, ReplacesWholeFile) {
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file yet
    std::string after;
  };
  const Case kCases[] = {
      {"longer file", std::string(5000, 'x') + "\r\nold tail\r\n", "nuovo\r\n"},
      {"missing file", std::nullopt, "creato\r\n"},
      {"empty content", "something\r\n", ""},
      {"every byte value", "a", [] {
         std::string all;
         for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
         return all + all;
       }()},
      {"larger than one buffer", "short", std::string(300000, '\xe0')},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("Vescolara_631.dat");
    if (c.before) WriteBytes(path, *c.before);
    std::string err;
    ASSERT_TRUE(RealFileSystem()->WriteFile(path, c.after, &err)) << err;
    EXPECT_EQ(c.after, ReadBytes(path));
    EXPECT_EQ(std::set<std::string>{"Vescolara_631.dat"}, Listing(dir.path()));
  }
}

TEST(RealFileSystemWrite, BareNameWritesInCurrentFolder) {
  TempDir dir;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  std::string err;
  bool ok = RealFileSystem()->WriteFile("solo_nome.txt", "x\r\n", &err);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(ok) << err;
  EXPECT_EQ("x\r\n", ReadBytes(dir.File("solo_nome.txt")));
  EXPECT_EQ(std::set<std::string>{"solo_nome.txt"}, Listing(dir.path()));
}

TEST(RealFileSystemWrite, FolderOfThatNameFails) {
  TempDir dir;
  const std::string path = dir.File("Vescolara_linea.dat");
  std::filesystem::create_directory(path);
  WriteBytes(path + "/inside", "kept");
  std::string err;
  EXPECT_FALSE(RealFileSystem()->WriteFile(path, "new", &err));
  EXPECT_EQ("impossibile scrivere il file " + path + ": " + "è una cartella", err);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ("kept", ReadBytes(path + "/inside"));
  EXPECT_EQ(std::set<std::string>{"Vescolara_linea.dat"}, Listing(dir.path()));
}

TEST(RealFileSystemWrite, MissingFolderFails) {
  TempDir dir;
  const std::string path = dir.File("non_esiste/file.txt");
  std::string err;
  EXPECT_FALSE(RealFileSystem()->WriteFile(path, "new", &err));
  EXPECT_EQ("impossibile scrivere il file " + path + ": file o cartella inesistente", err);
  EXPECT_TRUE(Listing(dir.path()).empty());
}

// Tests run as root, who may write anything: the child drops to nobody.
TEST(RealFileSystemWrite, NoPermissionLeavesEverythingAsItWas) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to the nobody user";
  struct Case {
    const char* name;
    mode_t folder_mode;
    std::optional<mode_t> file_mode;  // nullopt: no file yet
  };
  const Case kCases[] = {
      {"read-only file", 0755, 0444},
      {"missing file, read-only folder", 0555, std::nullopt},
      {"writable file, read-only folder", 0555, 0644},
  };
  const std::string kOld = "contenuto precedente\r\nriga 2\r\n";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("Vescolara_631_note.txt");
    ASSERT_EQ(0, chown(dir.path().c_str(), kNobody, kNobody));
    if (c.file_mode) {
      WriteBytes(path, kOld);
      ASSERT_EQ(0, chown(path.c_str(), kNobody, kNobody));
      ASSERT_EQ(0, chmod(path.c_str(), *c.file_mode));
    }
    ASSERT_EQ(0, chmod(dir.path().c_str(), c.folder_mode));

    WriteResult r = WriteInChild(BecomeNobody, path, "nuovo contenuto, più lungo del vecchio\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ("impossibile scrivere il file " + path + ": " + "permesso negato", r.err);
    if (c.file_mode) {
      EXPECT_EQ(kOld, ReadBytes(path));
      EXPECT_EQ(std::set<std::string>{"Vescolara_631_note.txt"}, Listing(dir.path()));
    } else {
      EXPECT_TRUE(Listing(dir.path()).empty());
    }
  }
}

// The file size limit makes write() fail part way with EFBIG, like a full
// disk would with ENOSPC.
TEST(RealFileSystemWrite, FailurePartWayKeepsPreviousFile) {
  TempDir dir;
  const std::string path = dir.File("Vescolara_631.sim");
  const std::string kOld = "previous run\r\n";
  WriteBytes(path, kOld);
  auto limit_size = [] {
    struct rlimit limit = {4096, 4096};
    return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  };
  WriteResult r = WriteInChild(limit_size, path, std::string(100000, 'n'));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ("impossibile scrivere il file " + path + ": " + "file troppo grande", r.err);
  EXPECT_EQ(kOld, ReadBytes(path));
  EXPECT_EQ(std::set<std::string>{"Vescolara_631.sim"}, Listing(dir.path()));
}

// A file written in pieces: nothing of it is visible before the commit, and
// a writer given up (aborted or destroyed) leaves the folder as it was.
TEST(RealFileSystemStartFile, PiecesReplaceTheFileAtCommitOnly) {
  enum class End { kCommit, kAbort, kDestroy };
  struct Case {
    const char* name;
    std::optional<std::string> before;
    End end;
  };
  const Case kCases[] = {
      {"commit over an earlier file", std::string(100000, 'o'), End::kCommit},
      {"commit of a new file", std::nullopt, End::kCommit},
      {"abort", "earlier\r\n", End::kAbort},
      {"abort of a new file", std::nullopt, End::kAbort},
      {"destroyed without commit", "earlier\r\n", End::kDestroy},
  };
  const std::string pieces[] = {"uno,", std::string(70000, '\x80'), "", "tre\r\n"};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("Vescolara_linea.dat");
    if (c.before) WriteBytes(path, *c.before);
    std::set<std::string> before_listing = Listing(dir.path());
    std::string err;
    {
      std::unique_ptr<FileWriter> file = RealFileSystem()->StartFile(path, &err);
      ASSERT_NE(nullptr, file) << err;
      std::string all;
      for (const std::string& piece : pieces) {
        ASSERT_TRUE(file->Append(piece, &err)) << err;
        all += piece;
        // The target is untouched while the pieces come.
        EXPECT_EQ(c.before.value_or(""), ReadBytes(path));
      }
      switch (c.end) {
        case End::kCommit:
          ASSERT_TRUE(file->Commit(&err)) << err;
          EXPECT_TRUE(file->Commit(&err)) << "a second commit changes nothing";
          file->Abort();  // nor does an abort after it
          EXPECT_EQ(all, ReadBytes(path));
          EXPECT_EQ(std::set<std::string>{"Vescolara_linea.dat"}, Listing(dir.path()));
          break;
        case End::kAbort:
          file->Abort();
          EXPECT_FALSE(file->Append("x", &err));
          EXPECT_FALSE(file->Commit(&err));
          EXPECT_EQ("impossibile scrivere il file " + path + ": " + ErrnoText(EBADF), err);
          break;
        case End::kDestroy:
          break;
      }
    }
    if (c.end != End::kCommit) {
      EXPECT_EQ(before_listing, Listing(dir.path()));
      if (c.before) {
        EXPECT_EQ(*c.before, ReadBytes(path));
      }
    }
  }
}

// What may not be written is refused when the writer is asked for, before
// anything is made.
TEST(RealFileSystemStartFile, RefusesAtOnce) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("cartella"));
  struct Case {
    std::string path;
    int error;
  };
  const Case kCases[] = {{dir.File("cartella"), EISDIR}, {dir.File("manca/file.dat"), ENOENT}};
  for (const Case& c : kCases) {
    std::string err;
    EXPECT_EQ(nullptr, RealFileSystem()->StartFile(c.path, &err));
    EXPECT_EQ("impossibile scrivere il file " + c.path + ": " + ErrnoText(c.error), err);
  }
  EXPECT_EQ(std::set<std::string>{"cartella"}, Listing(dir.path()));
}

TEST(RealFileSystem, RenameReplacesTheTarget) {
  TempDir dir;
  WriteBytes(dir.File("a"), "nuovo");
  WriteBytes(dir.File("b"), "vecchio, più lungo");
  std::string err;
  ASSERT_TRUE(RealFileSystem()->RenameFile(dir.File("a"), dir.File("b"), &err)) << err;
  EXPECT_EQ("nuovo", ReadBytes(dir.File("b")));
  EXPECT_EQ(std::set<std::string>{"b"}, Listing(dir.path()));
  EXPECT_FALSE(RealFileSystem()->RenameFile(dir.File("a"), dir.File("c"), &err));
  EXPECT_EQ("impossibile rinominare il file " + dir.File("a") + ": " + ErrnoText(ENOENT), err);
}

// A file system that writes whole files only still writes in pieces: the
// default writer gathers them and writes the whole file at the commit.
TEST(FileSystemDefaults, PiecesAreGatheredForOneWholeWrite) {
  FakeFileSystem fs;
  fs.files["/c/vecchio"] = "vecchio";
  std::string err;
  std::unique_ptr<FileWriter> file = fs.StartFile("/c/vecchio", &err);
  ASSERT_NE(nullptr, file);
  ASSERT_TRUE(file->Append("uno ", &err));
  ASSERT_TRUE(file->Append("due", &err));
  EXPECT_TRUE(fs.log.empty());
  ASSERT_TRUE(file->Commit(&err)) << err;
  EXPECT_EQ((std::vector<std::string>{"write /c/vecchio"}), fs.log);
  EXPECT_EQ("uno due", fs.files["/c/vecchio"]);

  std::unique_ptr<FileWriter> dropped = fs.StartFile("/c/nuovo", &err);
  ASSERT_TRUE(dropped->Append("x", &err));
  dropped->Abort();
  EXPECT_FALSE(dropped->Commit(&err));
  EXPECT_EQ("impossibile scrivere il file /c/nuovo: scrittura annullata", err);
  EXPECT_EQ(0u, fs.files.count("/c/nuovo"));

  fs.fail_write_on = "/c/rotto";
  std::unique_ptr<FileWriter> failing = fs.StartFile("/c/rotto", &err);
  ASSERT_TRUE(failing->Append("x", &err));
  EXPECT_FALSE(failing->Commit(&err));
  EXPECT_EQ("/c/rotto: scrittura non riuscita", err);

  fs.log.clear();
  ASSERT_TRUE(fs.RenameFile("/c/vecchio", "/c/altro", &err)) << err;
  EXPECT_EQ((std::vector<std::string>{"read /c/vecchio", "write /c/altro", "remove /c/vecchio"}),
            fs.log);
  EXPECT_EQ("uno due", fs.files["/c/altro"]);
  EXPECT_EQ(0u, fs.files.count("/c/vecchio"));
}

TEST(RealFileSystemRead, ReadsWholeFile) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 200000; ++i) content += static_cast<char>(i * 7);
  WriteBytes(dir.File("a.bin"), content);
  std::string bytes = "stale";
  std::string err;
  ASSERT_TRUE(RealFileSystem()->ReadFile(dir.File("a.bin"), &bytes, &err)) << err;
  EXPECT_EQ(content, bytes);
}

TEST(RealFileSystemRead, FailuresNameTheFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("cartella"));
  struct Case {
    std::string path;
    const char* error;
  };
  const Case kCases[] = {{dir.File("manca.txt"), "file o cartella inesistente"},
                         {dir.File("cartella"), "è una cartella"}};
  for (const Case& c : kCases) {
    std::string bytes = "unchanged";
    std::string err;
    EXPECT_FALSE(RealFileSystem()->ReadFile(c.path, &bytes, &err));
    EXPECT_EQ("impossibile leggere il file " + c.path + ": " + c.error, err);
    EXPECT_EQ("unchanged", bytes);
  }
}

TEST(RealFileSystem, ExistsOnlyForRegularFiles) {
  TempDir dir;
  WriteBytes(dir.File("file.txt"), "");
  std::filesystem::create_directory(dir.File("cartella"));
  EXPECT_TRUE(RealFileSystem()->Exists(dir.File("file.txt")));
  EXPECT_FALSE(RealFileSystem()->Exists(dir.File("cartella")));
  EXPECT_FALSE(RealFileSystem()->Exists(dir.File("manca.txt")));
}

TEST(RealFileSystem, RemoveFile) {
  TempDir dir;
  WriteBytes(dir.File("Vescolara_linea.txt"), "x");
  std::string err;
  ASSERT_TRUE(RealFileSystem()->RemoveFile(dir.File("Vescolara_linea.txt"), &err)) << err;
  EXPECT_TRUE(Listing(dir.path()).empty());

  EXPECT_FALSE(RealFileSystem()->RemoveFile(dir.File("Vescolara_linea.txt"), &err));
  EXPECT_EQ("impossibile eliminare il file " + dir.File("Vescolara_linea.txt") + ": " +
                "file o cartella inesistente",
            err);
}

// The system's errors read in Italian whatever the machine's language: the
// common ones in words, the others by number.
TEST(SystemErrors, ItalianWords) {
  struct Case {
    int error;
    std::string text;
  };
  const Case kCases[] = {{ENOENT, "file o cartella inesistente"},
                         {EACCES, "permesso negato"},
                         {ENOSPC, "spazio esaurito sul disco"},
                         {EROFS, "file system in sola lettura"},
                         {ENOTDIR, "una parte del percorso non è una cartella"},
                         {EDOM, "errore di sistema n. " + std::to_string(EDOM)}};
  for (const Case& c : kCases) EXPECT_EQ(c.text, ErrnoText(c.error)) << c.error;
  EXPECT_EQ("permesso negato", ErrorCodeText(std::make_error_code(std::errc::permission_denied)));
}

TEST(RealFileSystem, CreateFoldersMakesTheWholePath) {
  TempDir dir;
  std::string err;
  ASSERT_TRUE(RealFileSystem()->CreateFolders(dir.File("a/b/c"), &err)) << err;
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("a/b/c")));
  EXPECT_TRUE(RealFileSystem()->CreateFolders(dir.File("a/b"), &err)) << err;  // already there
  WriteBytes(dir.File("file"), "x");
  EXPECT_FALSE(RealFileSystem()->CreateFolders(dir.File("file"), &err));
  EXPECT_EQ("impossibile creare la cartella " + dir.File("file") +
                ": esiste un file con questo "
                "nome",
            err);
  EXPECT_FALSE(RealFileSystem()->CreateFolders(dir.File("file/sotto"), &err));
  EXPECT_EQ("impossibile creare la cartella " + dir.File("file/sotto") +
                ": una parte del percorso non è una cartella",
            err);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(exe.parent_path().string(), ProgramFolder());
  EXPECT_EQ('/', PathSeparator());
}

}  // namespace
}  // namespace scenario
