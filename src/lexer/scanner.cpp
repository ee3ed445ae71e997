// The character scanner: GetNextToken and one reader per token family. Characters come from the
// current line in memory; the scanner looks ahead and steps back at most one character.
//
// A directive whose rest of line is read as tokens (#ifdef, #ifndef, #else, #endif, #undef) can,
// when it leaves the text skipped, run through the skipped text into the next directive before
// it has finished. Rather than nesting one call per such directive, ProcessDirective reports
// that its line still needs its end, and ScanToken (the general path of GetNextToken) carries
// that demand in its own loop: every directive still takes effect in source order, and a skipped
// region of any size costs no stack.
#include <array>
#include <cassert>
#include <cctype>
#include <cstring>

#include "lexer/char_class.h"
#include "lexer/expression_parser.h"
#include "lexer/lexer.h"
#include "lexer/short_number.h"

bool Lexer::ReadNonBlankCharAcrossLines(char& c) {
  for (;;) {
    if (!ReadChar(c)) return false;
    if (c == ';') {
      // A comment runs to the end of its line; the line ends with the newline that the line
      // buffer always holds last.
      mTop->mLinePos = mTop->mLine.size();
      c = '\n';
      return true;
    }
    if (!IsBlank(c)) return true;
  }
}

// Drops the rest of a skipped line up to a '#' (which starts a directive even inside what would
// be a string) or a ';' (after which nothing of the line counts).
void Lexer::SkipInactiveLine() {
  // Skipped text is most of some sources: search it with the library's block-wise memchr.
  const std::string_view line = mTop->mLine;
  const char* const begin = line.data() + mTop->mLinePos;
  const std::size_t left = line.size() - mTop->mLinePos;
  const void* hash = std::memchr(begin, '#', left);
  const std::size_t before =
      hash ? static_cast<std::size_t>(static_cast<const char*>(hash) - begin) : left;
  const bool directive = hash != nullptr && std::memchr(begin, ';', before) == nullptr;
  mTop->mLinePos = directive ? mTop->mLinePos + before : line.size();
}

namespace {

// How GetNextToken may take a token that starts with a character: kSlow for everything that
// needs the whole algorithm (directives, comments, literals, operators that look ahead, numbers
// starting with 0, bytes that start no token). kSpace: a blank, which starts no token.
enum FastClass : unsigned char { kSlow, kSingle, kDecimal, kZero, kCompare, kName, kSpace };

constexpr std::array<unsigned char, 256> MakeFastClasses() {
  std::array<unsigned char, 256> table{};
  for (const char c :
       {'\n', '&', '(', ')', '*', '+', ',', '-', '.', '/', ':', '[', ']', '{', '|', '}'}) {
    table[static_cast<unsigned char>(c)] = kSingle;
  }
  for (int c = '1'; c <= '9'; ++c)
    table[static_cast<std::size_t>(c)] = kDecimal;
  table['0'] = kZero;
  for (const char c : {'<', '=', '>'})
    table[static_cast<unsigned char>(c)] = kCompare;
  for (int c = 0; c < 256; ++c) {
    if (IsNameStart(static_cast<char>(c))) table[static_cast<std::size_t>(c)] = kName;
    if (IsBlank(static_cast<char>(c))) table[static_cast<std::size_t>(c)] = kSpace;
  }
  return table;
}

constexpr std::array<unsigned char, 256> kFastClasses = MakeFastClasses();

// The number starting at line[pos] (a digit), if it is short (see short_number.h): sets its
// value and `end`, the position after it.
bool ScanFastNumber(const char* line, std::size_t size, std::size_t pos, std::size_t& end,
                    std::uint64_t& value) {
  const char* const after = ScanShortNumber(line + pos, line + size, value);
  if (after == nullptr) return false;
  end = static_cast<std::size_t>(after - line);
  return true;
}

// The operator starting at line[pos] ('<', '=' or '>'); `end` after it.
TokenKind ScanFastCompare(const char* line, std::size_t pos, std::size_t& end) {
  const char c = line[pos];
  const char next = line[pos + 1];
  end = pos + ((next == '=' || (next == c && c != '=')) ? 2 : 1);  // <=, >=, ==, <<, >>
  if (c == '<') return next == '<' ? TOKEN_SHL : next == '=' ? TOKEN_LE : TOKEN_LT;
  if (c == '>') return next == '>' ? TOKEN_SHR : next == '=' ? TOKEN_GE : TOKEN_GT;
  return next == '=' ? TOKEN_EQ : static_cast<TokenKind>('=');
}

}  // namespace

