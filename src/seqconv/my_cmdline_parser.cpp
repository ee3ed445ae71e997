// Korvedex's options: -I collects include directories, -h/--help prints the usage and ends the
// run, the rest are accepted for compatibility and change nothing.
#include "seqconv/my_cmdline_parser.h"

#include <cstdlib>

#include "driver.h"

namespace {

void ExitProcess(int status) {
  std::exit(status);
}

}  // namespace

my_cmdline_parser::my_cmdline_parser() : mExit(&ExitProcess) {
  AddOption("a", false);
  AddOption("archive", false);
  AddOption("h", false);
  AddOption("help", false);
  AddOption("u", false);
  AddOption("update", false);
  AddOption("v", false);
  AddOption("verbose", false);
  AddOption("o", true);
  AddOption("I", true);
}

void my_cmdline_parser::OnOption(std::string name, std::string value) {
  if (name == "help" || name == "h") {
    PrintUsage();
    mExit(0);
  } else if (name == "update" || name == "u" || name == "verbose" || name == "v" ||
             name == "archive" || name == "a" || name == "o") {
    // Accepted without effect.
  } else if (name == "I") {
    mIncludePaths.push_back(value);
  }
}

void my_cmdline_parser::OnArgument(std::string argument) {
  mInputFiles.push_back(argument);
}
