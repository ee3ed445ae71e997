// The driver: reads the command line, lists each input file's table in command-line order, and
// reports the first error. Output that cannot be written is an error too, never a success.
#include "driver.h"

#include <clocale>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "lexer/lexer.h"
#include "platform/platform.h"
#include "seqconv/my_cmdline_parser.h"
#include "seqconv/my_exception.h"
#include "seqconv/seq_table_reader.h"

namespace {

const char kProgramName[] = "Korvedex.exe";

/// Every report line ends with a newline and a flush.
void WriteLine(std::FILE* stream, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

void CheckStandardOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    throw my_exception("Cannot write to standard output");
  }
}

void AnalyzeFiles(const my_cmdline_parser& options) {
  for (const std::string& name : options.mInputFiles) {
    std::ifstream stream;
    if (!platform::OpenInputFile(stream, name)) throw my_exception("Cannot open " + name);
    {
      SeqTableReader reader(options);
      reader.Analyze(name, stream);
    }
    stream.close();
    CheckStandardOutput();
  }
}

int Run(int argc, const char* const* argv) {
  if (argc == 1) {
    PrintUsage();
    return 1;
  }
  my_cmdline_parser options;
  options.Parse(argc, argv);
  AnalyzeFiles(options);
  return 0;
}

}  // namespace

void PrintUsage() {
  const std::string lines[] = {
      std::string(kProgramName) + " Ver.1.00",
      "Copyright (C) 2026 Korvedex developers",
      "",
      "",
      "Usage:",
      std::string("  ") + kProgramName + " [option...] *.mus",
      "",
      "Options:",
      "  -I dir        add the directory to the #include<> search path",
      "  -h, --help    display this help and exit",
  };
  for (const std::string& line : lines)
    WriteLine(stdout, line);
  CheckStandardOutput();
}

int KorvedexMain(int argc, const char* const* argv) {
  const std::string program = kProgramName;
  try {
    std::setlocale(LC_ALL, "");
    return Run(argc, argv);
  } catch (const cmdline_exception& e) {
    WriteLine(stderr, program + ": " + e.what());
    WriteLine(stderr, "Try '" + program + " --help' for more information.");
  } catch (const my_exception& e) {
    WriteLine(stderr, program + ": " + e.what());
  } catch (const Lexer::Exception& e) {
    WriteLine(stderr, e.Message());
  } catch (const std::exception& e) {
    WriteLine(stderr, program + ": Error: Unexpected exception");
    WriteLine(stderr, std::string(" message:") + e.what());
  } catch (...) {
    WriteLine(stderr, program + ": Error: Unexpected exception");
  }
  return 1;
}
