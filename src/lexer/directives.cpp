// The preprocessor: directives read at character level, the conditional stack that decides
// whether text is taken, the macro table and #include.
//
// An #elif acts as an #else of its group followed by a nested #if that the group's #endif closes
// too, so the conditional stack holds one entry per open group and one per #elif seen in it.
// Text is taken while every entry's value differs from its inElse flag; the number of entries
// where they are equal is kept up to date, so the test costs nothing per token.
//
// Macro bodies are stored expanded as of their definition. Because of that, a chain of
// definitions that each repeat the previous macro would double in size with every line; bodies
// are therefore bounded, one by one and in total.
#include <cassert>
#include <string>

#include "lexer/char_class.h"
#include "lexer/expression.h"
#include "lexer/lexer.h"

namespace {

// What a stored token counts against the bounds: the size of a token as the lexer handles it,
// whatever its stored form, so that the bounds stay where they have always been.
std::size_t TokenBytes(std::size_t stringBytes) {
  return sizeof(Lexer::TokenInfo) + stringBytes;
}

std::size_t BodyBytes(const MacroTable::Body& body) {
  std::size_t bytes = 0;
  for (const MacroToken* token = body.begin; token != body.end; ++token)
    bytes += TokenBytes(token->stringLength);
  return bytes;
}

// Counts directives begun while another is unfinished (a '#' at the start of what a directive
// reads as its next token), so that no line can nest them without bound.
class NestingScope {
 public:
  explicit NestingScope(int& depth) : mDepth(depth) { ++mDepth; }
  ~NestingScope() { --mDepth; }
  NestingScope(const NestingScope&) = delete;
  NestingScope& operator=(const NestingScope&) = delete;

 private:
  int& mDepth;
};

}  // namespace

TokenKind Lexer::ProcessDirective() {
  assert(mPendingTokens.empty());
  if (mDirectiveNesting >= kMaxDirectiveNesting) Fail("Preprocessor directives nested too deeply");
  NestingScope scope(mDirectiveNesting);
  char c;
  if (!ReadNonBlankChar(c)) return TOKEN_EOF;
  if (c == '\n') return '\n';
  if (!IsNameStart(c)) Fail(std::string("Expected preprocessor directive, found '") + c + "'");
  std::string name;
  ReadName(c, name);
  // Compared as views: lengths first, no library call per comparison.
  const std::string_view directive = name;
  // Conditionals are carried out in skipped text too; everything else is skipped there.
  if (directive == "if") return DirectiveIf();
  if (directive == "ifdef" || directive == "ifndef") return DirectiveIfdef(name);
  if (directive == "elif") return DirectiveElif();
  if (directive == "else") return DirectiveElse();
  if (directive == "endif") return DirectiveEndif();
  if (!IsActive()) return SkipDirectiveLine();
  if (directive == "define") return DirectiveDefine();
  if (directive == "undef") return DirectiveUndef();
  if (directive == "include") return DirectiveInclude();
  Fail("Invalid preprocessor command string '" + name + "'");
}

TokenKind Lexer::RequireLineEnd() const {
  if (mToken.kind != '\n') {
    Fail("Unexpected tokens following preprocessor directive - expected a newline");
  }
  return '\n';
}

void Lexer::ExpectBlankAfterName(const std::string& directive) {
  char c;
  if (!ReadChar(c) || !IsBlank(c)) Fail("Expected space after a #" + directive);
}

// Operands are read as characters, so a macro name here is never replaced by its body.
void Lexer::ReadIdentifierOperand(const std::string& directive, std::string& identifier) {
  char c;
  if (!ReadNonBlankChar(c) || c == '\n') Fail("No identifier appears after a #" + directive);
  if (!IsNameStart(c)) Fail(std::string("Expected identifier, found '") + c + "'");
  ReadName(c, identifier);
}

TokenKind Lexer::SkipDirectiveLine() {
  // Nothing of a skipped line is examined; it ends with the newline its buffer holds last.
  mTop->mLinePos = mTop->mLine.size();
  mToken.kind = '\n';
  return '\n';
}

bool Lexer::EvaluateCondition() {
  // Taken text while the condition is read: it is read, and its errors reported, in skipped
  // text too.
  mEvaluatingCondition = true;
  const std::int64_t value =
      ExpressionEvaluator().SetUndefinedIsZero(false).Evaluate(*this, nullptr, nullptr, nullptr);
  mEvaluatingCondition = false;
  return value != 0;
}

void Lexer::PushCondition(bool value, bool fromElif) {
  mConditionStack.push_back(Condition{value, false, fromElif});
  if (!value) ++mInactiveConditions;
}

void Lexer::PopCondition() {
  const Condition& top = mConditionStack.back();
  if (top.value == top.inElse) --mInactiveConditions;
  mConditionStack.pop_back();
}

void Lexer::EnterElse() {
  Condition& top = mConditionStack.back();
  if (top.value) {
    ++mInactiveConditions;
  } else {
    --mInactiveConditions;
  }
  top.inElse = true;
}

TokenKind Lexer::DirectiveIf() {
  ExpectBlankAfterName("if");
  PushCondition(EvaluateCondition(), false);
  return RequireLineEnd();
}

TokenKind Lexer::DirectiveIfdef(const std::string& directive) {
  ExpectBlankAfterName(directive);
  std::string identifier;
  ReadIdentifierOperand(directive, identifier);
  const bool defined = mMacros.Contains(identifier);
  PushCondition(directive == "ifdef" ? defined : !defined, false);
  return kDirectiveLineOpen;
}

