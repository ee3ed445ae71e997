// Character classes of the source language: the 7-bit ones, whatever locale the program runs
// under. Bytes 0x80 to 0xFF belong to no class. One table lookup per test, as the scanner tests
// every character it reads.
#ifndef LEXER_CHAR_CLASS_H
#define LEXER_CHAR_CLASS_H

#include <array>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

/// The end of the run of name characters at `p`. `end` bounds what may be read, and the run
/// must end before it (a line ends with '\n'). Names are read wherever a line is, most of them
/// longer than a few characters: sixteen at a time where the line has room, instead of a test
/// and a branch per character that mispredicts where the name ends.
inline const char* SkipNameChars(const char* p, const char* end) {
#if defined(__SSE2__)
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Bytes from 0x80 up compare as negative: no range below takes them. Setting bit 5 makes
    // capitals small letters and no other byte a letter.
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(folded, _mm_set1_epi8('a' - 1)),
                                         _mm_cmplt_epi8(folded, _mm_set1_epi8('z' + 1)));
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
    const __m128i name =
        _mm_or_si128(_mm_or_si128(letter, digit), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
    const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(name)) & 0xFFFFu;
    if (others != 0) return p + __builtin_ctz(others);
  }
#else
  static_cast<void>(end);
#endif
  while (IsNameChar(*p))
    ++p;
  return p;
}

#endif  // LEXER_CHAR_CLASS_H
