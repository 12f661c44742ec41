#include "tools/common/overlay_file_system.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/system_errors.h"
#include "test_util.h"

namespace scenario {
namespace {

class OverlayTest : public ::testing::Test {
 protected:
  OverlayTest() : overlay(&disk) {
    disk.files["/c/sorgente.txt"] = "sorgente";
    disk.files["/c/vecchio.dat"] = "vecchio";
  }
  FakeFileSystem disk;
  OverlayFileSystem overlay;
  std::string bytes, err;
};

TEST_F(OverlayTest, ReadsComeFromTheDiskBelow) {
  EXPECT_TRUE(overlay.Exists("/c/sorgente.txt"));
  ASSERT_TRUE(overlay.ReadFile("/c/sorgente.txt", &bytes, &err));
  EXPECT_EQ("sorgente", bytes);
  EXPECT_FALSE(overlay.Exists("/c/manca.txt"));
  EXPECT_FALSE(overlay.ReadFile("/c/manca.txt", &bytes, &err));
}

TEST_F(OverlayTest, RemovalOnlyHidesTheFile) {
  ASSERT_TRUE(overlay.RemoveFile("/c/sorgente.txt", &err));
  EXPECT_FALSE(overlay.Exists("/c/sorgente.txt"));
  EXPECT_FALSE(overlay.ReadFile("/c/sorgente.txt", &bytes, &err));
  // A second removal fails like a real one.
  EXPECT_FALSE(overlay.RemoveFile("/c/sorgente.txt", &err));
  EXPECT_FALSE(overlay.RemoveFile("/c/manca.txt", &err));
  // The disk still has it, also after a commit.
  ASSERT_TRUE(overlay.Commit(&err));
  EXPECT_EQ("sorgente", disk.files["/c/sorgente.txt"]);
}

TEST_F(OverlayTest, WritesWaitForTheCommit) {
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "uno", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/vecchio.dat", "due", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "tre", &err));  // the latest bytes win
  EXPECT_EQ(0u, disk.files.count("/c/nuovo.dat"));
  EXPECT_EQ("vecchio", disk.files["/c/vecchio.dat"]);
  ASSERT_TRUE(overlay.ReadFile("/c/nuovo.dat", &bytes, &err));
  EXPECT_EQ("tre", bytes);
  EXPECT_EQ((std::vector<std::string>{"/c/nuovo.dat", "/c/vecchio.dat"}), overlay.PendingPaths());

  ASSERT_TRUE(overlay.Commit(&err)) << err;
  EXPECT_EQ("tre", disk.files["/c/nuovo.dat"]);
  EXPECT_EQ("due", disk.files["/c/vecchio.dat"]);
  EXPECT_TRUE(overlay.PendingPaths().empty());
}

TEST_F(OverlayTest, RemovingAPendingWriteDropsIt) {
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "uno", &err));
  ASSERT_TRUE(overlay.RemoveFile("/c/nuovo.dat", &err));
  EXPECT_FALSE(overlay.Exists("/c/nuovo.dat"));
  EXPECT_TRUE(overlay.PendingPaths().empty());
  // Written again after a removal, a hidden file is visible again.
  ASSERT_TRUE(overlay.RemoveFile("/c/vecchio.dat", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/vecchio.dat", "nuovo", &err));
  ASSERT_TRUE(overlay.ReadFile("/c/vecchio.dat", &bytes, &err));
  EXPECT_EQ("nuovo", bytes);
}

TEST_F(OverlayTest, AFailedCommitPutsEverythingBack) {
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "uno", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/vecchio.dat", "due", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/terzo.sim", "tre", &err));
  disk.fail_write_on = "/c/terzo.sim";
  EXPECT_FALSE(overlay.Commit(&err));
  EXPECT_NE(std::string::npos, err.find("/c/terzo.sim")) << err;
  // The first two were written, then undone.
  EXPECT_EQ(0u, disk.files.count("/c/nuovo.dat"));
  EXPECT_EQ("vecchio", disk.files["/c/vecchio.dat"]);
  EXPECT_EQ(0u, disk.files.count("/c/terzo.sim"));
  EXPECT_EQ("sorgente", disk.files["/c/sorgente.txt"]);
}