TokenKind Lexer::DirectiveElif() {
  if (mConditionStack.empty() || mConditionStack.back().inElse) Fail("Unexpected #elif");
  ExpectBlankAfterName("elif");
  EnterElse();
  PushCondition(EvaluateCondition(), true);
  return RequireLineEnd();
}

TokenKind Lexer::DirectiveElse() {
  if (mConditionStack.empty() || mConditionStack.back().inElse) Fail("Unexpected #else");
  EnterElse();
  return kDirectiveLineOpen;
}

TokenKind Lexer::DirectiveEndif() {
  if (mConditionStack.empty()) Fail("Unexpected #endif");
  while (!mConditionStack.empty() && mConditionStack.back().fromElif)
    PopCondition();
  if (!mConditionStack.empty()) PopCondition();
  return kDirectiveLineOpen;
}

// Stored bodies are bounded, but using them is not: a big body used on every line would make
// the work grow with the product of the two. All expansions of one file share one budget.
void Lexer::FailExpansionTooLarge() const {
  Fail("Macro expansion too large (more than " + std::to_string(kMaxExpandedTokens) +
       " tokens in all)");
}

// Fails unless the body being collected can take one more token with `stringBytes` of string
// value; adds what the token counts to `bodyBytes`.
void Lexer::CheckBodyBounds(std::size_t& bodyBytes, std::size_t stringBytes) {
  if (mMacros.NewBody().size() >= kMaxMacroBodyTokens) {
    Fail("Macro body too long (more than " + std::to_string(kMaxMacroBodyTokens) + " tokens)");
  }
  const std::size_t bytes = TokenBytes(stringBytes);
  if (mMacroBytes + bodyBytes + bytes > kMaxMacroBytes) {
    Fail("Macro bodies too large in total (more than " + std::to_string(kMaxMacroBytes >> 20) +
         " MiB)");
  }
  bodyBytes += bytes;
}

void Lexer::AppendToBody(std::size_t& bodyBytes, const TokenInfo& token) {
  CheckBodyBounds(bodyBytes, token.stringValue.size());
  assert(token.text.size() == 1);
  mMacros.AppendToken(token.kind, token.text[0], token.numberValue, token.stringValue);
}

void Lexer::AppendStoredToBody(std::size_t& bodyBytes, const MacroToken& token) {
  CheckBodyBounds(bodyBytes, token.stringLength);
  mMacros.AppendStoredToken(token);
}

Lexer::TokenInfo Lexer::StoredToken(const MacroToken& token) const {
  return TokenInfo{token.kind, std::string(1, token.text), token.numberValue,
                   std::string(mMacros.StringValue(token))};
}

void Lexer::ForgetMacro(const std::string& name) {
  MacroTable::Body body;
  if (!mMacros.Find(name, body)) return;
  mMacroBytes -= BodyBytes(body);
  mMacros.Erase(name);
}

TokenKind Lexer::DirectiveDefine() {
  ExpectBlankAfterName("define");
  std::string name;
  ReadIdentifierOperand("define", name);
  mMacros.BeginBody();
  std::size_t bodyBytes = 0;
  for (;;) {
    const TokenKind kind = GetNextToken();
    if (kind == '\n' || kind == TOKEN_EOF) break;
    if (kind == TOKEN_IDENTIFIER) {
      // A name that came out of an expansion: it was not a macro when its body was stored.
      MacroTable::Body stored;
      if (mMacros.Find(mToken.stringValue, stored)) {
        CountExpandedTokens(stored.size());
        for (const MacroToken* token = stored.begin; token != stored.end; ++token)
          AppendStoredToBody(bodyBytes, *token);
        continue;
      }
    }
    AppendToBody(bodyBytes, GetTokenInfo());
  }

  MacroTable::Body old;
  if (mMacros.Find(name, old)) {
    const MacroTable::Body body = mMacros.NewBody();
    bool same = old.size() == body.size();
    for (std::size_t i = 0; same && i < old.size(); ++i)
      same = IsSameToken(StoredToken(old.begin[i]), StoredToken(body.begin[i]));
    if (!same) Fail("Multiple defined macro \"" + name + "\"");
    mMacroBytes -= BodyBytes(old);
  }
  std::int64_t value;
  mMacros.Set(name, ValueOfBody(mMacros.NewBody(), value) ? &value : nullptr);
  mMacroBytes += bodyBytes;
  return RequireLineEnd();
}

TokenKind Lexer::DirectiveUndef() {
  ExpectBlankAfterName("undef");
  std::string identifier;
  ReadIdentifierOperand("undef", identifier);
  ForgetMacro(identifier);
  return kDirectiveLineOpen;
}

void Lexer::ReadAngleName(std::string& name) {
  char c;
  for (;;) {
    if (!ReadChar(c) || c == '\n') FailNewlineInConstant();
    if (c == '>') return;
    if (c == '\\') {
      if (!ReadChar(c)) FailNewlineInConstant();
      c = EscapeChar(c);
    }
    name += c;
  }
}

TokenKind Lexer::DirectiveInclude() {
  const TokenKind kind = GetNextToken();
  if (kind != TOKEN_STRING && kind != TOKEN_LT) {
    Fail("Expected filename, found '" + mToken.text + "'");
  }
  if (mFileStack.size() >= kMaxNestedFiles) Fail("#include nesting overflow");
  const bool angle = kind == TOKEN_LT;
  std::string name;
  if (angle) {
    ReadAngleName(name);
  } else {
    name = mToken.stringValue;
  }
  const SharedPtr<File> file = OpenIncludeFile(name, angle);
  // The rest of the line is checked before the new file is pushed, so that an error stands at
  // the #include line; the opened file is released if it fails.
  GetNextToken();
  RequireLineEnd();
  PushFile(file);
  return '\n';
}
