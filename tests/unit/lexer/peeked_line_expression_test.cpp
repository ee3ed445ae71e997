// Tests of expressions read straight from a peeked line: whenever that path takes an expression,
// the token path must give the same value and stop at the same token; whatever it declines, the
// token path reads (and reports) itself. Each row runs both over the same source.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "lexer/expression.h"
#include "lexer/lexer.h"

namespace {

const char kDefinitions[] =
    "#define ONE 1\n"
    "#define SUM (ONE + 2)\n"
    "#define PAIR 1, 2\n"
    "#define EMPTY\n"
    "#define NAME undefined_name\n"
    "#define TEXT \"text\"\n"
    "#define OPEN (3 +\n"
    "#define COMMA ,\n"
    "#define BIG 0x7FFFFFFFFFFFFFFF\n"
    "#define LOOSE 1 + 2\n"
    "#define GROUPS (1) + (2)\n"
    "0\n";  // a token to stop at, so that the next line can be peeked

/// A lexer that has read the definitions and stands before `line`.
struct Source {
  explicit Source(const std::string& line)
      : stream(kDefinitions + line + "\n"), lexer(stream, "expr.mus") {
    while (lexer.GetNextToken() != TOKEN_NUMBER) {
    }
    EXPECT_EQ('\n', lexer.GetNextToken());
  }
  std::istringstream stream;
  Lexer lexer;
};

struct Outcome {
  bool ok = false;
  std::int64_t value = 0;
  TokenKind next = 0;
  bool nextFromBody = false;
  std::size_t expanded = 0;
};

Outcome FromLine(const std::string& line) {
  Source source(line);
  const std::string_view peeked = source.lexer.PeekLine();
  Outcome outcome;
  const std::size_t kCapacity = 1024;
  Lexer::LineToken tokens[kCapacity];
  tokens[0] = Lexer::LineToken{0, ',', false};
  std::size_t at = 1;
  outcome.ok = source.lexer.ScanPeekedLine(peeked, 0, tokens, kCapacity, outcome.expanded) &&
               Lexer::EvaluateLineTokens(tokens, at, outcome.value);
  if (outcome.ok) {
    outcome.next = tokens[at].kind;
    outcome.nextFromBody = tokens[at].fromBody;
  }
  return outcome;
}

Outcome FromTokens(const std::string& line) {
  Source source(line);
  Outcome outcome;
  try {
    outcome.value = ExpressionEvaluator().Evaluate(source.lexer, nullptr, nullptr, nullptr);
    outcome.next = source.lexer.GetTokenKind();
    outcome.ok = true;
  } catch (const Lexer::Exception&) {
  }
  return outcome;
}

TEST(PeekedLineExpression, TakesWhatTheTokensGiveAndDeclinesTheRest) {
  struct Row {
    std::string line;
    bool taken;  // by the line path
  };
  const Row rows[] = {
      // Numbers, operators, precedence, bit sets, macros of numbers and expressions.
      {"1 + 2 * 3, 4", true},
      {"(1 + 2) * 3 ; comment", true},
      {"0x7F & 0X1f | 010, 5", true},
      {"ONE << 4 >> 1 <= 8 == 1", true},
      {"-SUM * --2 / 3 - +1", true},
      {"{0-3, 5} + {7}", true},
      {"EMPTY 5 EMPTY + EMPTY 1", true},
      {"BIG + 1", true},
      {"0xFFFFFFFFFFFFFFF", true},
      {"123456789012345678", true},
      {"1 2", true},        // the expression ends before the 2; the caller sees no ',' there
      {"OPEN 4)", true},    // a body and the line make one expression
      {"1 COMMA 2", true},  // ends at a ',' from a body: the caller sees none in the line
      {"PAIR", true},       // as does a body that runs on past the expression
      // Bodies read as one operand only where parentheses hold all of them.
      {"3 * SUM", true},
      {"3 * LOOSE", true},
      {"3 * GROUPS", true},
      {"{ONE}", true},
      {std::string(200, '(') + "SUM" + std::string(200, ')'), true},
      // Declined: what the token path must read or report itself.
      {"{SUM}", false},  // parentheses where a bit number must stand
      {std::string(250, '(') + "SUM" + std::string(250, ')'), false},  // nested too deeply
      {std::string(256, '(') + "SUM" + std::string(256, ')'), false},  // with its own
      {"1" + std::string(1100, '+') + "1", false},  // more tokens than there is room for
      {"NAME + 1", false},                          // a name that is no macro, from a body
      {"undefined + 1", false},                     // or from the line
      {"TEXT", false},                              // a string
      {"1 / 0", false},                             // an error
      {"(1 + 2", false},                            // an error at the line end
      {"0b101", false},                             // binary numbers go the general way
      {"0x", false},                                // as do broken ones
      {"0x1234567890ABCDEF", false},
      {"1234567890123456789", false},
      {"\"s\"", false},
      {"@DIR", false},
      {"", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    const Outcome line = FromLine(row.line);
    const Outcome tokens = FromTokens(row.line);
    if (line.ok) {
      EXPECT_TRUE(tokens.ok);
      EXPECT_EQ(tokens.value, line.value);
      EXPECT_EQ(tokens.next, line.next);
    }
    EXPECT_EQ(row.taken, line.ok);
  }
}

TEST(PeekedLineExpression, TellsTheLinesOwnTokensFromTheBodies) {
  EXPECT_FALSE(FromLine("1, 2").nextFromBody);
  EXPECT_TRUE(FromLine("1 COMMA 2").nextFromBody);
  EXPECT_TRUE(FromLine("PAIR").nextFromBody);
}

TEST(PeekedLineExpression, CountsTheMacroTokensItUses) {
  EXPECT_EQ(0u, FromLine("1 + 2").expanded);
  EXPECT_EQ(1u, FromLine("ONE").expanded);
  EXPECT_EQ(6u, FromLine("SUM + ONE + EMPTY 1").expanded);
}

}  // namespace
