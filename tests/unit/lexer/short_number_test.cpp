// Short numbers are read eight bytes at a time where the text has room, digit by digit where
// it has not: both must give what counting the digits one by one gives, whatever follows the
// number and however close the end of the text is.
#include "lexer/short_number.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The plain reading: decimal digits up to the first other byte; longer than 18 is no short
// number.
const char* CountDigits(const char* p, std::uint64_t& value) {
  const char* const start = p;
  std::uint64_t decimal = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    decimal = decimal * 10 + static_cast<unsigned>(*p - '0');
  if (p - start > 18) return nullptr;
  value = decimal;
  return p;
}

TEST(ScanShortNumber, ReadsEveryWidthBeforeEveryKindOfByte) {
  std::vector<std::string> numbers;
  for (int n = 0; n < 100000; n += n < 2000 ? 1 : 7)
    numbers.push_back(std::to_string(n));
  for (const char* n : {"1234567", "12345678", "123456789", "999999999999999999",
                        "1000000000000000000", "007", "0000000", "00000001", "09"}) {
    numbers.push_back(n);
  }
  const std::string followers[] = {",", " ", "\n", ";",    ")",    "/",  ":",  "@",
                                   "A", "_", "x",  "\x80", "\xff", "\t", "9\n"};
  for (const std::string& number : numbers) {
    for (const std::string& after : followers) {
      // With room to read eight bytes, and with the text ending right after the number's end.
      for (const std::string& rest : {std::string(", 1, 2, 3\n"), std::string("\n")}) {
        const std::string text = number + after + rest;
        if (text[0] == '0' && (text[1] | 0x20) == 'x') continue;  // hexadecimal, below
        // A buffer of exactly the text, so that a sanitizer sees any read past its end.
        const std::vector<char> buffer(text.begin(), text.end());
        const char* const end = buffer.data() + buffer.size();
        std::uint64_t expected = 0, got = 0;
        const char* const want = CountDigits(buffer.data(), expected);
        const char* const found = ScanShortNumber(buffer.data(), end, got);
        const auto offset = [&buffer](const char* q) {
          return q == nullptr ? std::ptrdiff_t{-1} : q - buffer.data();
        };
        ASSERT_EQ(offset(want), offset(found)) << "in \"" << text << "\"";
        if (want != nullptr) {
          ASSERT_EQ(expected, got) << "in \"" << text << "\"";
        }
      }
    }
  }
}

TEST(ScanShortNumber, LeavesOtherBasesToTheirOwnReading) {
  const std::string hex = "0x1Fz, 1, 2, 3\n";
  std::uint64_t value = 0;
  EXPECT_EQ(hex.data() + 4, ScanShortNumber(hex.data(), hex.data() + hex.size(), value));
  EXPECT_EQ(31u, value);
  const std::string binary = "0b101, 1, 2, 3\n";
  EXPECT_EQ(nullptr, ScanShortNumber(binary.data(), binary.data() + binary.size(), value));
}

}  // namespace
