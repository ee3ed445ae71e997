// Path parsing and rebuilding for the lexer's file names and include search.
#include "util/path.h"

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

// Rebuilt text whose second character is a colon reads back as a path with a drive. Without a
// drive of its own ("./C:x" or "/./:x" once the "." is dropped) it keeps a "./" in front of the
// name, so that it reads back as the same path.
std::string KeepDriveless(const PathParts& parts, std::string text) {
  if (parts.drive.empty() && text.size() >= 2 && text[1] == ':') {
    text.insert(text[0] == '/' ? 1 : 0, "./");
  }
  return text;
}

}  // namespace

void ParsePath(const std::string& path, PathParts& parts) {
  std::string::size_type start = 0;
  std::string drive;
  if (path.size() >= 2 && path[1] == ':') {
    drive = path.substr(0, 2);
    if (IsSeparator(drive[0])) drive[0] = '/';  // what is produced holds no backslash
    start = 2;
  }
  std::string::size_type lastSep = path.find_last_of("/\\");
  std::string::size_type nameStart =
      (lastSep == std::string::npos || lastSep < start) ? start : lastSep + 1;
  const std::string directory = path.substr(start, nameStart - start);
  const std::string lastName = path.substr(nameStart);
  const std::string::size_type dot = lastName.rfind('.');

  parts.rooted = !drive.empty();
  parts.unc = false;
  parts.server.clear();
  parts.dirs.clear();

  std::string::size_type pos = 0;
  if (!directory.empty() && IsSeparator(directory[0])) {
    parts.rooted = true;
    if (directory.size() > 1 && IsSeparator(directory[1])) parts.unc = true;
  }
  while (pos < directory.size() && IsSeparator(directory[pos]))
    ++pos;

  bool serverPending = parts.unc;
  while (pos < directory.size()) {
    std::string::size_type end = pos;
    while (end < directory.size() && !IsSeparator(directory[end]))
      ++end;
    if (end == directory.size()) break;  // only names followed by a separator are directories
    std::string name = directory.substr(pos, end - pos);
    pos = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == ".." && !parts.dirs.empty() && parts.dirs.back() != "..") {
      parts.dirs.pop_back();
      continue;
    }
    if (serverPending) {
      parts.server = std::move(name);
      serverPending = false;
    } else {
      parts.dirs.push_back(std::move(name));
    }
  }

  parts.drive = drive;
  if (dot == std::string::npos) {
    parts.baseName = lastName;
    parts.extension.clear();
  } else {
    parts.baseName = lastName.substr(0, dot);
    parts.extension = lastName.substr(dot);
  }
}

std::string GetDirectoryString(const PathParts& parts) {
  std::string result;
  if (parts.unc) {
    result = "//" + parts.server + "/";
  } else if (parts.rooted) {
    result = parts.drive + "/";
  }
  for (const std::string& dir : parts.dirs) {
    result += dir;
    result += '/';
  }
  return result;
}

std::string NormalizePath(const std::string& path) {
  PathParts parts;
  ParsePath(path, parts);
  return KeepDriveless(parts, GetDirectoryString(parts) + parts.baseName + parts.extension);
}

std::string GetDirectory(const std::string& path) {
  PathParts parts;
  ParsePath(path, parts);
  std::string dir = KeepDriveless(parts, GetDirectoryString(parts));
  return dir.empty() ? "./" : dir;
}

bool IsRelativePath(const std::string& path) {
  PathParts parts;
  ParsePath(path, parts);
  return !parts.rooted;
}

std::string MakeAbsolutePath(const std::string& path, const std::string& base) {
  if (!IsRelativePath(path)) return NormalizePath(path);
  return NormalizePath(base + "/" + path);
}
