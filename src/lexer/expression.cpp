// The evaluator over the lexer's tokens.
#include "lexer/expression.h"

#include "lexer/expression_parser.h"

namespace {

class LexerSource {
 public:
  explicit LexerSource(Lexer& lexer) : mLexer(lexer) {}
  TokenKind Next() { return mLexer.GetNextToken(); }
  TokenKind Kind() const { return mLexer.GetTokenKind(); }
  std::int64_t Number() const { return mLexer.GetNumberValue(); }
  const std::string& Name() const { return mLexer.StringValue(); }
  [[noreturn]] void Fail(const std::string& message) const { mLexer.Fail(message); }
  [[noreturn]] void FailSyntax() const { mLexer.FailSyntax(); }

 private:
  Lexer& mLexer;
};

}  // namespace

ExpressionEvaluator& ExpressionEvaluator::SetUndefinedIsZero(bool undefinedIsZero) {
  mUndefinedIsZero = undefinedIsZero;
  return *this;
}

std::int64_t ExpressionEvaluator::Evaluate(Lexer& lexer, const SymbolTable* first,
                                           const SymbolTable* second, const SymbolTable* third) {
  const SymbolTable* const tables[3] = {first, second, third};
  LexerSource source(lexer);
  return ExpressionParser<LexerSource>(source, tables, mUndefinedIsZero).Parse();
}
