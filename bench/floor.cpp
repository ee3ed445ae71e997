// The floor anchors of the benchmark: the least that a line-oriented reader of the same input
// must do. Mode 1 reads every line with std::getline; mode 2 does the same and then looks at
// every character once (summing the bytes, and printing the sum so that the pass stays).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Totals {
  std::uint64_t files = 0;
  std::uint64_t lines = 0;
  std::uint64_t characters = 0;
  std::uint64_t byteSum = 0;
};

bool ReadFile(const fs::path& path, bool everyCharacter, Totals& totals) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return false;
  std::string line;
  while (std::getline(stream, line)) {
    ++totals.lines;
    totals.characters += line.size();
    if (everyCharacter) {
      std::uint64_t sum = 0;
      for (char c : line)
        sum += static_cast<unsigned char>(c);
      totals.byteSum += sum;
    }
  }
  ++totals.files;
  return !stream.bad();
}

/// The files to read: a file as it is, a directory as all regular files below it, in name
/// order so that every run reads the same sequence.
bool CollectFiles(const fs::path& path, std::vector<fs::path>& files) {
  std::error_code error;
  if (!fs::is_directory(path, error)) {
    files.push_back(path);
    return true;
  }
  std::vector<fs::path> found;
  for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error)) found.push_back(it->path());
  }
  if (error) return false;
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 3 || (mode != "1" && mode != "2")) {
    std::fprintf(stderr,
                 "usage: korvedex_floor 1|2 PATH...\n"
                 "  1: read every line with std::getline; 2: the same plus one pass over every\n"
                 "  character. A directory stands for all files below it.\n");
    return 2;
  }
  std::vector<fs::path> files;
  for (int i = 2; i < argc; ++i) {
    if (!CollectFiles(argv[i], files)) {
      std::fprintf(stderr, "korvedex_floor: cannot list %s\n", argv[i]);
      return 1;
    }
  }
  Totals totals;
  for (const fs::path& file : files) {
    if (!ReadFile(file, mode == "2", totals)) {
      std::fprintf(stderr, "korvedex_floor: cannot read %s\n", file.string().c_str());
      return 1;
    }
  }
  std::printf("files %llu lines %llu characters %llu sum %llu\n",
              static_cast<unsigned long long>(totals.files),
              static_cast<unsigned long long>(totals.lines),
              static_cast<unsigned long long>(totals.characters),
              static_cast<unsigned long long>(totals.byteSum));
  return 0;
}
