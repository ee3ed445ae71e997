// The command-line engine, seen through the hooks it calls, and Korvedex's option set on top of
// it.
#include "util/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "seqconv/my_cmdline_parser.h"

namespace {

using Calls = std::vector<std::string>;

// Records every hook call in order, as "option NAME=VALUE" or "argument TEXT".
class RecordingParser : public cmdline_parser {
 public:
  RecordingParser() {
    AddOption("a", false);
    AddOption("b", false);
    AddOption("all", false);
    AddOption("o", true);
    AddOption("I", true);
    AddOption("output", true);
  }

  void OnOption(std::string name, std::string value) override {
    mCalls.push_back("option " + name + "=" + value);
  }
  void OnArgument(std::string argument) override { mCalls.push_back("argument " + argument); }

  Calls mCalls;
};

// Runs Parse over `args` as if they followed the program name.
template <class Parser>
void ParseArgs(Parser& parser, const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"Korvedex.exe"};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  parser.Parse(static_cast<int>(argv.size()), argv.data());
}

std::string Describe(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args)
    text += "[" + arg + "] ";
  return text;
}

struct WalkCase {
  std::vector<std::string> args;
  Calls calls;
};

// Each row's arguments give exactly the row's hook calls.
void ExpectWalks(const std::vector<WalkCase>& cases) {
  for (const WalkCase& row : cases) {
    SCOPED_TRACE(Describe(row.args));
    RecordingParser parser;
    ParseArgs(parser, row.args);
    EXPECT_EQ(parser.mCalls, row.calls);
  }
}

TEST(CmdlineParser, CallsTheHooksInCommandLineOrder) {
  const std::vector<WalkCase> cases = {
      {{}, {}},
      {{"x.mus", "-a", "y.mus", "--all"},
       {"argument x.mus", "option a=", "argument y.mus", "option all="}},
      {{"-ab", "-ba"}, {"option a=", "option b=", "option b=", "option a="}},
      {{"-a", "-a"}, {"option a=", "option a="}},
      {{"-I", "one", "x.mus", "-I", "two"}, {"option I=one", "argument x.mus", "option I=two"}},
      {{"--output", "out", "x.mus"}, {"option output=out", "argument x.mus"}},
      // An empty argument is an operand.
      {{""}, {"argument "}},
  };
  ExpectWalks(cases);
}

TEST(CmdlineParser, TakesTheNextArgumentAsValueWhateverItLooksLike) {
  const std::vector<WalkCase> cases = {
      {{"-o", "-h"}, {"option o=-h"}},
      {{"-o", "--"}, {"option o=--"}},
      {{"-o", "-"}, {"option o=-"}},
      {{"-o", "--all"}, {"option o=--all"}},
      {{"-o", ""}, {"option o="}},
      {{"-o", "-I", "x"}, {"option o=-I", "argument x"}},
      {{"--output", "-a"}, {"option output=-a"}},
      {{"-I", "--", "-b"}, {"option I=--", "option b="}},
  };
  ExpectWalks(cases);
}

TEST(CmdlineParser, ClusterLettersTakeTheirValueFromTheNextArgument) {
  const std::vector<WalkCase> cases = {
      {{"-ao", "v"}, {"option a=", "option o=v"}},
      // The rest of the cluster is never the value; letters after the pending one still run.
      {{"-oa", "v"}, {"option a=", "option o=v"}},
      {{"-Iab", "dir"}, {"option a=", "option b=", "option I=dir"}},
      // The later argument-taking letter replaces the earlier, which never reaches the hook.
      {{"-oI", "x"}, {"option I=x"}},
      {{"-Io", "x"}, {"option o=x"}},
      {{"-oIo", "x", "y"}, {"option o=x", "argument y"}},
  };
  ExpectWalks(cases);
}

struct ErrorCase {
  std::vector<std::string> args;
  Calls callsBeforeError;
  std::string message;
};

