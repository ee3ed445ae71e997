// The lexer: turns a .mus source and the files it includes into a stream of tokens, running the
// preprocessor (directives, conditionals, macros, #include) on the way.
#ifndef LEXER_LEXER_H
#define LEXER_LEXER_H

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lexer/char_class.h"
#include "lexer/macro_table.h"
#include "util/smart_ptr.h"

/// A single-character token has its character code as kind; the others start at 256.
typedef std::int32_t TokenKind;

enum : TokenKind {
  TOKEN_EOF = 256,
  TOKEN_IDENTIFIER = 257,
  TOKEN_NUMBER = 258,
  TOKEN_STRING = 259,
  TOKEN_DIRECTIVE = 260,
  TOKEN_LT = 261,
  TOKEN_LE = 262,
  TOKEN_GT = 263,
  TOKEN_GE = 264,
  TOKEN_EQ = 265,
  TOKEN_SHL = 266,
  TOKEN_SHR = 267,
  // An operand whose value the token source already knows: a macro whose body is a whole
  // parenthesized expression. Only the evaluation of peeked lines delivers it, and only to the
  // expression parser.
  TOKEN_VALUE = 268,
};

class Lexer {
 public:
  struct TokenInfo {
    TokenKind kind = '\n';
    std::string text;  ///< the token's first character as written
    std::int64_t numberValue = 0;
    std::string stringValue;  ///< identifier or directive name, string contents
  };
  typedef std::vector<TokenInfo> TokenList;

  /// A positioned syntax error: "file:line: message\n" followed by the current line's text.
  class Exception : public std::exception {
   public:
    Exception(const std::string& message, const Lexer& lexer);
    /// The same at a position saved earlier.
    Exception(const std::string& message, const std::string& fileName, int lineNumber,
              const std::string& lineText);
    const char* what() const noexcept override { return mMessage.c_str(); }
    /// The whole message; unlike what(), not cut short by a NUL byte from the source.
    const std::string& Message() const { return mMessage; }

   private:
    std::string mMessage;
  };

  /// Thrown when characters are asked for after the end of all input with SetFailOnEnd(true).
  struct Failure {};

  /// One source text being read, line by line, with the position that errors report.
  class File {
   public:
    File(std::istream& stream, const std::string& fileName);
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// The next character of the file, each line ending with '\n'; false once the file ended.
    bool ReadChar(char& c) {
      if (mLinePos < mLine.size()) {
        c = mLine[mLinePos++];
        return true;
      }
      return ReadLine() && ReadChar(c);
    }
    void UngetChar();
    /// Reads the next line into mLine; false when the file has ended or failed.
    bool NextLine() { return ReadLine(); }
    /// Why the file stopped before its end (the stream failed, a line or the line count grew
    /// past what the tool takes), or null; the file then reads as ended.
    const char* Fault() const { return mFault; }

    std::istream& mStream;
    std::string mFileName;
    /// The current line, ending with '\n': where it lies in the block read ahead, or mLineCopy.
    std::string_view mLine;
    std::size_t mLinePos = 0;
    int mLineNumber = 0;

   private:
    bool ReadLine();
    bool CountLine();
    bool FillBuffer();

    // Lines are cut from blocks read ahead, reading the bytes the way Windows' text mode does:
    // CR LF reads as LF and Ctrl-Z ends the file, on every platform.
    std::unique_ptr<char[]> mBuffer;
    std::string mLineCopy;
    std::size_t mBufferPos = 0;
    std::size_t mBufferEnd = 0;
    bool mStreamDone = false;  // no more bytes will come from the stream
    bool mEnded = false;       // the last line has been delivered
    bool mReadError = false;
    const char* mFault = nullptr;
  };

  /// An included file: owns its stream, closed when the last holder lets go.
  class IncludeFile : public File {
   public:
    explicit IncludeFile(const std::string& fileName);
    bool IsOpen() const { return mOpen; }

   private:
    std::ifstream mInput;
    bool mOpen = false;
  };

  /// One open #if/#ifdef/#ifndef group, plus one per #elif seen in it.
  struct Condition {
    bool value;     ///< the condition of the directive that pushed the entry held
    bool inElse;    ///< an #else or #elif of the group has been met since
    bool fromElif;  ///< pushed by #elif; closed by the group's #endif
  };

