// Tests of the constant-expression evaluator, driven over a lexer reading from memory.
#include "lexer/expression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

#include "lexer/lexer.h"

namespace {

const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

/// A lexer over an in-memory source named expr.mus.
struct Source {
  explicit Source(const std::string& text) : stream(text), lexer(stream, "expr.mus") {}
  std::istringstream stream;
  Lexer lexer;
};

/// The value of the first expression of `text`, with no tables and undefined names an error.
struct Result {
  std::int64_t value;
  TokenKind next;        // the token left current
  std::string nextText;  // and its text
};

Result EvaluateFirst(const std::string& text) {
  Source source(text);
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  const std::int64_t value = evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr);
  return {value, source.lexer.GetTokenKind(), source.lexer.GetTokenText()};
}

/// The whole text of the error that evaluating the first expression of `text` raises.
std::string ErrorOf(const std::string& text) {
  Source source(text);
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  try {
    const std::int64_t value = evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr);
    return "no error, value " + std::to_string(value);
  } catch (const Lexer::Exception& e) {
    return e.Message();
  }
}

struct ValueRow {
  std::string input;
  std::int64_t expected;
};

void ExpectValues(const std::initializer_list<ValueRow>& rows) {
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.input);
    const Result result = EvaluateFirst(row.input + "\n");
    EXPECT_EQ(row.expected, result.value);
    EXPECT_EQ('\n', result.next) << "the whole line should be one expression";
  }
}

TEST(ExpressionTest, PrecedenceAndAssociativity) {
  // Multiplicative binds tighter than additive, additive than shift, shift than relational.
  ExpectValues({{"3 * 4 + 1", 13}, {"1 + 3 * 4", 13}, {"(1 + 2) * 3", 9}});
  ExpectValues({{"1 + 2 << 3", 24}, {"8 >> 1 + 1", 2}, {"1 + 1 < 1 << 2", 1}});
  // == binds tighter than &, & tighter than |.
  ExpectValues({{"1 | 2 & 3", 3}, {"5 & 6 | 1", 5}, {"6 & 3 == 2", 0}, {"3 | 4 == 4", 3}});
  ExpectValues({{"1 < 2 & 2 < 1", 0}, {"(1 | 2) == 3", 1}});
  // An equality may compare the results of two relational comparisons.
  ExpectValues({{"1 < 2 == 1", 1}, {"2 == 2 < 3", 0}, {"2 > 1 == 1 < 2", 1}});
  // Left to right on every infix level.
  ExpectValues({{"10 - 3 - 2", 5}, {"1 - 2 + 3", 2}, {"100 / 10 / 5", 2}});
  ExpectValues({{"2 * 9 / 4", 4}, {"9 / 4 * 2", 4}, {"1 << 2 << 3", 32}, {"256 >> 2 >> 3", 8}});
  // A unary sign may follow any infix operator.
  ExpectValues({{"2 * -3", -6}, {"2 - -3", 5}, {"2--3", 5}, {"1 << -(-2)", 4}});
}

TEST(ExpressionTest, ComparisonsAreSignedAndGiveOneOrZero) {
  ExpectValues({
      {"1 < 2", 1},
      {"2 < 2", 0},
      {"2 <= 2", 1},
      {"3 <= 2", 0},
      {"3 > 2", 1},
      {"2 > 2", 0},
      {"2 >= 2", 1},
      {"1 >= 2", 0},
      {"7 == 7", 1},
      {"7 == 8", 0},
      {"-1 < 0", 1},
      {"0xFFFFFFFFFFFFFFFF < 0", 1},
      {"0x8000000000000000 < 0x7FFFFFFFFFFFFFFF", 1},
  });
}

TEST(ExpressionTest, UnaryOperatorsBindTightestAndRepeat) {
  ExpectValues({
      {"- -5", 5},
      {"-2 * 3", -6},
      {"-(2 + 3)", -5},
      {"+7", 7},
      {"+-+-7", 7},
      {"- - -7", -7},
      {"-0x8000000000000000", kMin},
      {"-{0}", -1},
  });
}

TEST(ExpressionTest, LongChainsOfSignsFold) {
  struct Row {
    std::string signs;
    std::int64_t expected;
  };
  const Row rows[] = {
      {std::string(5001, '-'), -7},
      {std::string(5000, '-'), 7},
      {std::string(20000, '+'), 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.signs.size()) + " x " + row.signs[0]);
    const Result result = EvaluateFirst(row.signs + "7 * 2\n");
    EXPECT_EQ(row.expected * 2, result.value);
    EXPECT_EQ('\n', result.next);
  }
  std::string mixed;
  for (int i = 0; i < 4000; ++i)
    mixed += "+ - ";
  EXPECT_EQ(9, EvaluateFirst(mixed + "9\n").value);
  EXPECT_EQ(-9, EvaluateFirst("-" + mixed + "9\n").value);
}