// The common case, taken without the general loop: in taken text, a token that the current line
// holds whole (a pending macro body is delivered by GetNextToken itself). Anything else goes to
// ScanToken, which runs the whole algorithm from the same place.
TokenKind Lexer::ScanNextToken() {
  File* const file = mTop;
  if (file == nullptr || !IsActive()) return ScanToken();
  const char* const line = file->mLine.data();
  const std::size_t size = file->mLine.size();
  std::size_t pos = file->mLinePos;
  while (pos < size && IsBlank(line[pos]))
    ++pos;
  if (pos == size) return ScanToken();
  const char c = line[pos];
  std::size_t end = pos + 1;  // the line ends with '\n', which ends every run below
  TokenKind kind;
  std::uint64_t value = 0;
  switch (kFastClasses[static_cast<unsigned char>(c)]) {
    case kSingle:
      kind = static_cast<unsigned char>(c);
      mToken.stringValue.clear();
      break;
    case kZero:
    case kDecimal:
      if (!ScanFastNumber(line, size, pos, end, value)) return ScanToken();
      kind = TOKEN_NUMBER;
      mToken.stringValue.clear();
      break;
    case kCompare:
      kind = ScanFastCompare(line, pos, end);
      mToken.stringValue.clear();
      break;
    case kName:
      while (IsNameChar(line[end]))
        ++end;
      if (!mMacros.empty() && ExpandMacro(std::string_view(line + pos, end - pos))) {
        file->mLinePos = end;
        if (mPendingTokens.end - mPendingTokens.next == 1) {
          DeliverPendingToken();  // a body of one token, such as a number: the usual macro
          return mToken.kind;
        }
        SetTokenText(c);
        mToken.numberValue = 0;
        return ScanToken();  // delivers the body, or goes on past an empty one
      }
      mToken.stringValue.assign(line + pos, end - pos);
      kind = TOKEN_IDENTIFIER;
      break;
    default:
      return ScanToken();
  }
  file->mLinePos = end;
  SetTokenText(c);
  mToken.numberValue = static_cast<std::int64_t>(value);
  mToken.kind = kind;
  return kind;
}

TokenKind Lexer::ScanToken() {
  bool lineEndDue = false;
  for (;;) {
    TokenKind kind;
    char c;
    if (!mPendingTokens.empty()) {
      DeliverPendingToken();
      kind = mToken.kind;
    } else if (!ReadNonBlankChar(c)) {
      kind = mToken.kind = TOKEN_EOF;
    } else {
      SetTokenText(c);
      mToken.numberValue = 0;
      mToken.stringValue.clear();
      if (c == '#') {
        if (mToken.kind != '\n') {
          Fail("The # sign of a preprocessor directive must be the first charactor on a line");
        }
        kind = ProcessDirective();
        if (kind == kDirectiveLineOpen) {
          lineEndDue = true;
          continue;
        }
        mToken.kind = kind;
      } else if (!IsActive()) {
        if (c != '\n' && mTop != nullptr) SkipInactiveLine();
        continue;
      } else if (IsNameStart(c)) {
        kind = ScanIdentifier(c);
        if (kind == TOKEN_EOF) continue;  // a macro: its body is pending now
      } else {
        kind = ScanOperator(c);
      }
      mToken.kind = kind;
    }
    if (lineEndDue) RequireLineEnd();
    return kind;
  }
}

namespace {

// Thrown by the sources below where the token path must take over.
struct LeaveToTokens {};

// What the sources below share: they report nothing, they leave it to the token path.
struct LeavesErrorsToTokens {
  std::string_view Name() const { throw LeaveToTokens(); }
  [[noreturn]] void Fail(const std::string&) const { throw LeaveToTokens(); }
  [[noreturn]] void FailSyntax() const { throw LeaveToTokens(); }
};

// Whether a stored body token may be taken without the scanner: numbers and operators only.
bool IsPlainBodyToken(const MacroToken& token) {
  return token.kind != TOKEN_IDENTIFIER && token.kind != TOKEN_STRING &&
         token.kind != TOKEN_DIRECTIVE;
}

const SymbolTable* const kNoTables[3] = {nullptr, nullptr, nullptr};

// Tokens that ScanPeekedLine has read, for the expression parser. The current token is never
// the last one, a '\n', when Next is called: the parser stops there.
class LineTokenSource : public LeavesErrorsToTokens {
 public:
  explicit LineTokenSource(const Lexer::LineToken* current) : mCurrent(current) {}

