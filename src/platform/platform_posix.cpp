// POSIX implementation of the platform layer.
#include "platform/platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {

bool OpenInputFile(std::ifstream& stream, const std::string& name) {
  // A directory opens as a stream on POSIX, then fails on the first read: refuse it here.
  struct stat info;
  if (::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
  stream.open(name, std::ios::in | std::ios::binary);
  return stream.is_open() && !stream.fail();
}

bool QueryCurrentDirectory(std::string& directory) {
  std::vector<char> buffer(256);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      directory = buffer.data();
      return true;
    }
    if (errno != ERANGE) return false;
    buffer.resize(buffer.size() * 2);
  }
}

void UseBinaryStandardStreams() {}  // POSIX streams never translate line ends

}  // namespace platform