TEST(ExpressionTest, ArithmeticWrapsModulo64Bits) {
  ExpectValues({
      {"0x7FFFFFFFFFFFFFFF + 1", kMin},
      {"0x8000000000000000 - 1", kMax},
      {"-0x7FFFFFFFFFFFFFFF - 2", kMax},
      {"0x7FFFFFFFFFFFFFFF * 2", -2},
      {"0x100000000 * 0x100000000", 0},
      {"0xFFFFFFFFFFFFFFFF * 0xFFFFFFFFFFFFFFFF", 1},
      {"0 - 0x8000000000000000", kMin},
      {"9223372036854775808", kMin},
      {"-9223372036854775807 - 1", kMin},
  });
}

TEST(ExpressionTest, DivisionTruncatesTowardZero) {
  ExpectValues({
      {"7 / 2", 3},
      {"-7 / 2", -3},
      {"7 / -2", -3},
      {"-7 / -2", 3},
      {"1 / 2", 0},
      {"-1 / 2", 0},
      {"0x8000000000000000 / -1", kMin},
      {"0x8000000000000000 / 1", kMin},
      {"0x8000000000000000 / 2", kMin / 2},
  });
}

TEST(ExpressionTest, ShiftCountIsTheLowEightBits) {
  ExpectValues({
      {"1 << 63", kMin},
      {"3 << 63", kMin},
      {"0x4000000000000000 << 1", kMin},
      {"1 << 64", 0},
      {"1 << 255", 0},
      {"1 << 256", 1},
      {"3 << 257", 6},
      {"1 << -1", 0},
      {"1 << -256", 1},
      {"-16 >> 2", -4},
      {"-7 >> 1", -4},
      {"7 >> 1", 3},
      {"-1 >> 200", -1},
      {"0x8000000000000000 >> 63", -1},
      {"0x8000000000000000 >> 319", -1},
      {"5 >> 64", 0},
      {"5 >> 256", 5},
      {"0x7FFFFFFFFFFFFFFF >> 62", 1},
  });
}

TEST(ExpressionTest, BitSetsSetTheListedBits) {
  ExpectValues({
      {"{0}", 1},
      {"{3,3}", 8},
      {"{0, 4-6}", 113},
      {"{5-2}", 60},
      {"{2-5}", 60},
      {"{7-7}", 128},
      {"{1, 0x3, 0b100}", 26},
      {"{63}", kMin},
      {"{0-63}", -1},
      {"{62-63}", kMin / 2},
      {"{0} | {1}", 3},
      {"{4} + 1", 17},
      {"-{0}", -1},
  });
}

