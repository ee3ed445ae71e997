// The few operating-system services the tool needs, with one implementation per platform.
#ifndef PLATFORM_PLATFORM_H
#define PLATFORM_PLATFORM_H

#include <fstream>
#include <string>

namespace platform {

/// Opens `name` for reading as bytes (line ends are translated by the reader, identically on
/// every platform). False when the file does not open or names a directory.
bool OpenInputFile(std::ifstream& stream, const std::string& name);

/// The process's whole current directory; false when the platform cannot give it.
bool QueryCurrentDirectory(std::string& directory);

/// Makes the standard output and error streams write their bytes unchanged (a line feed stays a
/// line feed), so that the tool's output is the same on every platform.
void UseBinaryStandardStreams();

}  // namespace platform

#endif  // PLATFORM_PLATFORM_H
