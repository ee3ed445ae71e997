// Fuzz target: the command-line walk over arbitrary argument vectors. The input is split at NUL
// bytes into arguments. The outcome (operands, include directories, whether the help option was
// reached, the error message) is compared with a small model of the walk written from the rules
// of the option grammar; any difference, a crash or a sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "seqconv/my_cmdline_parser.h"
#include "util/cmdline.h"

namespace {

// Thrown instead of ending the process after the help option.
struct HelpExit {
  int status;
};

void ThrowHelpExit(int status) {
  throw HelpExit{status};
}

struct Outcome {
  std::vector<std::string> operands;
  std::vector<std::string> includeDirs;
  bool help = false;
  std::string error;  // empty when the walk succeeded or ended in the help option
};

bool TakesArgument(char letter) {
  return letter == 'o' || letter == 'I';
}
bool IsShortOption(char letter) {
  return letter == 'a' || letter == 'h' || letter == 'u' || letter == 'v' || TakesArgument(letter);
}
bool IsLongOption(const std::string& name) {
  return name == "archive" || name == "help" || name == "update" || name == "verbose";
}

Outcome Model(const std::vector<std::string>& args) {
  Outcome out;
  std::string pending;  // the letter waiting for its value; long options never take one
  for (const std::string& arg : args) {
    if (!pending.empty()) {
      if (pending == "I") out.includeDirs.push_back(arg);
      pending.clear();
    } else if (arg.empty() || arg[0] != '-') {
      out.operands.push_back(arg);
    } else if (arg == "-") {
      out.error = "unrecognized option '-'";
      return out;
    } else if (arg[1] == '-') {
      const std::string name = arg.substr(2);
      if (!IsLongOption(name)) {
        out.error = "unrecognized option '" + arg + "'";
        return out;
      }
      if (name == "help") {
        out.help = true;
        return out;
      }
    } else {
      for (std::size_t k = 1; k < arg.size(); ++k) {
        const char letter = arg[k];
        if (!IsShortOption(letter)) {
          out.error = std::string("invalid option -- ") + letter;
          return out;
        }
        if (letter == 'h') {
          out.help = true;
          return out;
        }
        if (TakesArgument(letter)) pending.assign(1, letter);
      }
    }
  }
  if (!pending.empty()) out.error = "option requires an argument -- " + pending;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The usage text of the help option is not looked at.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = input.find('\0', start);
    args.push_back(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<const char*> argv = {"Korvedex"};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());

  my_cmdline_parser options;
  options.mExit = &ThrowHelpExit;
  Outcome actual;
  try {
    options.Parse(static_cast<int>(argv.size()), argv.data());
  } catch (const cmdline_exception& e) {
    actual.error = e.what();
    if (actual.error.empty()) __builtin_trap();
  } catch (const HelpExit& exit) {
    if (exit.status != 0) __builtin_trap();
    actual.help = true;
  }
  actual.operands = options.mInputFiles;
  actual.includeDirs = options.mIncludePaths;

  const Outcome expected = Model(args);
  if (actual.help != expected.help || actual.error != expected.error) __builtin_trap();
  // Hooks run as the walk goes, so what was delivered before an error or the help option stays.
  if (actual.operands != expected.operands || actual.includeDirs != expected.includeDirs) {
    __builtin_trap();
  }
  // The reader works on a copy of the option set; it must carry both lists.
  const my_cmdline_parser copy(options);
  if (copy.mInputFiles != options.mInputFiles || copy.mIncludePaths != options.mIncludePaths) {
    __builtin_trap();
  }
  return 0;
}
