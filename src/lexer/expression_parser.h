// The expression parser, over any source of tokens: precedence climbing over the binary operators,
// recursive descent below them. All arithmetic wraps modulo 2^64. Chains of unary signs are folded
// in a loop and parentheses are counted, so no expression can exhaust the stack.
//
// A source provides Next() (reads the next token, returns its kind), Kind(), Number() and Name()
// of the current token, and Fail(message) and FailSyntax(), which do not return. The lexer is one
// source; the table reader has a lighter one for lines it reads itself.
#ifndef LEXER_EXPRESSION_PARSER_H
#define LEXER_EXPRESSION_PARSER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "lexer/lexer.h"

/// Names and their values; owned by the caller, only read by the evaluator.
typedef std::map<std::string, std::int64_t> SymbolTable;

/// The operators and the arithmetic, shared by every parser.
class ExpressionRules {
 public:
  /// Deepest nesting of parentheses in one expression; deeper input is an error, not a crash.
  static const int kMaxNesting = 256;
  /// Deepest nesting inside an operand that a source delivers as TOKEN_VALUE.
  static const int kMaxValueNesting = 16;

 protected:
  typedef std::uint64_t Bits;

  static std::int64_t Wrap(Bits value) { return static_cast<std::int64_t>(value); }

  static std::int64_t ShiftLeft(std::int64_t value, std::int64_t count) {
    const unsigned n = static_cast<unsigned>(count & 0xFF);
    return n < 64 ? Wrap(static_cast<Bits>(value) << n) : 0;
  }

  static std::int64_t ShiftRight(std::int64_t value, std::int64_t count) {
    const unsigned n = static_cast<unsigned>(count & 0xFF);
    if (n >= 64) return value < 0 ? -1 : 0;
    // Arithmetic: copies of the sign bit come in.
    return value < 0 ? Wrap(~(~static_cast<Bits>(value) >> n))
                     : Wrap(static_cast<Bits>(value) >> n);
  }

  /// `left op right` for a binary operator; false for a division by zero.
  static bool Compute(TokenKind op, std::int64_t left, std::int64_t right, std::int64_t& result) {
    switch (op) {
      case '|':
        result = left | right;
        return true;
      case '&':
        result = left & right;
        return true;
      case TOKEN_EQ:
        result = left == right ? 1 : 0;
        return true;
      case TOKEN_LT:
        result = left < right ? 1 : 0;
        return true;
      case TOKEN_LE:
        result = left <= right ? 1 : 0;
        return true;
      case TOKEN_GT:
        result = left > right ? 1 : 0;
        return true;
      case TOKEN_GE:
        result = left >= right ? 1 : 0;
        return true;
      case TOKEN_SHL:
        result = ShiftLeft(left, right);
        return true;
      case TOKEN_SHR:
        result = ShiftRight(left, right);
        return true;
      case '+':
        result = Wrap(static_cast<Bits>(left) + static_cast<Bits>(right));
        return true;
      case '-':
        result = Wrap(static_cast<Bits>(left) - static_cast<Bits>(right));
        return true;
      case '*':
        result = Wrap(static_cast<Bits>(left) * static_cast<Bits>(right));
        return true;
      default:  // '/'
        if (right == 0) return false;
        // The one quotient that does not fit wraps to itself.
        result = right == -1 ? Wrap(0 - static_cast<Bits>(left)) : left / right;
        return true;
    }
  }

  // Binding strength of the binary operators, loosest first; kNoOperator for any other token.
  enum Level {
    kNoOperator = 0,
    kOr = 1,              // or = and ("|" and)*
    kAnd = 2,             // and = equality ("&" equality)*
    kEquality = 3,        // equality = relational ("==" relational)?
    kRelational = 4,      // relational = shift (("<" | "<=" | ">" | ">=") shift)?
    kShift = 5,           // shift = additive (("<<" | ">>") additive)*
    kAdditive = 6,        // additive = multiplicative (("+" | "-") multiplicative)*
    kMultiplicative = 7,  // multiplicative = unary (("*" | "/") unary)*
  };

  // A table rather than a switch: the parser asks after every operand.
  static constexpr std::size_t kKinds = TOKEN_SHR + 1;
  static constexpr std::array<unsigned char, kKinds> MakeLevels() {
    std::array<unsigned char, kKinds> levels{};
    levels['|'] = kOr;
    levels['&'] = kAnd;
    levels[TOKEN_EQ] = kEquality;
    levels[TOKEN_LT] = levels[TOKEN_LE] = levels[TOKEN_GT] = levels[TOKEN_GE] = kRelational;
    levels[TOKEN_SHL] = levels[TOKEN_SHR] = kShift;
    levels['+'] = levels['-'] = kAdditive;
    levels['*'] = levels['/'] = kMultiplicative;
    return levels;
  }
  static int LevelOf(TokenKind kind) {
    static constexpr std::array<unsigned char, kKinds> kLevels = MakeLevels();
    return static_cast<std::size_t>(kind) < kKinds ? kLevels[static_cast<std::size_t>(kind)]
                                                   : static_cast<int>(kNoOperator);
  }
};

template <class Source>
class ExpressionParser : private ExpressionRules {
 public:
  /// `tables`: three tables or nulls, searched in order; when none resolves a name, it is 0
  /// with `undefinedIsZero`, an error otherwise.
  ExpressionParser(Source& source, const SymbolTable* const (&tables)[3], bool undefinedIsZero)
      : mSource(source), mTables(tables), mUndefinedIsZero(undefinedIsZero) {}

  /// Parses one expression, starting with the source's next token; the first token after the
  /// expression is current on return.
  std::int64_t Parse() { return ParseBinary(kOr); }