  TokenKind Next() { return (++mCurrent)->kind; }
  TokenKind Kind() const { return mCurrent->kind; }
  std::int64_t Number() const { return mCurrent->value; }

  const Lexer::LineToken* Current() const { return mCurrent; }

 private:
  const Lexer::LineToken* mCurrent;
};

// The tokens of a stored body, for the expression parser; anything but numbers and operators
// ends the attempt, as does every error.
class BodySource : public LeavesErrorsToTokens {
 public:
  explicit BodySource(const MacroTable::Body& body) : mNext(body.begin), mEnd(body.end) {}

  TokenKind Next() {
    if (mNext == mEnd) return mKind = '\n';
    const MacroToken& token = *mNext++;
    if (!IsPlainBodyToken(token)) throw LeaveToTokens();
    mKind = token.kind;
    mNumber = token.numberValue;
    return mKind;
  }
  TokenKind Kind() const { return mKind; }
  std::int64_t Number() const { return mNumber; }

 private:
  const MacroToken* mNext;
  const MacroToken* mEnd;
  TokenKind mKind = '\n';
  std::int64_t mNumber = 0;
};

}  // namespace

// Only a body that opens with '(' and closes it with its last token reads as one operand in every
// context: "(1) + (2)" after a '*' would not. Its depth is bounded so that the parser can tell
// whether its parentheses would nest too deeply where it is used.
bool Lexer::ValueOfBody(const MacroTable::Body& body, std::int64_t& value) {
  if (body.size() == 1 && body.begin->kind == TOKEN_NUMBER) {
    value = body.begin->numberValue;
    return true;
  }
  if (body.size() < 3 || body.begin->kind != '(') return false;
  int depth = 0;
  for (const MacroToken* token = body.begin; token != body.end; ++token) {
    if (token->kind == '(') {
      if (++depth > ExpressionRules::kMaxValueNesting) return false;
    } else if (token->kind == ')') {
      if (--depth == 0 && token + 1 != body.end) return false;
    }
  }
  if (depth != 0) return false;
  BodySource source(body);
  try {
    value = ExpressionParser<BodySource>(source, kNoTables, false).Parse();
  } catch (const LeaveToTokens&) {
    return false;
  }
  return source.Kind() == '\n';
}

// The same tokens the scanner's fast path delivers, read straight from the line, and the bodies
// of the macros it names. Whatever the fast path leaves to the general one (strings, names that
// are no macros, long numbers, stray bytes) ends the attempt.
bool Lexer::ScanPeekedLine(std::string_view line, std::size_t pos, LineToken* tokens,
                           std::size_t capacity, std::size_t& expanded) const {
  assert(!line.empty() && line.back() == '\n' && pos < line.size() && capacity >= 2);
  const char* p = line.data() + pos;  // the line ends with '\n', which ends every run below
  LineToken* out = tokens + 1;
  // Room for one more token, and for the '\n' that ends them.
  LineToken* const last = tokens + capacity - 1;
  for (;;) {
    const char c = *p;
    const unsigned char fastClass = kFastClasses[static_cast<unsigned char>(c)];
    if (fastClass == kSpace) {
      ++p;
      continue;
    }
    if (out == last) return false;
    switch (fastClass) {
      case kSingle:
        *out++ = LineToken{0, static_cast<unsigned char>(c), false};
        if (c == '\n') return true;
        ++p;
        break;
      case kZero:
      case kDecimal: {
        std::uint64_t value;
        p = ScanShortNumber(p, line.data() + line.size(), value);
        if (p == nullptr) return false;
        *out++ = LineToken{static_cast<std::int64_t>(value), TOKEN_NUMBER, false};
        break;
      }
      case kCompare: {
        std::size_t end;
        *out++ = LineToken{0, ScanFastCompare(p, 0, end), false};
        p += end;
        break;
      }
      case kName: {
        const char* end = p + 1;
        while (IsNameChar(*end))
          ++end;
        MacroTable::Body body;
        if (!mMacros.Find(std::string_view(p, static_cast<std::size_t>(end - p)), body)) {
          return false;
        }
        p = end;
        expanded += body.size();
        if (body.valueKnown) {
          // A number, or a whole parenthesized expression: one operand, whatever surrounds it.
          *out++ = LineToken{body.value, body.size() == 1 ? TOKEN_NUMBER : TOKEN_VALUE, true};
          break;
        }
        if (body.size() > static_cast<std::size_t>(last - out)) return false;
        for (const MacroToken* token = body.begin; token != body.end; ++token) {
          if (!IsPlainBodyToken(*token)) return false;
          *out++ = LineToken{token->numberValue, token->kind, true};
        }
        break;
      }
      default:
        if (c != ';') return false;
        *out = LineToken{0, '\n', false};  // a comment ends the line
        return true;
    }
  }
}

