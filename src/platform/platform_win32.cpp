// Windows implementation of the platform layer.
#include "platform/platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <vector>

namespace platform {

bool OpenInputFile(std::ifstream& stream, const std::string& name) {
  const DWORD attributes = ::GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open() && !stream.fail();
}

bool QueryCurrentDirectory(std::string& directory) {
  DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
  while (needed != 0) {
    std::vector<char> buffer(needed);
    const DWORD written = ::GetCurrentDirectoryA(needed, buffer.data());
    if (written == 0) break;
    if (written < needed) {
      directory.assign(buffer.data(), written);
      return true;
    }
    needed = written;  // the directory grew between the two calls
  }
  return false;
}

void UseBinaryStandardStreams() {
  // The C runtime opens both in text mode, which writes every line feed as CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace platform
