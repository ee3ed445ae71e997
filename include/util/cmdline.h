// Command-line engine: a table of declared option names, one left-to-right walk over the
// arguments, and two hooks that receive every recognised option and every operand.
#ifndef UTIL_CMDLINE_H
#define UTIL_CMDLINE_H

#include <exception>
#include <map>
#include <string>

/// A command-line error; `what` gives the whole message.
class cmdline_exception : public std::exception {
 public:
  explicit cmdline_exception(const std::string& message) : mMessage(message) {}
  const char* what() const noexcept override { return mMessage.c_str(); }

 private:
  std::string mMessage;
};

class cmdline_parser {
 public:
  virtual void OnOption(std::string name, std::string value);
  virtual void OnArgument(std::string argument);

  /// Declares an option: one character is a short option (-x), longer names are long (--name).
  /// An empty name is ignored; a second declaration replaces the flag.
  void AddOption(const std::string& name, bool takesArgument);

  /// Walks argv[1..argc-1], calling the hooks in command-line order; throws cmdline_exception at
  /// the first error. An empty argument is taken as an operand or as a pending option's value.
  void Parse(int argc, const char* const* argv);

 protected:
  // Option sets are never deleted through an engine pointer.
  ~cmdline_parser() = default;

 private:
  std::map<char, bool> mShortOptions;
  std::map<std::string, bool> mLongOptions;
};

#endif  // UTIL_CMDLINE_H
