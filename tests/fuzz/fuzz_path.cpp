// Fuzz target: the text-only path functions. The input is a path, optionally followed by a NUL
// byte and a base directory. Properties that must hold for every path:
// - NormalizePath is idempotent and never produces a backslash;
// - normalizing keeps a path relative or rooted as it was;
// - GetDirectory always ends with '/', and is the same for a path and its normalized form;
// - MakeAbsolutePath of a relative path against a rooted base is rooted, and of a rooted path is
//   its normalized form.
// A violation traps, so libFuzzer records the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "util/path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string path = input.substr(0, split);
  const std::string base = split == std::string::npos ? "/work" : input.substr(split + 1);

  const std::string normal = NormalizePath(path);
  if (NormalizePath(normal) != normal) __builtin_trap();
  if (normal.find('\\') != std::string::npos) __builtin_trap();
  const bool relative = IsRelativePath(path);
  if (IsRelativePath(normal) != relative) __builtin_trap();

  const std::string directory = GetDirectory(path);
  if (directory.empty() || directory.back() != '/') __builtin_trap();
  if (GetDirectory(normal) != directory) __builtin_trap();

  const std::string absolute = MakeAbsolutePath(path, base);
  if (!relative && absolute != normal) __builtin_trap();
  if (relative && !IsRelativePath(base) && IsRelativePath(absolute)) __builtin_trap();
  return 0;
}