namespace {

// One field of a peeked line, evaluated as its characters are read: operators wait on a stack
// until one that binds no tighter arrives (all of them associate to the left), so a field costs
// one pass and no token array. It takes the usual fields only: numbers, macros known as one
// operand, + - * / & | << >>, signs, parentheses and bit sets of plain numbers. Anything else
// (comparisons, whose chains group their own way, other macros, deep nesting, an error) is left
// to ScanPeekedLine and the parser.
class FieldEvaluator : private ExpressionRules {
  // Levels of what may follow an operand, besides the binary operators' own: what ends the
  // field, a ')', and anything that has no place there. '<' and '>' are read as shifts when
  // doubled. On the stack, open groups and the bottom sit below every operator.
  enum : int { kNotHere = -4, kBottom = -3, kGroup = -2, kEnd = -1, kClose = 0 };
  static constexpr std::array<signed char, 256> MakeOperatorLevels() {
    std::array<signed char, 256> levels{};
    for (signed char& level : levels)
      level = kNotHere;
    levels['|'] = kOr;
    levels['&'] = kAnd;
    levels['<'] = levels['>'] = kShift;
    levels['+'] = levels['-'] = kAdditive;
    levels['*'] = levels['/'] = kMultiplicative;
    levels[')'] = kClose;
    levels[','] = levels[';'] = levels['\n'] = kEnd;
    return levels;
  }

 public:
  /// `lineEnd` is the end of the line that holds the field.
  FieldEvaluator(const MacroTable& macros, const char* lineEnd)
      : mMacros(macros), mLineEnd(lineEnd) {
    mStack[0] = Waiting{0, '\n', kBottom};
  }

  bool Evaluate(const char*& field, std::int64_t& value, std::size_t& expanded) {
    const char* p = field;
    std::size_t used = 0;  // macro tokens
    for (;;) {
      // An operand, after its signs.
      bool negate = false;
      std::int64_t operand;
      for (;;) {
        while (IsBlank(*p))
          ++p;
        if (*p == '+') {
          ++p;
        } else if (*p == '-') {
          negate = !negate;
          ++p;
        } else if (*p == '(') {
          if (mDepth == kStackSize - 1) return false;
          mStack[++mDepth] = Waiting{negate ? 1 : 0, '(', kGroup};
          negate = false;
          ++p;
        } else {
          break;
        }
      }
      if (IsDigit(*p)) {
        std::uint64_t number;
        p = ScanShortNumber(p, mLineEnd, number);
        if (p == nullptr) return false;
        operand = static_cast<std::int64_t>(number);
      } else if (IsNameStart(*p)) {
        const char* end = SkipNameChars(p + 1, mLineEnd);
        MacroTable::Body body;
        if (!mMacros.Find(std::string_view(p, static_cast<std::size_t>(end - p)), body) ||
            !body.valueKnown) {
          return false;
        }
        used += body.size();
        operand = body.value;
        p = end;
      } else if (*p == '{') {
        p = ReadBitSet(p + 1, operand);
        if (p == nullptr) return false;
      } else {
        return false;
      }
      if (negate) operand = Wrap(0 - static_cast<Bits>(operand));

      // The operators after it: each applies what waits and binds at least as tightly.
      for (;;) {
        while (IsBlank(*p))
          ++p;
        static constexpr std::array<signed char, 256> kOperatorLevels = MakeOperatorLevels();
        TokenKind op = static_cast<unsigned char>(*p);
        int level = kOperatorLevels[static_cast<unsigned char>(*p)];
        int length = 1;
        if (level == kShift) {
          if (p[1] != p[0]) return false;  // a comparison
          op = *p == '<' ? TOKEN_SHL : TOKEN_SHR;
          length = 2;
        } else if (level == kNotHere) {
          return false;
        }
        // The groups and the bottom of the stack stop this: their levels are below every other.
        while (mStack[mDepth].level >= level) {
          const Waiting& waiting = mStack[mDepth--];
          if (!Compute(waiting.op, waiting.left, operand, operand)) return false;
        }
        if (level == kEnd) {
          if (mDepth > 0) return false;  // a '(' left open
          value = operand;
          expanded += used;
          field = p;
          return true;
        }
        if (level == kClose) {
          if (mDepth == 0) return false;  // the field would end here
          if (mStack[mDepth--].left != 0) operand = Wrap(0 - static_cast<Bits>(operand));
          ++p;
          continue;
        }
        if (mDepth == kStackSize - 1) return false;
        mStack[++mDepth] = Waiting{operand, op, level};
        p += length;
        break;
      }
    }
  }

