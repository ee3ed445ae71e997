// Character classes of the source language: the 7-bit ones, whatever locale the program runs
// under. Bytes 0x80 to 0xFF belong to no class. One table lookup per test, as the scanner tests
// every character it reads.
#ifndef LEXER_CHAR_CLASS_H
#define LEXER_CHAR_CLASS_H

#include <array>

namespace char_class {

enum : unsigned char {
  kBlank = 1,  // space, tab, vertical tab, form feed, carriage return (never the newline)
  kDigit = 2,
  kLetter = 4,
  kUnderscore = 8,
  kHexLetter = 16,
};

constexpr std::array<unsigned char, 256> MakeTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    unsigned char bits = 0;
    if (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r') bits |= kBlank;
    if (c >= '0' && c <= '9') bits |= kDigit;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) bits |= kLetter;
    if (c == '_') bits |= kUnderscore;
    if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) bits |= kHexLetter;
    table[static_cast<std::size_t>(c)] = bits;
  }
  return table;
}

constexpr std::array<unsigned char, 256> kTable = MakeTable();

constexpr bool Has(char c, unsigned bits) {
  return (kTable[static_cast<unsigned char>(c)] & bits) != 0;
}

}  // namespace char_class

constexpr bool IsBlank(char c) {
  return char_class::Has(c, char_class::kBlank);
}
constexpr bool IsDigit(char c) {
  return char_class::Has(c, char_class::kDigit);
}
constexpr bool IsLetter(char c) {
  return char_class::Has(c, char_class::kLetter);
}
constexpr bool IsNameStart(char c) {
  return char_class::Has(c, char_class::kLetter | char_class::kUnderscore);
}
constexpr bool IsNameChar(char c) {
  return char_class::Has(c, char_class::kLetter | char_class::kUnderscore | char_class::kDigit);
}
constexpr bool IsHexDigit(char c) {
  return char_class::Has(c, char_class::kDigit | char_class::kHexLetter);
}

#endif  // LEXER_CHAR_CLASS_H
