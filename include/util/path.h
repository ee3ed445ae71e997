// Text-only path handling: either separator is accepted, '/' is produced, the file system is
// never touched and the case of every name is kept.
#ifndef UTIL_PATH_H
#define UTIL_PATH_H

#include <string>
#include <vector>

/// The parsed form of one path; built only by ParsePath.
struct PathParts {
  bool rooted = false;  ///< has a drive, or the directory part begins with a separator
  bool unc = false;     ///< the directory part begins with two separators
  std::string drive;    ///< "C:" or empty
  std::string server;   ///< first name after the two leading separators of a network path
  std::string baseName;
  std::string extension;  ///< from the last dot of the last name, dot included
  std::vector<std::string> dirs;
};

/// Splits `path` into its parts, dropping "." and resolving ".." where a name precedes it.
void ParsePath(const std::string& path, PathParts& parts);
/// The directory part of `parts` as text, ending with '/' unless empty.
std::string GetDirectoryString(const PathParts& parts);

/// The path rebuilt from its parts, with '/' as the only separator.
std::string NormalizePath(const std::string& path);
/// The directory of `path`, ending with '/'; "./" when the path has none.
std::string GetDirectory(const std::string& path);
/// True unless the path has a drive or begins with a separator.
bool IsRelativePath(const std::string& path);
/// `path` normalized, joined to `base` first when it is relative.
std::string MakeAbsolutePath(const std::string& path, const std::string& base);

#endif  // UTIL_PATH_H
