// The run of name characters found sixteen at a time must end exactly where the test of one
// character at a time ends it, for every byte, wherever it stands in a chunk or after one.
#include "lexer/char_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SkipNameChars, EndsWhereTheFirstByteThatIsNoNameCharacterStands) {
  const std::size_t kLength = 40;  // two whole chunks and a tail for the byte-wise loop
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    for (std::size_t at = 0; at < kLength; ++at) {
      // Exactly the line, so that a sanitizer sees any read past its end.
      std::vector<char> line(kLength, 'a');
      line[at] = c;
      line.push_back('\n');
      line.shrink_to_fit();
      const char* const begin = line.data();
      const std::size_t expected = IsNameChar(c) ? kLength : at;
      ASSERT_EQ(expected,
                static_cast<std::size_t>(SkipNameChars(begin, begin + line.size()) - begin))
          << "byte " << byte << " at " << at;
    }
  }
}

TEST(SkipNameChars, TakesEveryNameCharacterAndReadsNoFurtherThanTheEnd) {
  const std::string names = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
  const std::string line = names + ":\n";
  EXPECT_EQ(line.data() + names.size(), SkipNameChars(line.data(), line.data() + line.size()));
  // With the end right after the ':', no sixteen bytes from the last chunk start fit.
  const std::string shortLine = "NAME_17:\n";
  EXPECT_EQ(shortLine.data() + 7,
            SkipNameChars(shortLine.data(), shortLine.data() + shortLine.size()));
}

}  // namespace
