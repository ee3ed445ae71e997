// Readable descriptions of tokens and positions, so that lexer tests compare whole strings.
#ifndef TESTS_UNIT_LEXER_TOKEN_DESCRIPTION_H
#define TESTS_UNIT_LEXER_TOKEN_DESCRIPTION_H

#include <cstdio>
#include <string>

#include "lexer/lexer.h"

/// Bytes as a C-like literal body: printable ASCII as is (backslash and double quote escaped),
/// everything else as \xNN, so that a newline, a carriage return or a NUL is visible.
inline std::string EscapeBytes(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    }
  }
  return out;
}

/// The current token: ident(name), number(value), string("contents"), directive(name), the
/// operator names LT LE GT GE EQ SHL SHR, NL, EOF, or a single-character token as itself.
/// A kind that is none of these shows as kind(N), so that e.g. a '<' of kind 60 cannot pass
/// for LT.
inline std::string DescribeToken(const Lexer& lexer) {
  const TokenKind kind = lexer.GetTokenKind();
  switch (kind) {
    case TOKEN_IDENTIFIER:
      return "ident(" + lexer.GetStringValue() + ")";
    case TOKEN_NUMBER:
      return "number(" + std::to_string(lexer.GetNumberValue()) + ")";
    case TOKEN_STRING:
      return "string(\"" + EscapeBytes(lexer.GetStringValue()) + "\")";
    case TOKEN_DIRECTIVE:
      return "directive(" + lexer.GetStringValue() + ")";
    case TOKEN_LT:
      return "LT";
    case TOKEN_LE:
      return "LE";
    case TOKEN_GT:
      return "GT";
    case TOKEN_GE:
      return "GE";
    case TOKEN_EQ:
      return "EQ";
    case TOKEN_SHL:
      return "SHL";
    case TOKEN_SHR:
      return "SHR";
    case TOKEN_EOF:
      return "EOF";
    case '\n':
      return "NL";
    default:
      break;
  }
  const std::string singles = "&()*+,-./:=[]{|}";
  if (kind > 0 && kind < 128 && singles.find(static_cast<char>(kind)) != std::string::npos) {
    return std::string(1, static_cast<char>(kind));
  }
  return "kind(" + std::to_string(kind) + ")";
}

/// Where the lexer stands: file name, line number and the escaped line text.
inline std::string DescribePosition(const Lexer& lexer) {
  return lexer.GetFileName() + ":" + std::to_string(lexer.GetLineNumber()) + " \"" +
         EscapeBytes(lexer.GetLineText()) + "\"";
}

#endif  // TESTS_UNIT_LEXER_TOKEN_DESCRIPTION_H
