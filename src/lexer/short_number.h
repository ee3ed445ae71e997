// Numbers short enough that they can never reach the scanner's 60-bit limit: decimal ones of up
// to 18 digits (leading zeros included) and hexadecimal ones of 1 to 15 digits after the 0x.
// The scanner's fast path and the table reader's plain lines take exactly these, read straight
// from a line; every other number (binary, longer, 0x without digits) is left to the scanner's
// general path, which reports what is wrong with it.
#ifndef LEXER_SHORT_NUMBER_H
#define LEXER_SHORT_NUMBER_H

#include <cstdint>
#include <cstring>

#include "lexer/char_class.h"

namespace short_number {

const long kDecimalDigits = 18;
const long kHexDigits = 15;

inline unsigned HexValue(char c) {
  return c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

inline const char* ScanHex(const char* digits, std::uint64_t& value) {
  std::uint64_t hex = 0;
  const char* p = digits;
  for (; IsHexDigit(*p); ++p)
    hex = hex * 16 + HexValue(*p);
  if (p == digits || p - digits > kHexDigits) return nullptr;
  value = hex;
  return p;
}

}  // namespace short_number

/// The short number at `p`, a digit, in text that ends with a character that is no digit (a
/// line's '\n') before `end`, which bounds what may be read: its value and the position after
/// it, or null when it is no short number.
[[gnu::always_inline]] inline const char* ScanShortNumber(const char* p, const char* end,
                                                          std::uint64_t& value) {
  if (p[0] == '0' && (p[1] | 0x20) == 'x') return short_number::ScanHex(p + 2, value);
  if (p[0] == '0' && (p[1] | 0x20) == 'b') return nullptr;
  if (end - p >= 8) {
    // Up to seven digits from eight bytes at once, without a branch per digit that mispredicts
    // where a number of scattered width ends. '0' to '9' become 0 to 9; any other byte becomes
    // more than 9 and gets its top bit set by adding 0x76 (or had it already). Carries out of
    // such a byte only reach the bytes after it.
    std::uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    const std::uint64_t digits = chunk ^ 0x3030303030303030ull;
    const std::uint64_t others =
        ((digits + 0x7676767676767676ull) | digits) & 0x8080808080808080ull;
    if (others != 0) {
      const unsigned count = static_cast<unsigned>(__builtin_ctzll(others)) / 8;  // p[0] is one
      // The digits moved to the top, the first one highest, then combined in pairs, fours and
      // eights.
      std::uint64_t x = digits << (64 - 8 * count);
      x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFull;
      x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFull;
      x = (x * 10000 + (x >> 32)) & 0xFFFFFFFFull;
      value = x;
      return p + count;
    }
  }
  const char* const start = p;
  std::uint64_t decimal = static_cast<unsigned>(*p - '0');
  while (IsDigit(*++p))
    decimal = decimal * 10 + static_cast<unsigned>(*p - '0');
  if (p - start > short_number::kDecimalDigits) return nullptr;
  value = decimal;
  return p;
}

#endif  // LEXER_SHORT_NUMBER_H
