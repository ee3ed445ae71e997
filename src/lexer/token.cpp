// The lexer's token interface: accessors of the current token, the checks that callers share,
// and the positioned error.
#include <cassert>

#include "lexer/lexer.h"

Lexer::Exception::Exception(const std::string& message, const Lexer& lexer)
    : Exception(message, lexer.GetFileName(), lexer.GetLineNumber(), lexer.GetLineText()) {}

Lexer::Exception::Exception(const std::string& message, const std::string& fileName, int lineNumber,
                            const std::string& lineText) {
  mMessage = fileName;
  mMessage += ':';
  mMessage += std::to_string(lineNumber);
  mMessage += ": ";
  mMessage += message;
  mMessage += '\n';
  mMessage += lineText;
}

Lexer::TokenInfo Lexer::GetTokenInfo() const {
  TokenInfo info;
  info.kind = mToken.kind;
  info.text = mToken.text;
  if (IsNumberValueAvailable()) info.numberValue = mToken.numberValue;
  if (IsStringValueAvailable()) info.stringValue = mToken.stringValue;
  return info;
}

std::string Lexer::GetStringValue() const {
  return StringValue();
}

const std::string& Lexer::StringValue() const {
  assert(IsStringValueAvailable());
  return mToken.stringValue;
}

std::string Lexer::GetFileName() const {
  return mTop ? mTop->mFileName : std::string();
}

std::string Lexer::GetLineText() const {
  return mTop ? std::string(mTop->mLine) : std::string();
}

void Lexer::Fail(const std::string& message) const {
  throw Exception(message, *this);
}

void Lexer::FailSyntax() const {
  Fail("Syntax error \"" + mToken.text + "\"");
}

void Lexer::FailExpected(const std::string& what) const {
  Fail("Expected " + what + ", but found \"" + mToken.text + "\"");
}

void Lexer::FailRange(const std::string& name, std::int64_t value, std::int64_t min,
                      std::int64_t max) const {
  Fail(name + " is out of range, " + std::to_string(min) + " <= " + std::to_string(value) +
       " <= " + std::to_string(max) + " not satisfied.");
}

bool IsSameToken(const Lexer::TokenInfo& a, const Lexer::TokenInfo& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case TOKEN_NUMBER:
      return a.numberValue == b.numberValue;
    case TOKEN_IDENTIFIER:
    case TOKEN_STRING:
    case TOKEN_DIRECTIVE:
      return a.stringValue == b.stringValue;
    default:
      return true;
  }
}
