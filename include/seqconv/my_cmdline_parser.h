// The program's option set: declares Korvedex's options and keeps what the walk delivers.
#ifndef SEQCONV_MY_CMDLINE_PARSER_H
#define SEQCONV_MY_CMDLINE_PARSER_H

#include <string>
#include <vector>

#include "util/cmdline.h"

struct my_cmdline_parser : public cmdline_parser {
  /// Ends the process after the help option; replaceable where a process must survive it.
  using ExitFunction = void (*)(int status);

  my_cmdline_parser();
  my_cmdline_parser(const my_cmdline_parser&) = default;
  my_cmdline_parser& operator=(const my_cmdline_parser&) = default;
  virtual ~my_cmdline_parser() = default;

  void OnOption(std::string name, std::string value) override;
  void OnArgument(std::string argument) override;

  std::vector<std::string> mInputFiles;
  std::vector<std::string> mIncludePaths;
  ExitFunction mExit;
};

#endif  // SEQCONV_MY_CMDLINE_PARSER_H