TEST(CmdlineParser, StopsAtTheFirstErrorAfterEarlierEffects) {
  const std::vector<ErrorCase> cases = {
      {{"-"}, {}, "unrecognized option '-'"},
      {{"x.mus", "-a", "-", "-b"}, {"argument x.mus", "option a="}, "unrecognized option '-'"},
      {{"--"}, {}, "unrecognized option '--'"},
      {{"x.mus", "--", "y.mus"}, {"argument x.mus"}, "unrecognized option '--'"},
      {{"--al"}, {}, "unrecognized option '--al'"},
      {{"--all=1"}, {}, "unrecognized option '--all=1'"},
      {{"--output=x"}, {}, "unrecognized option '--output=x'"},
      {{"--a"}, {}, "unrecognized option '--a'"},
      {{"--ALL"}, {}, "unrecognized option '--ALL'"},
      {{"---all"}, {}, "unrecognized option '---all'"},
      {{"-A"}, {}, "invalid option -- A"},
      {{"-abxa", "y.mus"}, {"option a=", "option b="}, "invalid option -- x"},
      {{"-x", "-a"}, {}, "invalid option -- x"},
      {{"-I-"}, {}, "invalid option -- -"},
      {{"-o"}, {}, "option requires an argument -- o"},
      {{"-a", "-I"}, {"option a="}, "option requires an argument -- I"},
      {{"-ob"}, {"option b="}, "option requires an argument -- o"},
      {{"-o", "v", "-I"}, {"option o=v"}, "option requires an argument -- I"},
      {{"--output"}, {}, "option '--output' requires an argument"},
      {{"x.mus", "--output"}, {"argument x.mus"}, "option '--output' requires an argument"},
  };
  for (const ErrorCase& row : cases) {
    SCOPED_TRACE(Describe(row.args));
    RecordingParser parser;
    try {
      ParseArgs(parser, row.args);
      ADD_FAILURE() << "no error";
    } catch (const cmdline_exception& e) {
      EXPECT_EQ(std::string(e.what()), row.message);
    }
    EXPECT_EQ(parser.mCalls, row.callsBeforeError);
  }
}

TEST(CmdlineParser, CopiesOfTheExceptionKeepTheMessage) {
  cmdline_exception copy("placeholder");
  {
    const cmdline_exception original(std::string("invalid option -- ") + 'x');
    copy = original;
  }
  EXPECT_EQ(std::string(copy.what()), "invalid option -- x");
}

// An engine with nothing declared but what each test adds.
class BareParser : public cmdline_parser {
 public:
  void OnOption(std::string name, std::string value) override {
    mCalls.push_back("option " + name + "=" + value);
  }
  void OnArgument(std::string argument) override { mCalls.push_back("argument " + argument); }
  Calls mCalls;
};

TEST(CmdlineParser, AddOptionIgnoresEmptyNamesAndRedeclares) {
  BareParser parser;
  parser.AddOption("", false);
  parser.AddOption("o", true);
  parser.AddOption("o", false);
  parser.AddOption("name", false);
  parser.AddOption("name", true);
  ParseArgs(parser, {"-o", "x", "--name", "-o"});
  EXPECT_EQ(parser.mCalls, (Calls{"option o=", "argument x", "option name=-o"}));

  BareParser empty;
  empty.AddOption("", false);
  try {
    ParseArgs(empty, {"--"});
    ADD_FAILURE() << "the empty name was declared";
  } catch (const cmdline_exception& e) {
    EXPECT_EQ(std::string(e.what()), "unrecognized option '--'");
  }
}

// The help option ends the process; the tests swap the exit for this throw to survive it.
struct HelpExit {
  int status;
};

[[noreturn]] void ThrowHelpExit(int status) {
  throw HelpExit{status};
}

const char kUsage[] =
    "Korvedex.exe Ver.1.00\n"
    "Copyright (C) 2026 Korvedex developers\n"
    "\n"
    "\n"
    "Usage:\n"
    "  Korvedex.exe [option...] *.mus\n"
    "\n"
    "Options:\n"
    "  -I dir        add the directory to the #include<> search path\n"
    "  -h, --help    display this help and exit\n";

struct OptionSetCase {
  std::vector<std::string> args;
  std::vector<std::string> inputFiles;
  std::vector<std::string> includePaths;
};