 private:
  std::int64_t ParseBinary(int minLevel);
  std::int64_t ParseOperators(std::int64_t left, int minLevel);
  std::int64_t Apply(TokenKind op, std::int64_t left, std::int64_t right);
  // Inline where the parser reads operands; parentheses are out of line, as they recurse.
  [[gnu::always_inline]] inline std::int64_t ParseUnary();
  [[gnu::noinline]] std::int64_t ParseGroup();
  std::int64_t ParseBitSet();
  int ReadBitNumber();
  [[noreturn]] void FailBitSet() const;
  std::int64_t LookupSymbol(std::string_view name) const;

  Source& mSource;
  const SymbolTable* const (&mTables)[3];
  bool mUndefinedIsZero;
  int mNesting = 0;
};

// Precedence climbing over the levels above: the operand to the right of an operator takes in
// every tighter operator, and operators of one level associate to the left. A comparison takes
// one operator of its level at most: after it only looser operators may follow.
template <class Source>
std::int64_t ExpressionParser<Source>::ParseBinary(int minLevel) {
  return ParseOperators(ParseUnary(), minLevel);
}

// The operators after `left`, of `minLevel` or tighter. Mostly the operator after a right
// operand binds no tighter than the one before it: then the operand is complete as it is, with
// no call to find that out.
template <class Source>
std::int64_t ExpressionParser<Source>::ParseOperators(std::int64_t left, int minLevel) {
  int maxLevel = kMultiplicative;
  for (;;) {
    const TokenKind op = mSource.Kind();
    const int level = LevelOf(op);
    if (level == kNoOperator || level < minLevel || level > maxLevel) return left;
    std::int64_t right = ParseUnary();
    if (LevelOf(mSource.Kind()) > level) right = ParseOperators(right, level + 1);
    left = Apply(op, left, right);
    if (level == kEquality || level == kRelational) maxLevel = level - 1;
  }
}

template <class Source>
std::int64_t ExpressionParser<Source>::Apply(TokenKind op, std::int64_t left, std::int64_t right) {
  std::int64_t result;
  // The divisor has been read, and the token after it is current.
  if (!Compute(op, left, right, result)) mSource.Fail("Devide by zero");
  return result;
}

// unary = ("+" | "-")* primary
// primary = "(" expression ")" | "{" bitset | identifier | number | known value
template <class Source>
std::int64_t ExpressionParser<Source>::ParseUnary() {
  bool negate = false;
  TokenKind kind = mSource.Next();
  while (kind == '+' || kind == '-') {
    if (kind == '-') negate = !negate;
    kind = mSource.Next();
  }
  std::int64_t value;
  switch (kind) {
    case '(':
      value = ParseGroup();
      break;
    case '{':
      value = ParseBitSet();
      break;
    case TOKEN_IDENTIFIER:
      value = LookupSymbol(mSource.Name());
      mSource.Next();
      break;
    case TOKEN_NUMBER:
      value = mSource.Number();
      mSource.Next();
      break;
    case TOKEN_VALUE:
      // Its parentheses count: where they would nest too deeply, the source takes the long way.
      if (mNesting + kMaxValueNesting > kMaxNesting) mSource.FailSyntax();
      value = mSource.Number();
      mSource.Next();
      break;
    default:
      mSource.FailSyntax();
  }
  return negate ? Wrap(0 - static_cast<Bits>(value)) : value;
}

// What follows a '(': an expression and its ')'.
template <class Source>
std::int64_t ExpressionParser<Source>::ParseGroup() {
  if (mNesting >= kMaxNesting) mSource.Fail("Expression nested too deeply");
  ++mNesting;
  const std::int64_t value = ParseBinary(kOr);
  --mNesting;
  if (mSource.Kind() != ')') mSource.Fail("Unmatch ( )");
  mSource.Next();
  return value;
}

template <class Source>
void ExpressionParser<Source>::FailBitSet() const {
  mSource.Fail("Bit specified constants are illegal.");
}

template <class Source>
int ExpressionParser<Source>::ReadBitNumber() {
  if (mSource.Next() != TOKEN_NUMBER) FailBitSet();
  const std::int64_t bit = mSource.Number();
  if (bit < 0) mSource.Fail("Bit number is negative.");
  if (bit > 63) mSource.Fail("Constant too big");
  return static_cast<int>(bit);
}

// bitset = item ("," item)* "}"    item = number ("-" number)?
template <class Source>
std::int64_t ExpressionParser<Source>::ParseBitSet() {
  Bits mask = 0;
  for (;;) {
    const int a = ReadBitNumber();
    if (mSource.Next() == '-') {
      const int b = ReadBitNumber();
      const int low = a < b ? a : b;
      const int high = a < b ? b : a;
      for (int bit = low; bit <= high; ++bit)
        mask |= Bits(1) << bit;
      mSource.Next();
    } else {
      mask |= Bits(1) << a;
    }
    const TokenKind kind = mSource.Kind();
    if (kind == '}') {
      mSource.Next();
      return Wrap(mask);
    }
    if (kind != ',') FailBitSet();
  }
}

template <class Source>
std::int64_t ExpressionParser<Source>::LookupSymbol(std::string_view name) const {
  for (const SymbolTable* table : mTables) {
    if (table == nullptr || table->empty()) continue;
    auto found = table->find(std::string(name));
    if (found != table->end()) return found->second;
  }
  if (!mUndefinedIsZero) mSource.Fail("Undefined symbol \"" + std::string(name) + "\"");
  return 0;
}

#endif  // LEXER_EXPRESSION_PARSER_H
