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

// The one-pass evaluation of a single field; `next` is what ends it, as the tokens would see it.
Outcome FromField(const std::string& line) {
  Source source(line);
  const std::string_view peeked = source.lexer.PeekLine();
  Outcome outcome;
  const char* p = peeked.data();
  outcome.ok = source.lexer.EvaluatePeekedField(p, outcome.value, outcome.expanded);
  if (outcome.ok) outcome.next = *p == ',' ? ',' : '\n';
  return outcome;
}

TEST(PeekedLineExpression, TakesWhatTheTokensGiveAndDeclinesTheRest) {
  struct Row {
    std::string line;
    bool taken;       // by the token array
    bool fieldTaken;  // by the one-pass evaluation of a field
  };
  const Row rows[] = {
      // Numbers, operators, precedence, bit sets, macros of numbers and expressions.
      {"1 + 2 * 3, 4", true, true},
      {"(1 + 2) * 3 ; comment", true, true},
      {"0x7F & 0X1f | 010, 5", true, true},
      {"1 - 2 - 3 * 4 / 5 + 6", true, true},
      {"1 | 6 & 3 << 1 + 1 - 2 * 3", true, true},
      {"7 >> 1 << 2 >> 1", true, true},
      {"-(2 + 3) * -(-4) / -+-2 - -(1)", true, true},
      {"8 / -3 + -8 / 3", true, true},
      {"1 << 70 | -1 >> 70", true, true},
      {"(-BIG - 1) / -1 + BIG * BIG", true, true},
      {"-SUM * --2 / 3 - +1", true, true},
      {"{0-3, 5} + {7} * { 9 - 8 }", true, true},
      {"BIG + 1", true, true},
      {"0xFFFFFFFFFFFFFFF", true, true},
      {"123456789012345678", true, true},
      {"ONE << 4 >> 1 <= 8 == 1", true, false},  // comparisons group their own way
      {"EMPTY 5 EMPTY + EMPTY 1", true, false},
      {"1 2", true, false},        // the expression ends before the 2; the caller sees no ','
      {"OPEN 4)", true, false},    // a body and the line make one expression
      {"1 COMMA 2", true, false},  // ends at a ',' from a body: the caller sees none in the line
      {"PAIR", true, false},       // as does a body that runs on past the expression
      // Bodies read as one operand only where parentheses hold all of them.
      {"3 * SUM", true, true},
      {"3 * LOOSE", true, false},
      {"3 * GROUPS", true, false},
      {"{ONE}", true, false},
      {std::string(20, '(') + "SUM" + std::string(20, ')'), true, true},
      {std::string(200, '(') + "SUM" + std::string(200, ')'), true, false},
      // Declined: what the token path must read or report itself.
      {"{SUM}", false, false},  // parentheses where a bit number must stand
      {"{64}", false, false},
      {std::string(250, '(') + "SUM" + std::string(250, ')'), false, false},  // nested too deeply
      {std::string(256, '(') + "SUM" + std::string(256, ')'), false, false},  // with its own
      {"1" + std::string(1100, '+') + "1", false, true},  // more tokens than an array holds
      {"NAME + 1", false, false},                         // a name that is no macro, from a body
      {"undefined + 1", false, false},                    // or from the line
      {"TEXT", false, false},                             // a string
      {"1 / 0", false, false},                            // an error
      {"5 / (2 - 2)", false, false},
      {"(1 + 2", false, false},  // an error at the line end
      {"1 + 2)", true, false},   // the expression ends at the ')'
      {"1 +", false, false},
      {"0b101", false, false},  // binary numbers go the general way
      {"0x", false, false},     // as do broken ones
      {"0x1234567890ABCDEF", false, false},
      {"1234567890123456789", false, false},
      {"\"s\"", false, false},
      {"@DIR", false, false},
      {"", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    const Outcome tokens = FromTokens(row.line);
    for (const Outcome& fast : {FromLine(row.line), FromField(row.line)}) {
      if (fast.ok) {
        EXPECT_TRUE(tokens.ok);
        EXPECT_EQ(tokens.value, fast.value);
        EXPECT_EQ(tokens.next, fast.next);
      }
    }
    EXPECT_EQ(row.taken, FromLine(row.line).ok);
    EXPECT_EQ(row.fieldTaken, FromField(row.line).ok);
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
  EXPECT_EQ(6u, FromField("SUM + ONE").expanded);
  EXPECT_EQ(0u, FromField("SUM + ONE +").expanded);  // nothing counted when it gives up
}

}  // namespace
