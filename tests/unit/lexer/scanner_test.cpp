// Tests of the character scanner: which tokens a line of text becomes, and the exact positioned
// error for every text that starts no valid token.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lexer/lexer.h"
#include "lexer/token_description.h"

namespace {

/// A lexer over an in-memory source named songs.mus.
struct Source {
  explicit Source(const std::string& text) : stream(text), lexer(stream, "songs.mus") {}
  std::istringstream stream;
  Lexer lexer;
};

/// The tokens of `text` up to the first line end (not shown), separated by blanks.
std::string ScanLine(const std::string& text) {
  Source source(text);
  std::string tokens;
  for (;;) {
    const TokenKind kind = source.lexer.GetNextToken();
    if (kind == '\n') return tokens;
    if (!tokens.empty()) tokens += ' ';
    tokens += DescribeToken(source.lexer);
    if (kind == TOKEN_EOF) return tokens;
  }
}

/// The whole text of the error that scanning all of `text` raises.
std::string ErrorOf(const std::string& text) {
  Source source(text);
  try {
    while (source.lexer.GetNextToken() != TOKEN_EOF) {
    }
  } catch (const Lexer::Exception& e) {
    return e.Message();
  }
  return "no error";
}

struct TokenRow {
  std::string input;
  std::string expected;
};

void ExpectTokens(const std::vector<TokenRow>& rows) {
  for (const TokenRow& row : rows) {
    SCOPED_TRACE("input: \"" + EscapeBytes(row.input) + "\"");
    EXPECT_EQ(row.expected, ScanLine(row.input));
  }
}

struct ErrorRow {
  std::string input;
  std::string message;
};

void ExpectErrors(const std::vector<ErrorRow>& rows) {
  for (const ErrorRow& row : rows) {
    SCOPED_TRACE("input: \"" + EscapeBytes(row.input) + "\"");
    EXPECT_EQ(row.message, ErrorOf(row.input));
  }
}

TEST(Scanner, Operators) {
  ExpectTokens({
      {"&()*+,-./:", "& ( ) * + , - . / :"},
      {"[]{|}", "[ ] { | }"},
      {"a<=b", "ident(a) LE ident(b)"},
      {"a< =b", "ident(a) LT = ident(b)"},
      {"a<b", "ident(a) LT ident(b)"},
      {"<", "LT"},
      {"<<", "SHL"},
      {"< <", "LT LT"},
      {"<<<", "SHL LT"},
      {"<<=", "SHL ="},
      {"<=<", "LE LT"},
      {"<;=", "LT"},
      {">", "GT"},
      {">=", "GE"},
      {">>", "SHR"},
      {"> =", "GT ="},
      {">>>", "SHR GT"},
      {"><", "GT LT"},
      {"==", "EQ"},
      {"=", "="},
      {"= =", "= ="},
      {"===", "EQ ="},
      {"=<", "= LT"},
  });
}

TEST(Scanner, BlanksAndComments) {
  ExpectTokens({
      {"a\tb\vc\fd\re f", "ident(a) ident(b) ident(c) ident(d) ident(e) ident(f)"},
      {"x ; comment", "ident(x)"},
      {"x;y", "ident(x)"},
      {"; \"it's\" \\ # ! \x80\xFF\x01", ""},
      {"\"a;b\" c", "string(\"a;b\") ident(c)"},
      {"';'", "number(59)"},
  });
}

TEST(Scanner, IdentifiersAndDirectiveNames) {
  ExpectTokens({
      {"volume _x1 B_2", "ident(volume) ident(_x1) ident(B_2)"},
      {"abc123def", "ident(abc123def)"},
      {"@SEQ_TABLE", "directive(SEQ_TABLE)"},
      {"@SEQ_DATA:x", "directive(SEQ_DATA) : ident(x)"},
      {"@_9 y", "directive(_9) ident(y)"},
  });
}

TEST(Scanner, Strings) {
  ExpectTokens({
      {R"("")", R"(string(""))"},
      {R"("a b" "c")", R"(string("a b") string("c"))"},
      {R"("\0\a\b\f\n\r\t\v")", R"(string("\x00\x07\x08\x0C\x0A\x0D\x09\x0B"))"},
      {R"("\\\"\'\x\1\q\ ")", R"(string("\\\"'x1q "))"},
      // No octal escapes: \0 is a NUL, the digits after it stay digits.
      {R"("\012")", R"(string("\x0012"))"},
      {"\"#'\xE9\x01\"", R"(string("#'\xE9\x01"))"},
      // A backslash at the end of a line continues the string with a line feed in its value.
      {"\"ab\\\ncd\" x", R"(string("ab\x0Acd") ident(x))"},
  });
}

TEST(Scanner, CharacterConstants) {
  ExpectTokens({
      {"'a'", "number(97)"},
      {R"('\'')", "number(39)"},
      {R"('\\')", "number(92)"},
      {R"('\q')", "number(113)"},
      {R"('"')", "number(34)"},
      {R"('\"')", "number(34)"},
      {R"('\0')", "number(0)"},
      {R"('\a')", "number(7)"},
      {R"('\n')", "number(10)"},
      {R"('\v')", "number(11)"},
      {R"('\1')", "number(49)"},
      {"' '", "number(32)"},
      {"'\x7F'", "number(127)"},
      {"'\x80'", "number(-128)"},
      {"'\xE9'", "number(-23)"},
      {"'\xFF'", "number(-1)"},
      // A line end between the quotes is the character 10, and so is an escaped one.
      {"'\n'", "number(10)"},
      {"'\\\n'", "number(10)"},
  });
}

TEST(Scanner, NumbersAndWhatFollowsThem) {
  ExpectTokens({
      {"0", "number(0)"},
      {"00", "number(0)"},
      {"0z", "number(0) ident(z)"},
      {"0a", "number(0) ident(a)"},
      {"012", "number(12)"},
      {"1234567890", "number(1234567890)"},
      {"12ab", "number(12) ident(ab)"},
      {"0b12", "number(1) number(2)"},
      {"0x1f 0X1F 0xAbC", "number(31) number(31) number(2748)"},
      {"0x10g", "number(16) ident(g)"},
      {"0b101 0B11", "number(5) number(3)"},
      {"1.5", "number(1) . number(5)"},
      {"-1", "- number(1)"},
  });
}

TEST(Scanner, NumbersUpToTheSixtyBitLimit) {
  const std::string sixtyZeros(60, '0');
  ExpectTokens({
      // Hexadecimal: sixteen significant digits, the top bit making the value negative.
      {"0xFFFFFFFFFFFFFFF", "number(1152921504606846975)"},
      {"0xFFFFFFFFFFFFFFFF", "number(-1)"},
      {"0x7FFFFFFFFFFFFFFF", "number(9223372036854775807)"},
      {"0x8000000000000000", "number(-9223372036854775808)"},
      {"0x0000FFFFFFFFFFFFFFFF", "number(-1)"},
      // Binary: sixty-one significant digits.
      {"0b1" + sixtyZeros, "number(1152921504606846976)"},
      {"0b" + std::string(61, '1'), "number(2305843009213693951)"},
      {"0b0" + std::string(61, '1'), "number(2305843009213693951)"},
      // Decimal: accepted while the digits before the last stay below 2 to the 60th; from 2 to
      // the 63rd on, the value wraps.
      {"9223372036854775807", "number(9223372036854775807)"},
      {"9223372036854775808", "number(-9223372036854775808)"},
      {"11529215046068469759", "number(-6917529027641081857)"},
      {"011529215046068469759", "number(-6917529027641081857)"},
      {"0000000000000000000000001", "number(1)"},
  });
}

TEST(Scanner, ErrorsAreReportedWithFileLineAndLineText) {
  const std::string sixtyOneZeros(61, '0');
  ExpectErrors({
      {"x #define A\n",
       "songs.mus:1: The # sign of a preprocessor directive must be the first charactor on a "
       "line\nx #define A\n"},
      {"a\nb \\ c\n", "songs.mus:2: Illegal escape sequence\nb \\ c\n"},
      {"x = !y\n", "songs.mus:1: Unknown charactor '!'\nx = !y\n"},
      {"%\n", "songs.mus:1: Unknown charactor '%'\n%\n"},
      {"^\n", "songs.mus:1: Unknown charactor '^'\n^\n"},
      {"~\n", "songs.mus:1: Unknown charactor '~'\n~\n"},
      {"?\n", "songs.mus:1: Unknown charactor '?'\n?\n"},
      {"$\n", "songs.mus:1: Unknown charactor '$'\n$\n"},
      {"`\n", "songs.mus:1: Unknown charactor '`'\n`\n"},
      {"a\x01\n", "songs.mus:1: Unknown charactor '\x01'\na\x01\n"},
      {"\x7F\n", "songs.mus:1: Unknown charactor '\x7F'\n\x7F\n"},
      {"x \"abc\n", "songs.mus:1: Newline in constant\nx \"abc\n"},
      {"\"ab\\\ncd\ne\n", "songs.mus:2: Newline in constant\ncd\n"},
      // The last line without a line feed still shows with one.
      {"x\n\"abc", "songs.mus:2: Newline in constant\n\"abc\n"},
      // A continued string that runs into the extra empty line after the final line feed.
      {"\"abc\\\n", "songs.mus:2: Newline in constant\n\n"},
      // One that runs past the end of the file: no file is open any more.
      {"\"abc\\", ":0: Newline in constant\n"},
      {"''\n", "songs.mus:1: Empty character constant\n''\n"},
      {"'ab'\n", "songs.mus:1: Too many characters in constant\n'ab'\n"},
      {"'a\n", "songs.mus:1: Too many characters in constant\n'a\n"},
      {"'\\ab'\n", "songs.mus:1: Too many characters in constant\n'\\ab'\n"},
      {"0x\n", "songs.mus:1: Hexadecimal constants are illegal.\n0x\n"},
      {"0Xg\n", "songs.mus:1: Hexadecimal constants are illegal.\n0Xg\n"},
      {"0b\n", "songs.mus:1: Binary number constants are illegal.\n0b\n"},
      {"0B2\n", "songs.mus:1: Binary number constants are illegal.\n0B2\n"},
      {"0x10000000000000000\n", "songs.mus:1: Constant too big\n0x10000000000000000\n"},
      {"0b1" + sixtyOneZeros + "\n", "songs.mus:1: Constant too big\n0b1" + sixtyOneZeros + "\n"},
      {"11529215046068469760\n", "songs.mus:1: Constant too big\n11529215046068469760\n"},
      {"18446744073709551615\n", "songs.mus:1: Constant too big\n18446744073709551615\n"},
      {"@ SEQ_TABLE\n", "songs.mus:1: Empty directive name\n@ SEQ_TABLE\n"},
      {"@\n", "songs.mus:1: Empty directive name\n@\n"},
      {"@1\n", "songs.mus:1: Empty directive name\n@1\n"},
      {"@@x\n", "songs.mus:1: Empty directive name\n@@x\n"},
  });
}

// Bytes outside 7-bit ASCII belong to no class, and control characters other than the blanks
// and the line feed start no token; the message quotes the byte itself. (Ctrl-Z is left out:
// it ends the file.)
TEST(Scanner, BytesThatStartNoTokenAreReportedAsThemselves) {
  std::vector<int> bytes;
  for (int byte = 0x00; byte < 0x20; ++byte) {
    if (byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' && byte != '\r' &&
        byte != 0x1A) {
      bytes.push_back(byte);
    }
  }
  for (int byte = 0x7F; byte <= 0xFF; ++byte)
    bytes.push_back(byte);
  for (int byte : bytes) {
    SCOPED_TRACE("byte " + std::to_string(byte));
    const std::string text = std::string("x ") + static_cast<char>(byte) + "\n";
    EXPECT_EQ(
        "songs.mus:1: Unknown charactor '" + std::string(1, static_cast<char>(byte)) + "'\n" + text,
        ErrorOf(text));
  }
}

TEST(Scanner, NulByteStaysInTheWholeMessage) {
  Source source(std::string("a\0b\n", 4));
  ASSERT_EQ(TOKEN_IDENTIFIER, source.lexer.GetNextToken());
  try {
    source.lexer.GetNextToken();
    FAIL() << "a NUL byte was taken as a token";
  } catch (const Lexer::Exception& e) {
    const std::string nul(1, '\0');
    EXPECT_EQ("songs.mus:1: Unknown charactor '" + nul + "'\na" + nul + "b\n", e.Message());
    // what() is a C string: it ends at the NUL, which is why reports print Message().
    EXPECT_EQ("songs.mus:1: Unknown charactor '", std::string(e.what()));
  }
}

TEST(Scanner, HexDigitValues) {
  const std::string digits = "0123456789abcdefABCDEF";
  const int values[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                        11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    SCOPED_TRACE(digits.substr(i, 1));
    EXPECT_EQ(values[i], Lexer::HexDigitValue(digits[i]));
  }
}

TEST(ScannerDeathTest, HexDigitValueAssertsADigit) {
#ifdef NDEBUG
  GTEST_SKIP() << "assertions are compiled out";
#endif
  EXPECT_DEATH(Lexer::HexDigitValue('g'), "isxdigit\\( c \\)");
}

}  // namespace
