// Recursive-descent parser that computes while it parses; one function per precedence level,
// loosest first. All arithmetic wraps modulo 2^64. Chains of unary signs are folded in a loop
// and parentheses are counted, so no expression can exhaust the stack.
#include "lexer/expression.h"

namespace {

typedef std::uint64_t Bits;

std::int64_t Wrap(Bits value) { return static_cast<std::int64_t>(value); }

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
  return ParseOr();
}

// or = and ("|" and)*
std::int64_t ExpressionEvaluator::ParseOr() {
  std::int64_t left = ParseAnd();
  while (mLexer->GetTokenKind() == '|') left |= ParseAnd();
  return left;
}

// and = equality ("&" equality)*
std::int64_t ExpressionEvaluator::ParseAnd() {
  std::int64_t left = ParseEquality();
  while (mLexer->GetTokenKind() == '&') left &= ParseEquality();
  return left;
}

// equality = relational ("==" relational)?
std::int64_t ExpressionEvaluator::ParseEquality() {
  const std::int64_t left = ParseRelational();
  if (mLexer->GetTokenKind() != TOKEN_EQ) return left;
  return left == ParseRelational() ? 1 : 0;
}

// relational = shift (("<" | "<=" | ">" | ">=") shift)?
std::int64_t ExpressionEvaluator::ParseRelational() {
  const std::int64_t left = ParseShift();
  switch (mLexer->GetTokenKind()) {
    case TOKEN_LT:
      return left < ParseShift() ? 1 : 0;
    case TOKEN_LE:
      return left <= ParseShift() ? 1 : 0;
    case TOKEN_GT:
      return left > ParseShift() ? 1 : 0;
    case TOKEN_GE:
      return left >= ParseShift() ? 1 : 0;
    default:
      return left;
  }
}

// shift = additive (("<<" | ">>") additive)*
std::int64_t ExpressionEvaluator::ParseShift() {
  std::int64_t left = ParseAdditive();
  for (;;) {
    const TokenKind kind = mLexer->GetTokenKind();
    if (kind == TOKEN_SHL) {
      left = ShiftLeft(left, ParseAdditive());
    } else if (kind == TOKEN_SHR) {
      left = ShiftRight(left, ParseAdditive());
    } else {
      return left;
    }
  }
}

// additive = multiplicative (("+" | "-") multiplicative)*
std::int64_t ExpressionEvaluator::ParseAdditive() {
  std::int64_t left = ParseMultiplicative();
  for (;;) {
    const TokenKind kind = mLexer->GetTokenKind();
    if (kind == '+') {
      left = Wrap(static_cast<Bits>(left) + static_cast<Bits>(ParseMultiplicative()));
    } else if (kind == '-') {
      left = Wrap(static_cast<Bits>(left) - static_cast<Bits>(ParseMultiplicative()));
    } else {
      return left;
    }
  }
}

// multiplicative = unary (("*" | "/") unary)*
std::int64_t ExpressionEvaluator::ParseMultiplicative() {
  std::int64_t left = ParseUnary();
  for (;;) {
    const TokenKind kind = mLexer->GetTokenKind();
    if (kind == '*') {
      left = Wrap(static_cast<Bits>(left) * static_cast<Bits>(ParseUnary()));
    } else if (kind == '/') {
      const std::int64_t right = ParseUnary();
      if (right == 0) mLexer->Fail("Devide by zero");
      // The one quotient that does not fit wraps to itself.
      left = (right == -1) ? Wrap(0 - static_cast<Bits>(left)) : left / right;
    } else {
      return left;
    }
  }
}

// unary = ("+" | "-")* primary
// primary = "(" or ")" | "{" bitset | identifier | number
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
      value = ParseOr();
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

void ExpressionEvaluator::FailBitSet() const { mLexer->Fail("Bit specified constants are illegal."); }

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
      for (int bit = low; bit <= high; ++bit) mask |= Bits(1) << bit;
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
