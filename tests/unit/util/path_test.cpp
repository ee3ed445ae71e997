// Path functions: separators, drives, network paths, "." and ".." handling, and long paths.
#include "util/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PathCase {
  std::string input;
  std::string expected;
};

// Longer than any fixed buffer a path used to fit in; these must behave like short names.
const std::string kLongDir(300, 'd');
const std::string kLongName(300, 'n');

TEST(NormalizePath, RebuildsThePathWithForwardSlashes) {
  const std::vector<PathCase> cases = {
      {"", ""},
      {"x.mus", "x.mus"},
      {"./x.mus", "x.mus"},
      {"a/./b/./c.mus", "a/b/c.mus"},
      {"a//b///c", "a/b/c"},
      {"a\\b/c\\d.mus", "a/b/c/d.mus"},
      {"a/b/", "a/b/"},
      {"/", "/"},
      {"\\", "/"},
      {"Dir/Sub/File.MUS", "Dir/Sub/File.MUS"},
      {"a.b/c", "a.b/c"},
      {"a.b/c.d/e", "a.b/c.d/e"},
      {"a.tar.gz", "a.tar.gz"},
      {"dir/.mus", "dir/.mus"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(NormalizePath(row.input), row.expected);
  }
}

TEST(NormalizePath, ResolvesDotDotAgainstNamesBeforeItOnly) {
  const std::vector<PathCase> cases = {
      {"a/b/../c.mus", "a/c.mus"},
      {"a/b/../../c", "c"},
      {"a/b/../../../c", "../c"},
      {"../a/../b", "../b"},
      {"../../x", "../../x"},
      {"..\\..\\x", "../../x"},
      // The last name is never a directory, so a trailing ".." or "." stays as it is.
      {"a/../..", ".."},
      {"dir/..", "dir/.."},
      {"dir/.", "dir/."},
      {"..", ".."},
      {".", "."},
      // Never resolved against the root.
      {"/../x", "/../x"},
      {"/a/../../x", "/../x"},
      {"C:/../x", "C:/../x"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(NormalizePath(row.input), row.expected);
  }
}

TEST(NormalizePath, KeepsDrivesAndNetworkPaths) {
  const std::vector<PathCase> cases = {
      {"C:\\dir\\.\\x.mus", "C:/dir/x.mus"},
      {"C:x.mus", "C:/x.mus"},
      {"C:dir\\x.mus", "C:/dir/x.mus"},
      {"C:", "C:/"},
      {"c:/Dir/X.mus", "c:/Dir/X.mus"},
      {"\\\\server\\share\\x.mus", "//server/share/x.mus"},
      {"//server/share/sub/../x.mus", "//server/share/x.mus"},
      // The server is no directory: ".." right after it has nothing to remove.
      {"\\\\server\\..\\x.mus", "//server/../x.mus"},
      // A network path loses its drive.
      {"D:\\\\server\\share\\x", "//server/share/x"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(NormalizePath(row.input), row.expected);
  }
}

TEST(NormalizePath, TreatsLongPathsLikeShortOnes) {
  const std::vector<PathCase> cases = {
      {kLongDir + "/" + kLongName + ".mus", kLongDir + "/" + kLongName + ".mus"},
      {kLongDir + "\\.\\x.mus", kLongDir + "/x.mus"},
      {"a/" + kLongDir + "/../" + kLongName, "a/" + kLongName},
      {"x." + kLongName, "x." + kLongName},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input.substr(0, 40) + "... (" + std::to_string(row.input.size()) + " chars)");
    EXPECT_EQ(NormalizePath(row.input), row.expected);
  }
}

TEST(ParsePath, SplitsTheLastNameAtItsLastDot) {
  struct Row {
    std::string input;
    std::string baseName;
    std::string extension;
  };
  const std::vector<Row> cases = {
      {"a.tar.gz", "a.tar", ".gz"},
      {"a.b/c", "c", ""},
      {"dir\\song.mus", "song", ".mus"},
      {"dir/.mus", "", ".mus"},
      {"x.", "x", "."},
      {"..", ".", "."},
      {"dir/", "", ""},
      {"", "", ""},
  };
  for (const Row& row : cases) {
    SCOPED_TRACE(row.input);
    PathParts parts;
    ParsePath(row.input, parts);
    EXPECT_EQ(parts.baseName, row.baseName);
    EXPECT_EQ(parts.extension, row.extension);
  }
}

TEST(ParsePath, FillsRootDriveServerAndDirectories) {
  struct Row {
    std::string input;
    bool rooted;
    bool unc;
    std::string drive;
    std::string server;
    std::vector<std::string> dirs;
  };
  const std::vector<Row> cases = {
      {"a/b/x", false, false, "", "", {"a", "b"}},
      {"/a/x", true, false, "", "", {"a"}},
      {"C:x", true, false, "C:", "", {}},
      {"C:\\a\\x", true, false, "C:", "", {"a"}},
      {"\\\\srv\\share\\x", true, true, "", "srv", {"share"}},
      {"../../x", false, false, "", "", {"..", ".."}},
  };
  for (const Row& row : cases) {
    SCOPED_TRACE(row.input);
    PathParts parts;
    parts.server = "stale";
    parts.dirs = {"stale"};
    ParsePath(row.input, parts);
    EXPECT_EQ(parts.rooted, row.rooted);
    EXPECT_EQ(parts.unc, row.unc);
    EXPECT_EQ(parts.drive, row.drive);
    EXPECT_EQ(parts.server, row.server);
    EXPECT_EQ(parts.dirs, row.dirs);
  }
}

TEST(GetDirectory, GivesTheDirectoryOrDotSlash) {
  const std::vector<PathCase> cases = {
      {"x.mus", "./"},
      {"", "./"},
      {"./x.mus", "./"},
      {"a/../x.mus", "./"},
      {"sub/x.mus", "sub/"},
      {"a\\b\\c.mus", "a/b/"},
      {"../x", "../"},
      {"/x", "/"},
      {"C:x.mus", "C:/"},
      {"C:\\dir\\x.mus", "C:/dir/"},
      {"\\\\srv\\share\\x.mus", "//srv/share/"},
      {"a.b/c", "a.b/"},
      {"dir/..", "dir/"},
      {kLongDir + "/" + kLongName, kLongDir + "/"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(GetDirectory(row.input), row.expected);
  }
}

TEST(IsRelativePath, IsFalseOnlyForDrivesAndLeadingSeparators) {
  struct Row {
    std::string input;
    bool relative;
  };
  const std::vector<Row> cases = {
      {"C:x", false},
      {"C:", false},
      {"C:\\x", false},
      {"/x", false},
      {"\\x", false},
      {"\\\\srv\\share\\x", false},
      {"x/y", true},
      {"../x", true},
      {".\\x", true},
      {"x", true},
      {"", true},
      {kLongDir + "/x", true},
      {"/" + kLongDir + "/x", false},
  };
  for (const Row& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(IsRelativePath(row.input), row.relative);
  }
}

TEST(MakeAbsolutePath, JoinsRelativePathsToTheBase) {
  struct Row {
    std::string path;
    std::string base;
    std::string expected;
  };
  const std::vector<Row> cases = {
      {"inc", "C:\\work", "C:/work/inc"},
      {"D:/lib", "C:/work", "D:/lib"},
      {"D:lib", "C:/work", "D:/lib"},
      {"", "C:/work", "C:/work/"},
      {"inc", "/home/u/", "/home/u/inc"},
      {"../inc", "/home/u/proj", "/home/u/inc"},
      {"inc/./sub/", "/base", "/base/inc/sub/"},
      {"../../..", "/a", "/../.."},
      {"/abs/./inc", "/base", "/abs/inc"},
      {"\\abs\\inc", "C:/base", "/abs/inc"},
      {"\\\\srv\\share\\inc", "/base", "//srv/share/inc"},
      {"inc", "\\\\srv\\share", "//srv/share/inc"},
      {"inc", "/" + kLongDir, "/" + kLongDir + "/inc"},
      {kLongName, "/base", "/base/" + kLongName},
  };
  for (const Row& row : cases) {
    SCOPED_TRACE(row.path + " against " + row.base);
    EXPECT_EQ(MakeAbsolutePath(row.path, row.base), row.expected);
  }
}

}  // namespace
