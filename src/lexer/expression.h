// Signed 64-bit constant expressions for #if/#elif and for the numeric fields of table entries.
#ifndef LEXER_EXPRESSION_H
#define LEXER_EXPRESSION_H

#include <cstdint>

#include "lexer/expression_parser.h"
#include "lexer/lexer.h"

class ExpressionEvaluator {
 public:
  /// Deepest nesting of parentheses in one expression; deeper input is an error, not a crash.
  static const int kMaxNesting = ExpressionRules::kMaxNesting;

  /// When on, a name that no table resolves is 0; when off, it is an error.
  ExpressionEvaluator& SetUndefinedIsZero(bool undefinedIsZero);

  /// Parses one expression, starting with the lexer's next token, and returns its value. The
  /// first token after the expression is current on return. Absent tables are null.
  std::int64_t Evaluate(Lexer& lexer, const SymbolTable* first, const SymbolTable* second,
                        const SymbolTable* third);

 private:
  bool mUndefinedIsZero = false;
};

#endif  // LEXER_EXPRESSION_H