 private:
  // bitset = item ("," item)* "}"    item = number ("-" number)?
  const char* ReadBitSet(const char* p, std::int64_t& mask) const {
    Bits bits = 0;
    for (;;) {
      std::uint64_t a;
      p = ReadBitNumber(p, a);
      if (p == nullptr) return nullptr;
      std::uint64_t b = a;
      if (*p == '-') {
        p = ReadBitNumber(p + 1, b);
        if (p == nullptr) return nullptr;
      }
      for (std::uint64_t bit = a < b ? a : b; bit <= (a < b ? b : a); ++bit)
        bits |= Bits(1) << bit;
      if (*p == '}') {
        mask = Wrap(bits);
        return p + 1;
      }
      if (*p != ',') return nullptr;
      ++p;
    }
  }

  // A bit number written as a number, and the blanks after it.
  const char* ReadBitNumber(const char* p, std::uint64_t& bit) const {
    while (IsBlank(*p))
      ++p;
    if (!IsDigit(*p)) return nullptr;
    p = ScanShortNumber(p, mLineEnd, bit);
    if (p == nullptr || bit > 63) return nullptr;
    while (IsBlank(*p))
      ++p;
    return p;
  }

  // An operator waiting for its right operand; or an open parenthesis (kGroup), with `left`
  // telling whether a '-' stands before it; or the bottom of the stack.
  struct Waiting {
    std::int64_t left;
    TokenKind op;
    int level;
  };
  static const int kStackSize = 32;

  const MacroTable& mMacros;
  const char* mLineEnd;
  Waiting mStack[kStackSize];
  int mDepth = 0;  // of the top; mStack[0] is the bottom
};

}  // namespace

bool Lexer::EvaluatePeekedField(const char*& field, std::int64_t& value,
                                std::size_t& expanded) const {
  return FieldEvaluator(mMacros, mTop->mLine.data() + mTop->mLine.size())
      .Evaluate(field, value, expanded);
}

bool Lexer::EvaluateLineTokens(const LineToken* tokens, std::size_t& at, std::int64_t& value) {
  assert(at > 0);
  LineTokenSource source(tokens + at - 1);
  try {
    value = ExpressionParser<LineTokenSource>(source, kNoTables, false).Parse();
  } catch (const LeaveToTokens&) {
    return false;
  }
  at = static_cast<std::size_t>(source.Current() - tokens);
  return true;
}

bool Lexer::CheckNext(char expected) {
  char c;
  if (!ReadChar(c)) return false;
  if (c == expected) return true;
  UngetChar();
  return false;
}

TokenKind Lexer::ScanOperator(char c) {
  switch (c) {
    case '\n':
    case '&':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '[':
    case ']':
    case '{':
    case '|':
    case '}':
      return static_cast<unsigned char>(c);
    case '<':
      if (CheckNext('<')) return TOKEN_SHL;
      return CheckNext('=') ? TOKEN_LE : TOKEN_LT;
    case '>':
      if (CheckNext('=')) return TOKEN_GE;
      return CheckNext('>') ? TOKEN_SHR : TOKEN_GT;
    case '=':
      if (CheckNext('=')) return TOKEN_EQ;
      return '=';
    case '"':
      return ScanString();
    case '\'':
      return ScanCharConstant();
    case '@':
      return ScanDirectiveName();
    case '\\':
      Fail("Illegal escape sequence");
    default:
      if (IsDigit(c)) return ScanNumber(c);
      Fail(std::string("Unknown charactor '") + c + "'");
  }
}

