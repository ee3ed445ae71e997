// Character classes of the source language: the 7-bit ones, whatever locale the program runs
// under. Bytes 0x80 to 0xFF belong to no class.
#ifndef LEXER_CHAR_CLASS_H
#define LEXER_CHAR_CLASS_H

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsNameStart(char c) { return IsLetter(c) || c == '_'; }
inline bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }
inline bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

#endif  // LEXER_CHAR_CLASS_H