  /// Reads `stream` (owned by the caller) as the file `fileName`.
  Lexer(std::istream& stream, const std::string& fileName);
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  /// Appends `directory`, made absolute against the current directory, to the angle-bracket
  /// include search.
  void AddIncludeDir(const std::string& directory);

  /// Scans the next token, makes it current and returns its kind.
  TokenKind GetNextToken() {
    // A token of a macro body is the most frequent case and the cheapest: keep it inline.
    if (!mPendingTokens.empty()) {
      DeliverPendingToken();
      return mToken.kind;
    }
    return ScanNextToken();
  }

  TokenKind GetTokenKind() const { return mToken.kind; }
  std::string GetTokenText() const { return mToken.text; }
  TokenInfo GetTokenInfo() const;
  bool IsNumberValueAvailable() const { return mToken.kind == TOKEN_NUMBER; }
  bool IsStringValueAvailable() const {
    return mToken.kind == TOKEN_IDENTIFIER || mToken.kind == TOKEN_STRING ||
           mToken.kind == TOKEN_DIRECTIVE;
  }
  std::int64_t GetNumberValue() const {
    assert(IsNumberValueAvailable());
    return mToken.numberValue;
  }
  std::string GetStringValue() const;
  /// The current string value without a copy.
  const std::string& StringValue() const;

  std::string GetFileName() const;
  /// The same without a copy; valid until the lexer reads on.
  std::string_view FileName() const { return mTop ? std::string_view(mTop->mFileName) : ""; }
  /// How often the current file has changed (a file entered or left): while this stays the
  /// same, so does the file.
  std::uint64_t FileChanges() const { return mFileChanges; }
  int GetLineNumber() const { return mTop ? mTop->mLineNumber : 0; }
  std::string GetLineText() const;
  /// The same without a copy; valid until the lexer reads on.
  std::string_view GetLineTextView() const {
    return mTop ? std::string_view(mTop->mLine) : std::string_view();
  }

  /// Throws "Expected <what>, but found ..." unless the current token has `kind`.
  void ExpectToken(TokenKind kind, const std::string& what) const {
    if (mToken.kind != kind) FailExpected(what);
  }
  /// Throws "<name> is out of range, ..." unless min <= value <= max.
  void CheckRange(const std::string& name, std::int64_t value, std::int64_t min,
                  std::int64_t max) const {
    if (value < min || value > max) FailRange(name, value, min, max);
  }
  void SetFailOnEnd(bool failOnEnd) { mFailOnEnd = failOnEnd; }

  /// Throws a Lexer::Exception positioned here.
  [[noreturn]] void Fail(const std::string& message) const;
  /// Throws the syntax error that quotes the current token's text.
  [[noreturn]] void FailSyntax() const;
  [[noreturn]] void FailExpected(const std::string& what) const;
  [[noreturn]] void FailRange(const std::string& name, std::int64_t value, std::int64_t min,
                              std::int64_t max) const;

  /// The search of an #include: beside the including file for a quoted name, in the include
  /// directories for an angle-bracket one. Throws when no candidate opens.
  SharedPtr<File> OpenIncludeFile(const std::string& name, bool angle);

  /// The escaped character for the character after a backslash.
  static char EscapeChar(char c);
  static int HexDigitValue(int c);

