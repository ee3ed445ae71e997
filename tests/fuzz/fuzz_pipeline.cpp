// Fuzz target: the whole per-file pipeline (preprocessor, scanner, expressions, table parser and
// report) over an in-memory main file that lives beside a small fixed include tree.
//
// A positioned source error or a program-level error is an expected outcome; anything else that
// leaves Analyze, a crash, a sanitizer report, a hang, or a difference between the two ways of
// reading table lines is a finding.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "lexer/lexer.h"
#include "seqconv/my_cmdline_parser.h"
#include "seqconv/my_exception.h"
#include "seqconv/seq_table_reader.h"

namespace {

std::string gTreeDir;     // the include tree; quoted includes of the main file resolve here
std::string gMissingDir;  // an -I directory that does not exist, searched first

void WriteTreeFile(const std::string& name, const std::string& text) {
  std::ofstream out(gTreeDir + "/" + name, std::ios::binary);
  out << text;
  if (!out) __builtin_trap();
}

// Each file gives the fuzzer something to reach: macros from an include, a nested quoted include
// resolved beside the including file, include guards, a file that includes itself without a
// guard (the nesting limit), a group opened in an include and closed by the includer, table
// entries from an include (many of them, and one with names longer than any buffer of the
// report), CR LF and Ctrl-Z line handling, and a directory that never opens.
void CreateIncludeTree() {
  char pattern[] = "/tmp/korvedex-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) __builtin_trap();
  gTreeDir = pattern;
  gMissingDir = gTreeDir + "/missing";
  std::filesystem::create_directory(gTreeDir + "/sub");
  std::filesystem::create_directory(gTreeDir + "/dir.mus");
  WriteTreeFile("defs.mus",
                "; banks and volumes\n"
                "#define BANK 2\n"
                "#define VOL (100 + 27)\n"
                "#define NESTED \"sub/nested.mus\"\n"
                "#define EMPTY\n");
  WriteTreeFile("sub/nested.mus",
                "#ifndef NESTED_MUS\n"
                "#define NESTED_MUS\n"
                "#include \"leaf.mus\"\n"
                "#define PRIO 64\n"
                "#endif\n");
  WriteTreeFile("sub/leaf.mus", "#define LEAF {0-3}\n#define CH 'a'\n");
  WriteTreeFile("guarded.mus",
                "#ifndef GUARDED\n#define GUARDED 1\n#include \"guarded.mus\"\n#endif\n");
  WriteTreeFile("self.mus", "#include \"self.mus\"\n");
  WriteTreeFile("open.mus", "#if 1\n#define OPENED 1\n");
  WriteTreeFile("table.mus", "A: LA, BANK, VOL, 64, 64, 0\nB = 7: LB, 1, 2, 3, 4, 5");
  WriteTreeFile("crlf.mus", "#define CR 1\r\n#define LONE\rCR 2\r\n\x1a#define AFTER 3\n");
  WriteTreeFile("bad.mus", "#define OK 1\n!\n");
  std::string many;
  for (int i = 0; i < 40; ++i) {
    many += "M" + std::to_string(i) + (i == 0 ? " = 1000" : "") + ": LM, 1, 2, 3, 4, 5\n";
  }
  WriteTreeFile("many.mus", many);
  WriteTreeFile("big.mus",
                std::string(20000, 'N') + ": " + std::string(50000, 'L') + ", 1, 2, 3, 4, 5\n");
}

void RemoveIncludeTree() {
  std::error_code ignored;
  std::filesystem::remove_all(gTreeDir, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CreateIncludeTree();
  std::atexit(RemoveIncludeTree);
  // Reports go to memory streams; anything else on the standard output would only slow the run.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) __builtin_trap();
  return 0;
}

namespace {

/// What one reading of the input gave: the report and the error, if any.
struct Outcome {
  std::string report;
  std::string error;
  bool operator==(const Outcome& other) const {
    return report == other.report && error == other.error;
  }
};

Outcome Run(const my_cmdline_parser& options, const std::string& mainName, const std::string& text,
            bool plainLineReading) {
  Outcome outcome;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* report = open_memstream(&buffer, &size);
  if (report == nullptr) __builtin_trap();
  std::istringstream stream(text);
  try {
    SeqTableReader reader(options);
    reader.SetOutput(report);
    reader.SetPlainLineReading(plainLineReading);
    reader.Analyze(mainName, stream);
  } catch (const Lexer::Exception& e) {
    // A positioned error always ends with the newline of the line it shows (or of the message
    // itself once all input has ended).
    outcome.error = e.Message();
    if (outcome.error.empty() || outcome.error.back() != '\n') __builtin_trap();
  } catch (const my_exception& e) {
    outcome.error = e.what();
  }
  std::fclose(report);
  outcome.report.assign(buffer, size);
  std::free(buffer);
  return outcome;
}

}  // namespace

// Plain lines are read straight from their characters, other lines token by token: both ways
// must give the same report and the same error, so the input is read both ways.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string mainName = gTreeDir + "/main.mus";
  const char* const argv[] = {"Korvedex",      "-I", gMissingDir.c_str(), "-I", gTreeDir.c_str(),
                              mainName.c_str()};
  my_cmdline_parser options;
  options.Parse(static_cast<int>(sizeof argv / sizeof argv[0]), argv);

  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!(Run(options, mainName, text, true) == Run(options, mainName, text, false))) {
    __builtin_trap();
  }
  return 0;
}