void Lexer::ReadName(char first, std::string& name) {
  // Names never span lines: take the run straight from the line buffer, whose final '\n' ends
  // every run.
  const char* line = mTop->mLine.data();
  const std::size_t start = mTop->mLinePos - 1;
  assert(line[start] == first);
  static_cast<void>(first);
  std::size_t end = mTop->mLinePos;
  while (IsNameChar(line[end]))
    ++end;
  name.assign(line + start, end - start);
  mTop->mLinePos = end;
}

// Returns TOKEN_EOF when the name was a macro whose body now waits in mPendingTokens.
TokenKind Lexer::ScanIdentifier(char first) {
  ReadName(first, mToken.stringValue);
  return ExpandMacro(mToken.stringValue) ? TOKEN_EOF : TOKEN_IDENTIFIER;
}

// When `name` is a macro, makes its body pending.
bool Lexer::ExpandMacro(std::string_view name) {
  MacroTable::Body body;
  if (!mMacros.Find(name, body)) return false;
  CountExpandedTokens(body.size());
  mPendingTokens.next = body.begin;
  mPendingTokens.end = body.end;
  return true;
}

void Lexer::AppendDigit(std::uint64_t& value, unsigned base, unsigned digit) {
  if ((static_cast<std::int64_t>(value) >> 60) != 0) Fail("Constant too big");
  value = value * base + digit;
}

TokenKind Lexer::ScanNumber(char first) {
  std::uint64_t value = static_cast<unsigned>(first - '0');
  char c;
  if (first == '0') {
    if (!ReadChar(c)) {
      mToken.numberValue = 0;
      return TOKEN_NUMBER;
    }
    if (c == 'x' || c == 'X' || c == 'b' || c == 'B') {
      const bool hex = c == 'x' || c == 'X';
      if (!ReadChar(c) || !(hex ? IsHexDigit(c) : (c == '0' || c == '1'))) {
        Fail(hex ? "Hexadecimal constants are illegal." : "Binary number constants are illegal.");
      }
      value = static_cast<unsigned>(HexDigitValue(static_cast<unsigned char>(c)));
      while (ReadChar(c)) {
        if (!(hex ? IsHexDigit(c) : (c == '0' || c == '1'))) {
          UngetChar();
          break;
        }
        AppendDigit(value, hex ? 16 : 2,
                    static_cast<unsigned>(HexDigitValue(static_cast<unsigned char>(c))));
      }
      mToken.numberValue = static_cast<std::int64_t>(value);
      return TOKEN_NUMBER;
    }
    UngetChar();
  }
  // Digits never span lines: read them straight from the line buffer, whose final '\n' ends
  // every run.
  const char* line = mTop->mLine.data();
  std::size_t pos = mTop->mLinePos;
  while (IsDigit(line[pos]))
    AppendDigit(value, 10, static_cast<unsigned>(line[pos++] - '0'));
  mTop->mLinePos = pos;
  mToken.numberValue = static_cast<std::int64_t>(value);
  return TOKEN_NUMBER;
}

void Lexer::FailNewlineInConstant() const {
  Fail("Newline in constant");
}

TokenKind Lexer::ScanString() {
  std::string& value = mToken.stringValue;
  char c;
  for (;;) {
    if (!ReadChar(c) || c == '\n') FailNewlineInConstant();
    if (c == '"') return TOKEN_STRING;
    if (c == '\\') {
      if (!ReadChar(c)) FailNewlineInConstant();
      c = EscapeChar(c);
    }
    value += c;
  }
}

TokenKind Lexer::ScanCharConstant() {
  char c = '\n';
  if (ReadChar(c) && c == '\'') Fail("Empty character constant");
  if (c == '\\' && ReadChar(c)) c = EscapeChar(c);
  mToken.numberValue = static_cast<signed char>(c);
  if (!ReadChar(c) || c != '\'') Fail("Too many characters in constant");
  return TOKEN_NUMBER;
}

TokenKind Lexer::ScanDirectiveName() {
  char c;
  if (!ReadChar(c) || !IsNameStart(c)) Fail("Empty directive name");
  ReadName(c, mToken.stringValue);
  return TOKEN_DIRECTIVE;
}

char Lexer::EscapeChar(char c) {
  switch (c) {
    case '0':
      return 0;
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 'f':
      return 12;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'v':
      return 11;
    default:
      return c;
  }
}

int Lexer::HexDigitValue(int c) {
  // A failed assertion reports the condition as written here.
  // clang-format off
  assert(isxdigit( c ));
  // clang-format on
  return static_cast<int>(short_number::HexValue(static_cast<char>(c)));
}
