// Program-level failure (an unreadable input, unwritable output, no current directory);
// reported after the program name.
#ifndef SEQCONV_MY_EXCEPTION_H
#define SEQCONV_MY_EXCEPTION_H

#include <exception>
#include <string>

class my_exception : public std::exception {
 public:
  explicit my_exception(const std::string& message) : mMessage(message) {}
  const char* what() const noexcept override { return mMessage.c_str(); }

 private:
  std::string mMessage;
};

#endif  // SEQCONV_MY_EXCEPTION_H