  /// For a caller that can take a whole line of plain text at once: when the next token would
  /// be the first of a new line of taken text (the current token ends a line, no macro body is
  /// pending), reads that line and returns it, its final '\n' included, with nothing of it
  /// consumed. Otherwise (also at the end of a file) an empty view, and nothing has changed
  /// that the next GetNextToken would not change the same way.
  std::string_view PeekLine();
  /// Consumes the line that PeekLine returned, as reading its tokens would: its line end
  /// becomes the current token.
  void SkipPeekedLine();
  /// For a caller that reads a peeked line itself: evaluates the field that starts at `field`
  /// as ExpressionEvaluator would over its tokens, with no symbol table, when it holds only
  /// numbers, the usual operators (no comparisons), parentheses, bit sets of numbers and macros
  /// whose bodies read as one operand. On success `field` is at the ',', ';' or line end after
  /// it, and the macro tokens used are added to `expanded`. False for anything else, with
  /// nothing changed: ScanPeekedLine and EvaluateLineTokens take more.
  bool EvaluatePeekedField(const char*& field, std::int64_t& value, std::size_t& expanded) const;
  /// A token of a peeked line as ScanPeekedLine delivers it to EvaluateLineTokens.
  struct LineToken {
    std::int64_t value;  // of a number or TOKEN_VALUE
    TokenKind kind;
    bool fromBody;  // delivered by a macro body rather than written in the line
  };
  /// For a caller that reads a peeked line itself: the tokens from line[pos] to the line's end
  /// or comment, as the scanner would deliver them, into tokens[1] on, with a '\n' token last;
  /// tokens[0] is left for the caller (EvaluateLineTokens reads it as the token before an
  /// expression). A macro whose body reads as one operand becomes one token, a number or
  /// TOKEN_VALUE. The macro tokens used are added to `expanded`. False when the text holds
  /// anything but numbers, operators and macros whose bodies hold only those, or when the tokens
  /// would not fit in `capacity` entries; the line is then for the token path, which reports
  /// what it finds. Changes nothing in the lexer.
  bool ScanPeekedLine(std::string_view line, std::size_t pos, LineToken* tokens,
                      std::size_t capacity, std::size_t& expanded) const;
  /// Evaluates the expression that starts at tokens[at] as ExpressionEvaluator would over the
  /// same tokens, with no symbol table; on success `at` is the index of the token after it.
  /// False where the evaluator would fail.
  static bool EvaluateLineTokens(const LineToken* tokens, std::size_t& at, std::int64_t& value);
  /// Counts `count` macro tokens that a line read with ScanPeekedLine used; false, with
  /// nothing counted, when they would exceed the budget (the token path then reports it).
  bool TakeExpandedTokens(std::size_t count) {
    if (count > kMaxExpandedTokens - mExpandedTokens) return false;
    mExpandedTokens += count;
    return true;
  }
  /// Whether `name` is a macro, that is, would not be read as an identifier.
  bool IsMacro(std::string_view name) const { return mMacros.Contains(name); }

  /// Whether text at the current position is taken or skipped.
  bool IsActive() const { return mEvaluatingCondition || mInactiveConditions == 0; }

  /// Limits that keep hostile input within bounded memory and stack.
  static const std::size_t kMaxNestedFiles = 257;
  static const std::size_t kMaxMacroBodyTokens = 1000000;
  static const std::size_t kMaxMacroBytes = std::size_t(256) << 20;
  static const int kMaxDirectiveNesting = 64;
  static const std::size_t kMaxLineLength = std::size_t(256) << 20;
  static const std::uint64_t kMaxExpandedTokens = 100000000;

 private:
  /// The value of a body that reads as one operand wherever it is used; false for others.
  static bool ValueOfBody(const MacroTable::Body& body, std::int64_t& value);
  /// The rest of a macro body being delivered, from `next` to `end`. The body is held by the
  /// macro table: a body is delivered whole before the scanner reads another character, so no
  /// directive can change or drop it meanwhile.
  struct PendingTokens {
    const MacroToken* next = nullptr;
    const MacroToken* end = nullptr;
    bool empty() const { return next == end; }
  };

