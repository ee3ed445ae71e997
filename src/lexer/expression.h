// Signed 64-bit constant expressions for #if/#elif and for the numeric fields of table entries.
#ifndef LEXER_EXPRESSION_H
#define LEXER_EXPRESSION_H

#include <cstdint>
#include <map>
#include <string>

#include "lexer/lexer.h"

/// Names and their values; owned by the caller, only read by the evaluator.
typedef std::map<std::string, std::int64_t> SymbolTable;

class ExpressionEvaluator {
 public:
  /// Deepest nesting of parentheses in one expression; deeper input is an error, not a crash.
  static const int kMaxNesting = 256;

  /// When on, a name that no table resolves is 0; when off, it is an error.
  ExpressionEvaluator& SetUndefinedIsZero(bool undefinedIsZero);

  /// Parses one expression, starting with the lexer's next token, and returns its value. The
  /// first token after the expression is current on return. Absent tables are null.
  std::int64_t Evaluate(Lexer& lexer, const SymbolTable* first, const SymbolTable* second,
                        const SymbolTable* third);

 private:
  /// Parses binary operators of `minLevel` and tighter (levels in expression.cpp).
  std::int64_t ParseBinary(int minLevel);
  std::int64_t Apply(TokenKind op, std::int64_t left, std::int64_t right);
  std::int64_t ParseUnary();
  std::int64_t ParseBitSet();
  int ReadBitNumber();
  [[noreturn]] void FailBitSet() const;
  std::int64_t LookupSymbol(const std::string& name) const;

  const SymbolTable* mSymbolTables[3] = {nullptr, nullptr, nullptr};
  bool mUndefinedIsZero = false;
  Lexer* mLexer = nullptr;
  int mNesting = 0;
};

#endif  // LEXER_EXPRESSION_H
