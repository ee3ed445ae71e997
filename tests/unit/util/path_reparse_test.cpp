// Paths that the path functions produce must read back as the same path: relative stays
// relative, normalizing twice changes nothing, and no backslash comes out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/path.h"

namespace {

struct PathCase {
  std::string input;
  std::string expected;
};

TEST(NormalizePath, KeepsANameThatLooksLikeADriveFromBecomingOne) {
  const std::vector<PathCase> cases = {
      {"./C:x.mus", "./C:x.mus"},
      {"a/../C:x.mus", "./C:x.mus"},
      {".\\C:x", "./C:x"},
      {"./C:/x.mus", "./C:/x.mus"},
      {"./.:", "./.:"},
      {"./\n:", "./\n:"},
      // Rooted without a drive: the "." stays between the root and the name.
      {"/./:x", "/./:x"},
      {"\\.\\:x", "/./:x"},
      {"/a/../:x", "/./:x"},
      // With a directory in front, the colon is not the second character: nothing to keep.
      {"a/C:x", "a/C:x"},
      // Written without the dot, it is a drive.
      {"C:x.mus", "C:/x.mus"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    const std::string normal = NormalizePath(row.input);
    EXPECT_EQ(normal, row.expected);
    EXPECT_EQ(NormalizePath(normal), normal);
    EXPECT_EQ(IsRelativePath(normal), IsRelativePath(row.input));
  }
}

TEST(GetDirectory, KeepsADirectoryThatLooksLikeADriveFromBecomingOne) {
  const std::vector<PathCase> cases = {
      {"./C:/x.mus", "./C:/"},
      {"./C:x.mus", "./"},
      {"/./:a/x", "/./:a/"},
      {"C:/x.mus", "C:/"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(GetDirectory(row.input), row.expected);
    EXPECT_EQ(GetDirectory(NormalizePath(row.input)), row.expected);
  }
}

TEST(NormalizePath, WritesASeparatorBeforeTheColonAsSlash) {
  const std::vector<PathCase> cases = {
      {"\\:x", "/:/x"},
      {"\\:", "/:/"},
      {"/:x", "/:/x"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(NormalizePath(row.input), row.expected);
    EXPECT_EQ(NormalizePath(row.expected), row.expected);
    EXPECT_FALSE(IsRelativePath(row.input));
  }
}

TEST(MakeAbsolutePath, KeepsADriveLookingNameUnderTheBase) {
  EXPECT_EQ(MakeAbsolutePath("./C:x.mus", "/work"), "/work/C:x.mus");
  EXPECT_EQ(MakeAbsolutePath("\\:x", "/work"), "/:/x");
}

}  // namespace