// A staged file on a base that writes whole files only: a failure later in
// the commit takes it back out, and the earlier file returns.
TEST_F(OverlayTest, AFailedCommitAlsoTakesBackAStagedFile) {
  OverlayFileSystem staging(&disk, /*stage_size=*/4);
  ASSERT_TRUE(staging.WriteFile("/c/vecchio.dat", "grande e nuovo", &err));
  ASSERT_TRUE(staging.WriteFile("/c/piccolo.sim", "p", &err));
  EXPECT_FALSE(staging.ReadFile("/c/vecchio.dat", &bytes, &err));
  EXPECT_EQ("impossibile leggere il file /c/vecchio.dat: in scrittura, non ancora confermato", err);
  disk.fail_write_on = "/c/piccolo.sim";
  EXPECT_FALSE(staging.Commit(&err));
  EXPECT_EQ("/c/piccolo.sim: scrittura non riuscita", err);
  EXPECT_EQ((std::map<std::string, std::string>{{"/c/sorgente.txt", "sorgente"},
                                                {"/c/vecchio.dat", "vecchio"}}),
            disk.files);
  EXPECT_TRUE(staging.PendingPaths().empty());
}

TEST_F(OverlayTest, ProtectedFilesAreNeverCommitted) {
  overlay.Protect("/c/sorgente.txt");
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "uno", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/sorgente.txt", "altro", &err));
  EXPECT_FALSE(overlay.Commit(&err));
  EXPECT_EQ("sorgente", disk.files["/c/sorgente.txt"]);
  EXPECT_EQ(0u, disk.files.count("/c/nuovo.dat"));
}

// On the real disk: a large file goes, as it is written, into a temporary
// file beside its target, and the commit renames it into place.
class OverlayStagingTest : public ::testing::Test {
 protected:
  static constexpr size_t kStage = 1000;
  OverlayStagingTest() : overlay(RealFileSystem(), kStage) {}

  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  // The names of the folder that are not `expected` (staged files).
  std::vector<std::string> Others(const std::set<std::string>& expected) const {
    std::vector<std::string> others;
    for (const std::string& name : Listing()) {
      if (expected.count(name) == 0) others.push_back(name);
    }
    return others;
  }

  TempDir dir;
  OverlayFileSystem overlay;
  std::string bytes, err;
};

TEST_F(OverlayStagingTest, LargeFilesWaitOnDiskAndAreRenamedIntoPlace) {
  WriteBytes(dir.File("linea.dat"), "vecchia linea");
  const std::string large(5 * kStage + 3, 'L');
  std::unique_ptr<FileWriter> file = overlay.StartFile(dir.File("linea.dat"), &err);
  ASSERT_NE(nullptr, file);
  for (size_t at = 0; at < large.size(); at += 700) {
    ASSERT_TRUE(file->Append(large.substr(at, 700), &err)) << err;
  }
  ASSERT_TRUE(file->Commit(&err)) << err;
  ASSERT_TRUE(overlay.WriteFile(dir.File("corsa.sim"), "piccolo", &err));
  // The large one is staged beside its target, the small one waits in
  // memory; the targets are untouched.
  const std::vector<std::string> staged = Others({"linea.dat"});
  ASSERT_EQ(1u, staged.size());
  EXPECT_EQ(large, ReadBytes(dir.File(staged[0])));
  EXPECT_EQ("vecchia linea", ReadBytes(dir.File("linea.dat")));
  EXPECT_TRUE(overlay.Exists(dir.File("linea.dat")));

  ASSERT_TRUE(overlay.Commit(&err)) << err;
  EXPECT_EQ(large, ReadBytes(dir.File("linea.dat")));
  EXPECT_EQ("piccolo", ReadBytes(dir.File("corsa.sim")));
  EXPECT_EQ((std::set<std::string>{"linea.dat", "corsa.sim"}), Listing());
}

