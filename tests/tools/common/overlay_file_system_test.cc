#include "tools/common/overlay_file_system.h"

#include <gtest/gtest.h>

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

TEST_F(OverlayTest, ProtectedFilesAreNeverCommitted) {
  overlay.Protect("/c/sorgente.txt");
  ASSERT_TRUE(overlay.WriteFile("/c/nuovo.dat", "uno", &err));
  ASSERT_TRUE(overlay.WriteFile("/c/sorgente.txt", "altro", &err));
  EXPECT_FALSE(overlay.Commit(&err));
  EXPECT_EQ("sorgente", disk.files["/c/sorgente.txt"]);
  EXPECT_EQ(0u, disk.files.count("/c/nuovo.dat"));
}

}  // namespace
}  // namespace scenario
