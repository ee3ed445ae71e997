// Tests of the lexer's token interface: the snapshot of the current token, the shared checks
// ExpectToken and CheckRange with their exact messages, token comparison for macro bodies, the
// end of input, and the assertions that guard the value accessors.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "lexer/lexer.h"
#include "lexer/token_description.h"

namespace {

const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

/// A lexer over an in-memory source named songs.mus.
struct Source {
  explicit Source(const std::string& text) : stream(text), lexer(stream, "songs.mus") {}
  std::istringstream stream;
  Lexer lexer;
};

/// The first token of `text`, as GetTokenInfo gives it.
Lexer::TokenInfo FirstToken(const std::string& text) {
  Source source(text);
  source.lexer.GetNextToken();
  return source.lexer.GetTokenInfo();
}

std::string DescribeInfo(const Lexer::TokenInfo& info) {
  return std::to_string(info.kind) + " text \"" + EscapeBytes(info.text) + "\" number " +
         std::to_string(info.numberValue) + " string \"" + EscapeBytes(info.stringValue) + "\"";
}

TEST(Token, InfoIsASnapshotOfTheCurrentToken) {
  struct Row {
    std::string input;
    Lexer::TokenInfo expected;
  };
  const Row rows[] = {
      {"42", {TOKEN_NUMBER, "4", 42, ""}},
      {"'x'", {TOKEN_NUMBER, "'", 120, ""}},
      {"volume", {TOKEN_IDENTIFIER, "v", 0, "volume"}},
      {"\"a\\tb\"", {TOKEN_STRING, "\"", 0, "a\tb"}},
      {"@SEQ_DATA", {TOKEN_DIRECTIVE, "@", 0, "SEQ_DATA"}},
      {"<=", {TOKEN_LE, "<", 0, ""}},
      {">>", {TOKEN_SHR, ">", 0, ""}},
      {"==", {TOKEN_EQ, "=", 0, ""}},
      {"(", {'(', "(", 0, ""}},
      {"; only a comment", {'\n', "\n", 0, ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(DescribeInfo(row.expected), DescribeInfo(FirstToken(row.input)));
  }
}

TEST(Token, BeforeTheFirstTokenTheCurrentKindIsALineEnd) {
  Source source("x\n");
  EXPECT_EQ(DescribeInfo({'\n', "", 0, ""}), DescribeInfo(source.lexer.GetTokenInfo()));
  EXPECT_EQ("songs.mus:0 \"\"", DescribePosition(source.lexer));
}

// The end of input changes the kind only: the text stays that of the last token read.
TEST(Token, EndOfInputIsRepeatedAndKeepsTheLastText) {
  Source source("x");
  std::vector<std::string> tokens;
  for (int i = 0; i < 5; ++i) {
    source.lexer.GetNextToken();
    tokens.push_back(DescribeToken(source.lexer) + " \"" +
                     EscapeBytes(source.lexer.GetTokenText()) + "\"");
  }
  const std::vector<std::string> expected = {"ident(x) \"x\"", "NL \"\\x0A\"", "NL \"\\x0A\"",
                                             "EOF \"\\x0A\"", "EOF \"\\x0A\""};
  EXPECT_EQ(expected, tokens);
}

TEST(Token, FailOnEndThrowsInsteadOfDeliveringEndOfInput) {
  Source source("x\n");
  source.lexer.SetFailOnEnd(true);
  std::string tokens;
  try {
    for (int i = 0; i < 10; ++i) {
      source.lexer.GetNextToken();
      tokens += DescribeToken(source.lexer) + " ";
    }
    FAIL() << "no Lexer::Failure after " << tokens;
  } catch (const Lexer::Failure&) {
  }
  // The line end, the extra empty line's end and the file end come first.
  EXPECT_EQ("ident(x) NL NL NL ", tokens);

  // Cleared again, the end is the token TOKEN_EOF.
  source.lexer.SetFailOnEnd(false);
  EXPECT_EQ(TOKEN_EOF, source.lexer.GetNextToken());
}

/// The message ExpectToken(',', "comma") gives after the first token of `text`, or "passed".
std::string ExpectCommaAfterFirstToken(const std::string& text, int tokensToRead = 1) {
  Source source(text);
  for (int i = 0; i < tokensToRead; ++i)
    source.lexer.GetNextToken();
  try {
    source.lexer.ExpectToken(',', "comma");
    return "passed";
  } catch (const Lexer::Exception& e) {
    return e.Message();
  }
}

TEST(Token, ExpectTokenQuotesOnlyTheFirstCharacter) {
  struct Row {
    std::string input;
    std::string message;
  };
  const Row rows[] = {
      {"foo bar", "songs.mus:1: Expected comma, but found \"f\"\nfoo bar\n"},
      {"\"abc\"", "songs.mus:1: Expected comma, but found \"\"\"\n\"abc\"\n"},
      {"1234", "songs.mus:1: Expected comma, but found \"1\"\n1234\n"},
      {"0x1F", "songs.mus:1: Expected comma, but found \"0\"\n0x1F\n"},
      {"'a'", "songs.mus:1: Expected comma, but found \"'\"\n'a'\n"},
      {"@SEQ_DATA", "songs.mus:1: Expected comma, but found \"@\"\n@SEQ_DATA\n"},
      {"<=", "songs.mus:1: Expected comma, but found \"<\"\n<=\n"},
      {">>", "songs.mus:1: Expected comma, but found \">\"\n>>\n"},
      {"==", "songs.mus:1: Expected comma, but found \"=\"\n==\n"},
      {"  ; comment", "songs.mus:1: Expected comma, but found \"\n\"\n  ; comment\n"},
      {", x", "passed"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(row.message, ExpectCommaAfterFirstToken(row.input));
  }
}

TEST(Token, ExpectTokenAfterTheEndQuotesTheLastTextRead) {
  // x, its line end, the file end, then TOKEN_EOF: the text is still the line feed, and no
  // file is open to name.
  EXPECT_EQ(":0: Expected comma, but found \"\n\"\n", ExpectCommaAfterFirstToken("x", 4));
}

TEST(Token, ExpectTokenComparesKindsNotTexts) {
  Source source("<= 1 x");
  source.lexer.GetNextToken();
  EXPECT_NO_THROW(source.lexer.ExpectToken(TOKEN_LE, "less or equal"));
  EXPECT_THROW(source.lexer.ExpectToken(TOKEN_LT, "less"), Lexer::Exception);
  EXPECT_THROW(source.lexer.ExpectToken('<', "less"), Lexer::Exception);
  source.lexer.GetNextToken();
  EXPECT_NO_THROW(source.lexer.ExpectToken(TOKEN_NUMBER, "number"));
  source.lexer.GetNextToken();
  EXPECT_NO_THROW(source.lexer.ExpectToken(TOKEN_IDENTIFIER, "name"));
}

TEST(Token, CheckRangeMessagesAndBounds) {
  struct Row {
    std::string name;
    std::int64_t value, min, max;
    std::string message;
  };
  const Row rows[] = {
      {"level", -1, 0, 127, "level is out of range, 0 <= -1 <= 127 not satisfied."},
      {"level", 128, 0, 127, "level is out of range, 0 <= 128 <= 127 not satisfied."},
      {"level", 0, 0, 127, ""},
      {"level", 127, 0, 127, ""},
      {"bank number", 65536, 0, 65535,
       "bank number is out of range, 0 <= 65536 <= 65535 not satisfied."},
      {"n", kMin, kMin, kMax, ""},
      {"n", kMax, kMin, kMax, ""},
      {"n", kMin, -1, 0, "n is out of range, -1 <= -9223372036854775808 <= 0 not satisfied."},
      {"n", -1, 0, kMax, "n is out of range, 0 <= -1 <= 9223372036854775807 not satisfied."},
      {"empty", 0, 1, -1, "empty is out of range, 1 <= 0 <= -1 not satisfied."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + " " + std::to_string(row.value));
    Source source("x\n");
    source.lexer.GetNextToken();
    std::string message;
    try {
      source.lexer.CheckRange(row.name, row.value, row.min, row.max);
    } catch (const Lexer::Exception& e) {
      message = e.Message();
    }
    EXPECT_EQ(row.message.empty() ? "" : "songs.mus:1: " + row.message + "\nx\n", message);
  }
}

TEST(Token, SixteenHexDigitsFAreMinusOneAndOutOfAnUnsignedRange) {
  Source source("0xFFFFFFFFFFFFFFFF\n");
  ASSERT_EQ(TOKEN_NUMBER, source.lexer.GetNextToken());
  try {
    source.lexer.CheckRange("bank number", source.lexer.GetNumberValue(), 0, 65535);
    FAIL() << "accepted";
  } catch (const Lexer::Exception& e) {
    EXPECT_EQ(
        "songs.mus:1: bank number is out of range, 0 <= -1 <= 65535 not satisfied.\n"
        "0xFFFFFFFFFFFFFFFF\n",
        e.Message());
  }
}

TEST(Token, SameTokenComparesKindsAndValuesButNeverTexts) {
  struct Row {
    std::string a, b;
    bool same;
  };
  const Row rows[] = {
      {"16", "0x10", true},
      {"16", "0b10000", true},
      {"65", "'A'", true},
      {"16", "17", false},
      {"\"a\\tb\"", "\"a\tb\"", true},
      {"\"\\q\\'\"", "\"q'\"", true},
      {"\"ab\"", "\"aB\"", false},
      {"\"ab\"", "ab", false},
      {"ab", "ab", true},
      {"ab", "Ab", false},
      {"@SEQ_DATA", "@SEQ_DATA", true},
      {"@SEQ_DATA", "@SEQ_TABLE", false},
      {"@ab", "ab", false},
      {"<=", "<=", true},
      {"<", "<=", false},
      {"<<", ">>", false},
      {"(", ")", false},
      {"+", "+", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.a + " vs " + row.b);
    EXPECT_EQ(row.same, IsSameToken(FirstToken(row.a), FirstToken(row.b)));
    EXPECT_EQ(row.same, IsSameToken(FirstToken(row.b), FirstToken(row.a)));
  }
}

TEST(Token, SameTokenLooksOnlyAtTheValueThatTheKindHas) {
  // Texts are never compared; a kind without a value compares equal whatever its fields hold.
  EXPECT_TRUE(IsSameToken({TOKEN_IDENTIFIER, "a", 1, "ab"}, {TOKEN_IDENTIFIER, "z", 2, "ab"}));
  EXPECT_TRUE(IsSameToken({TOKEN_NUMBER, "1", 7, "x"}, {TOKEN_NUMBER, "0", 7, "y"}));
  EXPECT_TRUE(IsSameToken({'+', "+", 5, "p"}, {'+', "-", 6, "q"}));
  EXPECT_FALSE(IsSameToken({TOKEN_STRING, "\"", 0, "a"}, {TOKEN_DIRECTIVE, "@", 0, "a"}));
}

TEST(TokenDeathTest, ValueAccessorsAssertTheKind) {
#ifdef NDEBUG
  GTEST_SKIP() << "assertions are compiled out";
#endif
  Source identifier("abc\n");
  identifier.lexer.GetNextToken();
  EXPECT_DEATH(identifier.lexer.GetNumberValue(), "IsNumberValueAvailable\\(\\)");

  Source number("12\n");
  number.lexer.GetNextToken();
  EXPECT_DEATH(number.lexer.GetStringValue(), "IsStringValueAvailable\\(\\)");

  Source lineEnd("\n");
  lineEnd.lexer.GetNextToken();
  EXPECT_DEATH(lineEnd.lexer.GetNumberValue(), "IsNumberValueAvailable\\(\\)");
  EXPECT_DEATH(lineEnd.lexer.GetStringValue(), "IsStringValueAvailable\\(\\)");
}

}  // namespace
