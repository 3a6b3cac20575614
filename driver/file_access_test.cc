// Tests of the file identity that keeps the output from being the input.
#include "driver/file_access.h"

#include <gtest/gtest.h>

#ifndef _WIN32

namespace tsm2ostra {
namespace {

TEST(FileAccess, TwoFilesAreOneOnlyWithTheSameInodeOnTheSameDevice) {
  struct stat file;
  ASSERT_EQ(::stat(TSM2OSTRA_SOURCE_DIR "/examples/model.tsm", &file), 0);
  // What is changed in a copy of the file's status, and whether it still names the file.
  const struct {
    const char* change;
    void (*apply)(struct stat*);
    bool same;
  } cases[] = {
      {"nothing", [](struct stat*) {}, true},
      {"size and mode", [](struct stat* s) { s->st_size += 7, s->st_mode ^= S_IWUSR; }, true},
      {"device", [](struct stat* s) { ++s->st_dev; }, false},
      {"inode", [](struct stat* s) { ++s->st_ino; }, false},
      {"both", [](struct stat* s) { ++s->st_dev, ++s->st_ino; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    struct stat other = file;
    c.apply(&other);
    EXPECT_EQ(IsSameFileStatus(file, other), c.same);
    EXPECT_EQ(IsSameFileStatus(other, file), c.same);
  }
}

}  // namespace
}  // namespace tsm2ostra

#endif