TEST(ExpressionTest, SymbolTablesAreSearchedInOrder) {
  const SymbolTable first = {{"A", 1}, {"a", 1000}};
  const SymbolTable second = {{"A", 2}, {"B", 20}};
  const SymbolTable third = {{"A", 3}, {"B", 30}, {"C", 300}};
  struct Row {
    std::string input;
    const SymbolTable* tables[3];
    std::int64_t expected;
  };
  const Row rows[] = {
      {"A", {&first, &second, &third}, 1},    {"B", {&first, &second, &third}, 20},
      {"C", {&first, &second, &third}, 300},  {"A + B + C", {&first, &second, &third}, 321},
      {"a", {&first, &second, &third}, 1000}, {"A", {nullptr, &second, &third}, 2},
      {"B", {nullptr, nullptr, &third}, 30},  {"A", {&third, nullptr, &first}, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    Source source(row.input + "\n");
    ExpressionEvaluator evaluator;
    evaluator.SetUndefinedIsZero(false);
    EXPECT_EQ(row.expected,
              evaluator.Evaluate(source.lexer, row.tables[0], row.tables[1], row.tables[2]));
    EXPECT_EQ('\n', source.lexer.GetTokenKind());
  }
}

TEST(ExpressionTest, UndefinedNamesAreZeroOnlyWhenAsked) {
  const SymbolTable table = {{"A", 5}};
  ExpressionEvaluator evaluator;
  EXPECT_EQ(&evaluator, &evaluator.SetUndefinedIsZero(true));
  {
    Source source("A + D * 3 + b\n");
    EXPECT_EQ(5, evaluator.Evaluate(source.lexer, &table, nullptr, nullptr));
  }
  {
    Source source("D\n");
    EXPECT_EQ(0, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  }

  // The setter chains, and the last call wins.
  ExpressionEvaluator& same = evaluator.SetUndefinedIsZero(true).SetUndefinedIsZero(false);
  EXPECT_EQ(&evaluator, &same);
  Source source("A + D\n");
  try {
    evaluator.Evaluate(source.lexer, &table, nullptr, nullptr);
    FAIL() << "D should be undefined";
  } catch (const Lexer::Exception& e) {
    EXPECT_EQ("expr.mus:1: Undefined symbol \"D\"\nA + D\n", e.Message());
  }
}

TEST(ExpressionTest, MacrosAreExpandedBeforeEvaluation) {
  Source source(
      "#define BASE 4\n"
      "#define BIT 3\n"
      "#define ZERO 0\n"
      "BASE * 2 + 1, {BIT, 0}, 1 / ZERO\n");
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  // The directive lines arrive as line ends before the expressions.
  while (source.lexer.GetNextToken() == '\n' && source.lexer.GetLineNumber() < 3) {
  }
  ASSERT_EQ('\n', source.lexer.GetTokenKind());
  EXPECT_EQ(9, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_EQ(9, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  try {
    evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr);
    FAIL() << "the macro divisor is 0";
  } catch (const Lexer::Exception& e) {
    EXPECT_EQ("expr.mus:4: Devide by zero\nBASE * 2 + 1, {BIT, 0}, 1 / ZERO\n", e.Message());
  }
}

TEST(ExpressionTest, FirstTokenAfterTheExpressionStaysCurrent) {
  struct Row {
    std::string input;
    std::int64_t value;
    TokenKind next;
    std::string nextText;
  };
  const Row rows[] = {
      {"2 < 3 < 4", 1, TOKEN_LT, "<"},    {"3 < 2 >= 0", 0, TOKEN_GE, ">"},
      {"1 == 1 == 1", 1, TOKEN_EQ, "="},  {"1 == 2 == 0", 0, TOKEN_EQ, "="},
      {"1 + 2, 5", 3, ',', ","},          {"7 )", 7, ')', ")"},
      {"7 x", 7, TOKEN_IDENTIFIER, "x"},  {"(7) (8)", 7, '(', "("},
      {"{1} = 2", 2, '=', "="},           {"-4 : L", -4, ':', ":"},
      {"4 \"s\"", 4, TOKEN_STRING, "\""}, {"5 @SEQ_DATA", 5, TOKEN_DIRECTIVE, "@"},
      {"6 ; comment", 6, '\n', "\n"},     {"8", 8, '\n', "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    const Result result = EvaluateFirst(row.input + "\n");
    EXPECT_EQ(row.value, result.value);
    EXPECT_EQ(row.next, result.next);
    EXPECT_EQ(row.nextText, result.nextText);
  }
}

TEST(ExpressionTest, OneEvaluatorServesExpressionsInTurn) {
  // The current token when Evaluate starts (here each comma) is not part of the expression.
  Source source("1, 2 + 3, -4 * 2\n");
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  EXPECT_EQ(1, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_EQ(',', source.lexer.GetTokenKind());
  EXPECT_EQ(5, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_EQ(',', source.lexer.GetTokenKind());
  EXPECT_EQ(-8, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_EQ('\n', source.lexer.GetTokenKind());
}

TEST(ExpressionTest, EndOfInputPassesThrough) {
  Source source("1");
  source.lexer.SetFailOnEnd(true);
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  EXPECT_EQ(1, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_EQ('\n', source.lexer.GetTokenKind());
  // The end of the file reads as one more line end; after it, nothing is left.
  EXPECT_EQ('\n', source.lexer.GetNextToken());
  EXPECT_THROW(evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr), Lexer::Failure);
}

std::string Nested(int depth, const std::string& inside) {
  return std::string(static_cast<std::size_t>(depth), '(') + inside +
         std::string(static_cast<std::size_t>(depth), ')');
}

TEST(ExpressionTest, ParenthesesNestTwoHundredFiftySixDeep) {
  EXPECT_EQ(-3, EvaluateFirst(Nested(256, "-3") + "\n").value);
  EXPECT_EQ(-3, EvaluateFirst(Nested(128, "-" + Nested(128, "3")) + "\n").value);
  // Depth is what counts, not the number of parentheses in the expression.
  EXPECT_EQ(2, EvaluateFirst(Nested(256, "1") + " + " + Nested(256, "1") + "\n").value);

  // Each evaluation starts at depth 0, also after one that failed.
  Source source(Nested(256, "1") + ", " + Nested(257, "1") + ", " + Nested(256, "5") + "\n");
  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  EXPECT_EQ(1, evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr));
  EXPECT_THROW(evaluator.Evaluate(source.lexer, nullptr, nullptr, nullptr), Lexer::Exception);
  Source again(Nested(256, "5") + "\n");
  EXPECT_EQ(5, evaluator.Evaluate(again.lexer, nullptr, nullptr, nullptr));
}

TEST(ExpressionTest, TwoHundredFiftySeventhParenthesisFailsWhereItStands) {
  // The '!' right after the parentheses is no token: reading it would raise a different error.
  const std::string tooDeep = std::string(257, '(') + "!";
  EXPECT_EQ("expr.mus:1: Expression nested too deeply\n" + tooDeep + "\n", ErrorOf(tooDeep));
  const std::string deepest = std::string(256, '(') + "!";
  EXPECT_EQ("expr.mus:1: Unknown charactor '!'\n" + deepest + "\n", ErrorOf(deepest));
}

TEST(ExpressionTest, ErrorsNamePlaceAndLine) {
  struct Row {
    std::string input;
    std::string expected;
  };
  const Row rows[] = {
      {"1 / 0\n", "expr.mus:1: Devide by zero\n1 / 0\n"},
      {"4 / (2 - 2) + 1\n", "expr.mus:1: Devide by zero\n4 / (2 - 2) + 1\n"},
      {"0 / 0\n", "expr.mus:1: Devide by zero\n0 / 0\n"},
      {"(1 + 2\n", "expr.mus:1: Unmatch ( )\n(1 + 2\n"},
      {"(1 + 2 3)\n", "expr.mus:1: Unmatch ( )\n(1 + 2 3)\n"},
      {"((1)\n", "expr.mus:1: Unmatch ( )\n((1)\n"},
      {"1 +\n2\n", "expr.mus:1: Syntax error \"\n\"\n1 +\n"},
      {"1 +", "expr.mus:1: Syntax error \"\n\"\n1 +\n"},
      {"* 2\n", "expr.mus:1: Syntax error \"*\"\n* 2\n"},
      {")\n", "expr.mus:1: Syntax error \")\"\n)\n"},
      {"1 + , 2\n", "expr.mus:1: Syntax error \",\"\n1 + , 2\n"},
      {"()\n", "expr.mus:1: Syntax error \")\"\n()\n"},
      {"\"str\"\n", "expr.mus:1: Syntax error \"\"\"\n\"str\"\n"},
      {"@SEQ_DATA\n", "expr.mus:1: Syntax error \"@\"\n@SEQ_DATA\n"},
      {"<< 1\n", "expr.mus:1: Syntax error \"<\"\n<< 1\n"},
      {"== 1\n", "expr.mus:1: Syntax error \"=\"\n== 1\n"},
      {"{}\n", "expr.mus:1: Bit specified constants are illegal.\n{}\n"},
      {"{1,}\n", "expr.mus:1: Bit specified constants are illegal.\n{1,}\n"},
      {"{1 2}\n", "expr.mus:1: Bit specified constants are illegal.\n{1 2}\n"},
      {"{1-}\n", "expr.mus:1: Bit specified constants are illegal.\n{1-}\n"},
      {"{1\n", "expr.mus:1: Bit specified constants are illegal.\n{1\n"},
      {"{x}\n", "expr.mus:1: Bit specified constants are illegal.\n{x}\n"},
      {"{-1}\n", "expr.mus:1: Bit specified constants are illegal.\n{-1}\n"},
      {"{1 + 1}\n", "expr.mus:1: Bit specified constants are illegal.\n{1 + 1}\n"},
      {"{(1)}\n", "expr.mus:1: Bit specified constants are illegal.\n{(1)}\n"},
      {"{64}\n", "expr.mus:1: Constant too big\n{64}\n"},
      {"{0-64}\n", "expr.mus:1: Constant too big\n{0-64}\n"},
      {"{'A'}\n", "expr.mus:1: Constant too big\n{'A'}\n"},
      {"{0x8000000000000000}\n", "expr.mus:1: Bit number is negative.\n{0x8000000000000000}\n"},
      {"{1-0xFFFFFFFFFFFFFFFF}\n", "expr.mus:1: Bit number is negative.\n{1-0xFFFFFFFFFFFFFFFF}\n"},
      {"undefined_name\n", "expr.mus:1: Undefined symbol \"undefined_name\"\nundefined_name\n"},
      {"1 + FOO * 2\n", "expr.mus:1: Undefined symbol \"FOO\"\n1 + FOO * 2\n"},
      {"\n(2 -\n", "expr.mus:1: Syntax error \"\n\"\n\n"},
      {"1 + !\n", "expr.mus:1: Unknown charactor '!'\n1 + !\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(row.expected, ErrorOf(row.input));
  }
}

}  // namespace
