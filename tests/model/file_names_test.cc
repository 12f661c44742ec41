// The own names of a scenario's files.
#include "model/file_names.h"

#include <gtest/gtest.h>

#include "model/track_model.h"
#include "test_util.h"

namespace scenario {
namespace {

TEST(FileNames, FormedFromLineAndTrain) {
  EXPECT_EQ("Vescolara_linea.txt", LineSourceName("Vescolara"));
  EXPECT_EQ("Vescolara_631-.txt", TrainSourceName("Vescolara", "631"));
  EXPECT_EQ("Vescolara_linea.dat", LineFileName("Vescolara"));
  EXPECT_EQ("Vescolara_631.sim", RunFileName("Vescolara", "631"));
  EXPECT_EQ("Vescolara_631.dat", TrackFileName("Vescolara", "631"));
  EXPECT_EQ("Vescolara_631_scheda_treno.txt", DocumentName("Vescolara", "631", "scheda_treno.txt"));
  EXPECT_EQ("_-.txt", TrainSourceName("", ""));
}

// The model names its files with the same functions, in its folder.
TEST(FileNames, TheModelsFiles) {
  FakeFileSystem fs;
  TrackModel m(&fs, kTestFolder);
  m.linea = "Prova";
  m.treno = "7";
  EXPECT_EQ("Prova_linea.txt", m.LineSourceName());
  EXPECT_EQ("Prova_7-.txt", m.TrainSourceName());
  EXPECT_EQ("Prova_linea.dat", m.LineFileName());
  EXPECT_EQ("Prova_7.sim", m.RunFileName());
  EXPECT_EQ("Prova_7.dat", m.TrackFileName());
  EXPECT_EQ("Prova_7_note.txt", m.DocumentName("note.txt"));
  EXPECT_EQ("/cartella/Prova_7.dat", m.FullName(m.TrackFileName()));
}

}  // namespace
}  // namespace scenario