TEST_F(OverlayStagingTest, DroppedWritesLeaveNothingBehind) {
  const std::string large(2 * kStage, 'L');
  {
    OverlayFileSystem dropped(RealFileSystem(), kStage);
    ASSERT_TRUE(dropped.WriteFile(dir.File("a.dat"), large, &err));
    ASSERT_TRUE(dropped.WriteFile(dir.File("b.dat"), large, &err));
    ASSERT_TRUE(dropped.WriteFile(dir.File("b.dat"), large + "2", &err));  // the first b goes
    EXPECT_EQ(2u, Listing().size());
    ASSERT_TRUE(dropped.RemoveFile(dir.File("a.dat"), &err));
    EXPECT_EQ(1u, Listing().size());
    // A writer given up stages nothing for good.
    std::unique_ptr<FileWriter> file = dropped.StartFile(dir.File("c.dat"), &err);
    ASSERT_TRUE(file->Append(large, &err));
    EXPECT_EQ(2u, Listing().size());
    file.reset();
    EXPECT_EQ(1u, Listing().size());
  }  // never committed
  EXPECT_TRUE(Listing().empty());
}

// A target that may not be written stops a large write at once, and a small
// one at the commit before any file is touched.
TEST_F(OverlayStagingTest, UnwritableTargetsTouchNothing) {
  std::filesystem::create_directory(dir.File("cartella.dat"));
  EXPECT_FALSE(overlay.WriteFile(dir.File("cartella.dat"), std::string(kStage, 'x'), &err));
  EXPECT_EQ("impossibile scrivere il file " + dir.File("cartella.dat") + ": " + ErrnoText(EISDIR),
            err);

  WriteBytes(dir.File("linea.dat"), "vecchia linea");
  ASSERT_TRUE(overlay.WriteFile(dir.File("linea.dat"), std::string(3 * kStage, 'L'), &err));
  ASSERT_TRUE(overlay.WriteFile(dir.File("cartella.dat"), "piccolo", &err));
  EXPECT_FALSE(overlay.Commit(&err));
  EXPECT_EQ("impossibile scrivere il file " + dir.File("cartella.dat") + ": " + ErrnoText(EISDIR),
            err);
  EXPECT_EQ("vecchia linea", ReadBytes(dir.File("linea.dat")));
  EXPECT_EQ((std::set<std::string>{"linea.dat", "cartella.dat"}), Listing());
  EXPECT_TRUE(overlay.PendingPaths().empty());
}

// Pending bytes can be looked at while they are in memory, not once staged;
// an overlay that never stages keeps even a large file off the disk, where
// it can still be read back before the commit.
TEST_F(OverlayStagingTest, PendingBytesAndAnOverlayThatNeverStages) {
  const std::string large(3 * kStage, 'L');
  ASSERT_TRUE(overlay.WriteFile(dir.File("piccolo.sim"), "piccolo", &err));
  ASSERT_TRUE(overlay.WriteFile(dir.File("linea.dat"), large, &err));
  ASSERT_NE(nullptr, overlay.Pending(dir.File("piccolo.sim")));
  EXPECT_EQ("piccolo", *overlay.Pending(dir.File("piccolo.sim")));
  EXPECT_EQ(nullptr, overlay.Pending(dir.File("linea.dat")));  // staged
  EXPECT_EQ(nullptr, overlay.Pending(dir.File("altro.dat")));

  OverlayFileSystem in_memory(RealFileSystem(), OverlayFileSystem::kNeverStage);
  ASSERT_TRUE(in_memory.WriteFile(dir.File("grande.dat"), large, &err));
  ASSERT_NE(nullptr, in_memory.Pending(dir.File("grande.dat")));
  EXPECT_EQ(large, *in_memory.Pending(dir.File("grande.dat")));
  ASSERT_TRUE(in_memory.ReadFile(dir.File("grande.dat"), &bytes, &err)) << err;
  EXPECT_EQ(large, bytes);
  EXPECT_EQ(0u, Listing().count("grande.dat"));
  EXPECT_EQ(1u, Listing().size());  // only the file staged by `overlay`
}

}  // namespace
}  // namespace scenario
