// The command-line walk: options, option clusters, pending option values and their errors.
#include "util/cmdline.h"

void cmdline_parser::OnOption(std::string, std::string) {}

void cmdline_parser::OnArgument(std::string) {}

void cmdline_parser::AddOption(const std::string& name, bool takesArgument) {
  if (name.empty()) return;
  if (name.size() == 1) {
    mShortOptions[name[0]] = takesArgument;
  } else {
    mLongOptions[name] = takesArgument;
  }
}

void cmdline_parser::Parse(int argc, const char* const* argv) {
  std::string pendingName;
  bool pending = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (pending) {
      pending = false;
      OnOption(pendingName, arg);
      continue;
    }
    if (arg.empty() || arg[0] != '-') {
      OnArgument(arg);
      continue;
    }
    if (arg == "-") throw cmdline_exception("unrecognized option '-'");
    if (arg[1] == '-') {
      const std::string name = arg.substr(2);
      auto found = mLongOptions.find(name);
      if (found == mLongOptions.end()) {
        throw cmdline_exception("unrecognized option '" + arg + "'");
      }
      if (found->second) {
        pendingName = name;
        pending = true;
      } else {
        OnOption(name, "");
      }
      continue;
    }
    for (std::string::size_type k = 1; k < arg.size(); ++k) {
      const char letter = arg[k];
      auto found = mShortOptions.find(letter);
      if (found == mShortOptions.end()) {
        throw cmdline_exception(std::string("invalid option -- ") + letter);
      }
      if (found->second) {
        // The value is always the next argument, never the rest of this cluster.
        pendingName = std::string(1, letter);
        pending = true;
      } else {
        OnOption(std::string(1, letter), "");
      }
    }
  }
  if (!pending) return;
  if (pendingName.size() == 1) {
    throw cmdline_exception("option requires an argument -- " + pendingName);
  }
  throw cmdline_exception("option '--" + pendingName + "' requires an argument");
}