TEST(MyCmdlineParser, CollectsOperandsAndIncludeDirectories) {
  const std::vector<OptionSetCase> cases = {
      {{}, {}, {}},
      {{"a.mus", "-I", "inc", "b.mus", "-I", "lib", "-I", "inc", "a.mus"},
       {"a.mus", "b.mus", "a.mus"},
       {"inc", "lib", "inc"}},
      {{"-I", "--", "-I", "-h"}, {}, {"--", "-h"}},
      {{"-I", "", ""}, {""}, {""}},
      // -o takes a value and drops it.
      {{"-o", "out.mus", "a.mus"}, {"a.mus"}, {}},
      {{"-o", "-h", "-o", "--help"}, {}, {}},
      {{"-oI", "x", "a.mus"}, {"a.mus"}, {"x"}},
      {{"-Io", "x", "a.mus"}, {"a.mus"}, {}},
      // Accepted for compatibility, without effect.
      {{"-a", "--archive", "-u", "--update", "-v", "--verbose", "-auv", "a.mus"}, {"a.mus"}, {}},
  };
  for (const OptionSetCase& row : cases) {
    SCOPED_TRACE(Describe(row.args));
    my_cmdline_parser options;
    options.mExit = &ThrowHelpExit;
    testing::internal::CaptureStdout();
    try {
      ParseArgs(options, row.args);
    } catch (const HelpExit&) {
      ADD_FAILURE() << "the help option ran";
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(options.mInputFiles, row.inputFiles);
    EXPECT_EQ(options.mIncludePaths, row.includePaths);
  }
}

TEST(MyCmdlineParser, HelpPrintsTheUsageAndExitsWithZero) {
  // Operands and directories to the left of the help option have been taken already.
  const std::vector<OptionSetCase> cases = {
      {{"-h"}, {}, {}},         {{"--help"}, {}, {}},
      {{"-ah"}, {}, {}},        {{"-help"}, {}, {}},
      {{"-hx"}, {}, {}},        {{"a.mus", "-I", "inc", "-h", "-x", "b.mus"}, {"a.mus"}, {"inc"}},
      {{"-Ih", "dir"}, {}, {}},
  };
  for (const OptionSetCase& row : cases) {
    SCOPED_TRACE(Describe(row.args));
    my_cmdline_parser options;
    options.mExit = &ThrowHelpExit;
    testing::internal::CaptureStdout();
    int status = -1;
    try {
      ParseArgs(options, row.args);
    } catch (const HelpExit& e) {
      status = e.status;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kUsage);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(options.mInputFiles, row.inputFiles);
    EXPECT_EQ(options.mIncludePaths, row.includePaths);
  }
}

TEST(MyCmdlineParser, ErrorsBeforeHelpWin) {
  const std::vector<ErrorCase> cases = {
      {{"-xh"}, {}, "invalid option -- x"},
      {{"-H"}, {}, "invalid option -- H"},
      {{"--HELP"}, {}, "unrecognized option '--HELP'"},
      {{"--h"}, {}, "unrecognized option '--h'"},
      {{"-Idir", "-h"}, {}, "invalid option -- d"},
  };
  for (const ErrorCase& row : cases) {
    SCOPED_TRACE(Describe(row.args));
    my_cmdline_parser options;
    options.mExit = &ThrowHelpExit;
    testing::internal::CaptureStdout();
    try {
      ParseArgs(options, row.args);
      ADD_FAILURE() << "no error";
    } catch (const cmdline_exception& e) {
      EXPECT_EQ(std::string(e.what()), row.message);
    } catch (const HelpExit&) {
      ADD_FAILURE() << "the help option ran";
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  }
}

TEST(MyCmdlineParser, CopiesKeepTheDeclaredOptionsAndTheLists) {
  my_cmdline_parser original;
  ParseArgs(original, {"-I", "inc", "a.mus"});
  my_cmdline_parser copy(original);
  EXPECT_EQ(copy.mIncludePaths, (std::vector<std::string>{"inc"}));
  EXPECT_EQ(copy.mInputFiles, (std::vector<std::string>{"a.mus"}));

  ParseArgs(copy, {"-auv", "-o", "x", "-I", "lib", "b.mus"});
  EXPECT_EQ(copy.mIncludePaths, (std::vector<std::string>{"inc", "lib"}));
  EXPECT_EQ(copy.mInputFiles, (std::vector<std::string>{"a.mus", "b.mus"}));
  EXPECT_EQ(original.mIncludePaths, (std::vector<std::string>{"inc"}));
}

}  // namespace
