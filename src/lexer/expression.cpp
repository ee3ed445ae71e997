// Parser that computes while it parses: precedence climbing over the binary operators, recursive
// descent below them. All arithmetic wraps modulo 2^64. Chains of unary signs are folded in a
// loop and parentheses are counted, so no expression can exhaust the stack.
#include "lexer/expression.h"

namespace {

typedef std::uint64_t Bits;

std::int64_t Wrap(Bits value) {
  return static_cast<std::int64_t>(value);
}

std::int64_t ShiftLeft(std::int64_t value, std::int64_t count) {
  const unsigned n = static_cast<unsigned>(count & 0xFF);
  return n < 64 ? Wrap(static_cast<Bits>(value) << n) : 0;
}

std::int64_t ShiftRight(std::int64_t value, std::int64_t count) {
  const unsigned n = static_cast<unsigned>(count & 0xFF);
  if (n >= 64) return value < 0 ? -1 : 0;
  // Arithmetic: copies of the sign bit come in.
  return value < 0 ? Wrap(~(~static_cast<Bits>(value) >> n)) : Wrap(static_cast<Bits>(value) >> n);
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

Level LevelOf(TokenKind kind) {
  switch (kind) {
    case '|':
      return kOr;
    case '&':
      return kAnd;
    case TOKEN_EQ:
      return kEquality;
    case TOKEN_LT:
    case TOKEN_LE:
    case TOKEN_GT:
    case TOKEN_GE:
      return kRelational;
    case TOKEN_SHL:
    case TOKEN_SHR:
      return kShift;
    case '+':
    case '-':
      return kAdditive;
    case '*':
    case '/':
      return kMultiplicative;
    default:
      return kNoOperator;
  }
}

}  // namespace

ExpressionEvaluator& ExpressionEvaluator::SetUndefinedIsZero(bool undefinedIsZero) {
  mUndefinedIsZero = undefinedIsZero;
  return *this;
}

std::int64_t ExpressionEvaluator::Evaluate(Lexer& lexer, const SymbolTable* first,
                                           const SymbolTable* second, const SymbolTable* third) {
  mSymbolTables[0] = first;
  mSymbolTables[1] = second;
  mSymbolTables[2] = third;
  mLexer = &lexer;
  mNesting = 0;
  return ParseBinary(kOr);
}

// Precedence climbing over the levels above: the operand to the right of an operator takes in
// every tighter operator, and operators of one level associate to the left. A comparison takes
// one operator of its level at most: after it only looser operators may follow.
std::int64_t ExpressionEvaluator::ParseBinary(int minLevel) {
  std::int64_t left = ParseUnary();
  int maxLevel = kMultiplicative;
  for (;;) {
    const TokenKind op = mLexer->GetTokenKind();
    const int level = LevelOf(op);
    if (level == kNoOperator || level < minLevel || level > maxLevel) return left;
    const std::int64_t right = ParseBinary(level + 1);
    left = Apply(op, left, right);
    if (level == kEquality || level == kRelational) maxLevel = level - 1;
  }
}

std::int64_t ExpressionEvaluator::Apply(TokenKind op, std::int64_t left, std::int64_t right) {
  switch (op) {
    case '|':
      return left | right;
    case '&':
      return left & right;
    case TOKEN_EQ:
      return left == right ? 1 : 0;
    case TOKEN_LT:
      return left < right ? 1 : 0;
    case TOKEN_LE:
      return left <= right ? 1 : 0;
    case TOKEN_GT:
      return left > right ? 1 : 0;
    case TOKEN_GE:
      return left >= right ? 1 : 0;
    case TOKEN_SHL:
      return ShiftLeft(left, right);
    case TOKEN_SHR:
      return ShiftRight(left, right);
    case '+':
      return Wrap(static_cast<Bits>(left) + static_cast<Bits>(right));
    case '-':
      return Wrap(static_cast<Bits>(left) - static_cast<Bits>(right));
    case '*':
      return Wrap(static_cast<Bits>(left) * static_cast<Bits>(right));
    default:  // '/': the divisor has been read, and the token after it is current
      if (right == 0) mLexer->Fail("Devide by zero");
      // The one quotient that does not fit wraps to itself.
      return right == -1 ? Wrap(0 - static_cast<Bits>(left)) : left / right;
  }
}

// unary = ("+" | "-")* primary
// primary = "(" expression ")" | "{" bitset | identifier | number
std::int64_t ExpressionEvaluator::ParseUnary() {
  bool negate = false;
  TokenKind kind = mLexer->GetNextToken();
  while (kind == '+' || kind == '-') {
    if (kind == '-') negate = !negate;
    kind = mLexer->GetNextToken();
  }
  std::int64_t value;
  switch (kind) {
    case '(':
      if (mNesting >= kMaxNesting) mLexer->Fail("Expression nested too deeply");
      ++mNesting;
      value = ParseBinary(kOr);
      --mNesting;
      if (mLexer->GetTokenKind() != ')') mLexer->Fail("Unmatch ( )");
      mLexer->GetNextToken();
      break;
    case '{':
      value = ParseBitSet();
      break;
    case TOKEN_IDENTIFIER:
      value = LookupSymbol(mLexer->StringValue());
      mLexer->GetNextToken();
      break;
    case TOKEN_NUMBER:
      value = mLexer->GetNumberValue();
      mLexer->GetNextToken();
      break;
    default:
      mLexer->FailSyntax();
  }
  return negate ? Wrap(0 - static_cast<Bits>(value)) : value;
}

void ExpressionEvaluator::FailBitSet() const {
  mLexer->Fail("Bit specified constants are illegal.");
}

int ExpressionEvaluator::ReadBitNumber() {
  if (mLexer->GetNextToken() != TOKEN_NUMBER) FailBitSet();
  const std::int64_t bit = mLexer->GetNumberValue();
  if (bit < 0) mLexer->Fail("Bit number is negative.");
  if (bit > 63) mLexer->Fail("Constant too big");
  return static_cast<int>(bit);
}

// bitset = item ("," item)* "}"    item = number ("-" number)?
std::int64_t ExpressionEvaluator::ParseBitSet() {
  Bits mask = 0;
  for (;;) {
    const int a = ReadBitNumber();
    if (mLexer->GetNextToken() == '-') {
      const int b = ReadBitNumber();
      const int low = a < b ? a : b;
      const int high = a < b ? b : a;
      for (int bit = low; bit <= high; ++bit)
        mask |= Bits(1) << bit;
      mLexer->GetNextToken();
    } else {
      mask |= Bits(1) << a;
    }
    const TokenKind kind = mLexer->GetTokenKind();
    if (kind == '}') {
      mLexer->GetNextToken();
      return Wrap(mask);
    }
    if (kind != ',') FailBitSet();
  }
}

std::int64_t ExpressionEvaluator::LookupSymbol(const std::string& name) const {
  for (const SymbolTable* table : mSymbolTables) {
    if (table == nullptr) continue;
    auto found = table->find(name);
    if (found != table->end()) return found->second;
  }
  if (!mUndefinedIsZero) mLexer->Fail("Undefined symbol \"" + name + "\"");
  return 0;
}