  bool ReadChar(char& c) {
    if (mTop != nullptr && mTop->mLinePos < mTop->mLine.size()) {
      c = mTop->mLine[mTop->mLinePos++];
      return true;
    }
    return ReadCharAcrossLines(c);
  }
  bool ReadCharAcrossLines(char& c);
  void SetTokenText(char c) {
    // The text is one character once the first token has been read; avoid reassigning it.
    if (mToken.text.size() == 1) {
      mToken.text[0] = c;
    } else {
      mToken.text.assign(1, c);
    }
  }
  void UngetChar();
  /// The first character that is not a blank; a ';' comment reads as the newline ending it.
  bool ReadNonBlankChar(char& c) {
    // Within the current line, straight from its buffer; the line always ends with '\n'.
    if (File* file = mTop) {
      const char* line = file->mLine.data();
      const std::size_t size = file->mLine.size();
      std::size_t pos = file->mLinePos;
      while (pos < size) {
        c = line[pos++];
        if (IsBlank(c)) continue;
        if (c == ';') {
          c = '\n';
          pos = size;
        }
        file->mLinePos = pos;
        return true;
      }
    }
    return ReadNonBlankCharAcrossLines(c);
  }
  bool ReadNonBlankCharAcrossLines(char& c);
  /// Copies the next token of the pending macro body into mToken.
  void DeliverPendingToken() {
    const MacroToken& token = *mPendingTokens.next++;
    mToken.kind = token.kind;
    SetTokenText(token.text);
    mToken.numberValue = token.numberValue;
    if (token.stringLength == 0) {
      mToken.stringValue.clear();
    } else {
      mToken.stringValue = mMacros.StringValue(token);
    }
  }
  TokenKind ScanNextToken();
  TokenKind ScanToken();
  bool ExpandMacro(std::string_view name);
  void PushFile(const SharedPtr<File>& file);
  void PopFile();

  // Scanner.
  void SkipInactiveLine();
  TokenKind ScanIdentifier(char first);
  TokenKind ScanNumber(char first);
  TokenKind ScanString();
  TokenKind ScanCharConstant();
  TokenKind ScanDirectiveName();
  TokenKind ScanOperator(char c);
  bool CheckNext(char expected);
  void AppendDigit(std::uint64_t& value, unsigned base, unsigned digit);
  void ReadName(char first, std::string& name);
  [[noreturn]] void FailNewlineInConstant() const;

  // Directives.
  /// Result of ProcessDirective besides a line end: the directive is done, and the next token
  /// that GetNextToken finds must end its line.
  static const TokenKind kDirectiveLineOpen = -1;
  TokenKind ProcessDirective();
  TokenKind DirectiveIf();
  TokenKind DirectiveIfdef(const std::string& directive);
  TokenKind DirectiveElif();
  TokenKind DirectiveElse();
  TokenKind DirectiveEndif();
  TokenKind DirectiveDefine();
  TokenKind DirectiveUndef();
  TokenKind DirectiveInclude();
  TokenKind SkipDirectiveLine();
  TokenKind RequireLineEnd() const;
  void ExpectBlankAfterName(const std::string& directive);
  void ReadIdentifierOperand(const std::string& directive, std::string& identifier);
  bool EvaluateCondition();
  void ReadAngleName(std::string& name);
  void PushCondition(bool value, bool fromElif);
  void PopCondition();
  void EnterElse();
  void AppendToBody(std::size_t& bodyBytes, const TokenInfo& token);
  void AppendStoredToBody(std::size_t& bodyBytes, const MacroToken& token);
  void CheckBodyBounds(std::size_t& bodyBytes, std::size_t stringBytes);
  TokenInfo StoredToken(const MacroToken& token) const;
  void CountExpandedTokens(std::size_t count) {
    mExpandedTokens += count;
    if (mExpandedTokens > kMaxExpandedTokens) FailExpansionTooLarge();
  }
  [[noreturn]] void FailExpansionTooLarge() const;
  void ForgetMacro(const std::string& name);

  std::vector<SharedPtr<File> > mFileStack;
  MacroTable mMacros;
  PendingTokens mPendingTokens;
  std::vector<std::string> mIncludeDirs;
  std::vector<Condition> mConditionStack;
  TokenInfo mToken;
  bool mFailOnEnd = false;
  bool mEvaluatingCondition = false;

  File* mTop = nullptr;  // mFileStack.back(), or null once all input ended
  std::uint64_t mFileChanges = 0;
  std::size_t mInactiveConditions = 0;  // entries whose value equals inElse
  std::size_t mMacroBytes = 0;          // what the stored macro bodies hold
  int mDirectiveNesting = 0;            // directives begun inside an unfinished directive
  std::uint64_t mExpandedTokens = 0;    // tokens that macro bodies have delivered or copied
};

typedef Lexer::TokenList TokenList;

/// Whether two tokens are the same for a macro redefinition: kinds and values, never texts.
bool IsSameToken(const Lexer::TokenInfo& a, const Lexer::TokenInfo& b);

#endif  // LEXER_LEXER_H
