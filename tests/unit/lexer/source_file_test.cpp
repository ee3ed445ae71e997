// Tests of the lexer's source files: lines and positions across file ends, bytes read the same
// way on every platform (CR LF, Ctrl-Z), a stream that fails while being read, the include
// search, and the include directories made absolute.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "lexer/lexer.h"
#include "lexer/token_description.h"
#include "seqconv/my_exception.h"

namespace fs = std::filesystem;

namespace {

/// The line text, shortened in the middle when long so that a failing comparison stays readable
/// (the ends, where line terminators are, stay whole).
std::string ShortLine(const std::string& line) {
  if (line.size() <= 60) return EscapeBytes(line);
  return EscapeBytes(line.substr(0, 20)) + "...(" + std::to_string(line.size()) + " bytes)..." +
         EscapeBytes(line.substr(line.size() - 20));
}

/// `text` with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

/// Every token up to the end of input, one per line with the position after it:
/// `ident(a) songs.mus:1 "a\x0A"`. An error ends the trace with `error: <message>`. `root`,
/// when given, is shown as <root>.
std::string TraceLexer(Lexer& lexer, const std::string& root = std::string()) {
  std::string trace;
  try {
    for (int count = 0;; ++count) {
      if (count == 100000) return trace + "no end of input\n";
      const TokenKind kind = lexer.GetNextToken();
      trace += DescribeToken(lexer) + " " + lexer.GetFileName() + ":" +
               std::to_string(lexer.GetLineNumber()) + " \"" + ShortLine(lexer.GetLineText()) +
               "\"\n";
      if (kind == TOKEN_EOF) break;
    }
  } catch (const Lexer::Exception& e) {
    trace += "error: " + EscapeBytes(e.Message()) + "\n";
  }
  return ReplaceAll(trace, root, "<root>");
}

std::string Trace(const std::string& text) {
  std::istringstream stream(text);
  Lexer lexer(stream, "songs.mus");
  return TraceLexer(lexer);
}

struct TraceRow {
  std::string input;
  std::string trace;
};

TEST(SourceFile, LinesAndPositionsAcrossTheFileEnd) {
  const TraceRow rows[] = {
      // A final line feed is followed by one more, empty line; the file end is one more line
      // end, after which no file is open.
      {"a\nb\n",
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "ident(b) songs.mus:2 \"b\\x0A\"\n"
       "NL songs.mus:2 \"b\\x0A\"\n"
       "NL songs.mus:3 \"\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      {"a\nb",
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "ident(b) songs.mus:2 \"b\\x0A\"\n"
       "NL songs.mus:2 \"b\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      {"",
       "NL songs.mus:1 \"\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      {"\n",
       "NL songs.mus:1 \"\\x0A\"\n"
       "NL songs.mus:2 \"\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      // A lone CR stays in the line and is a blank.
      {"a\rb\n",
       "ident(a) songs.mus:1 \"a\\x0Db\\x0A\"\n"
       "ident(b) songs.mus:1 \"a\\x0Db\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0Db\\x0A\"\n"
       "NL songs.mus:2 \"\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      // Of CR CR LF only the CR before the LF goes.
      {"a\r\r\nb",
       "ident(a) songs.mus:1 \"a\\x0D\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0D\\x0A\"\n"
       "ident(b) songs.mus:2 \"b\\x0A\"\n"
       "NL songs.mus:2 \"b\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      {"a\r",
       "ident(a) songs.mus:1 \"a\\x0D\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0D\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
      // Every byte, NUL included, reaches the line as it is.
      {std::string("\"\0\"", 3),
       "string(\"\\x00\") songs.mus:1 \"\\\"\\x00\\\"\\x0A\"\n"
       "NL songs.mus:1 \"\\\"\\x00\\\"\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
  };
  for (const TraceRow& row : rows) {
    SCOPED_TRACE("input: \"" + EscapeBytes(row.input) + "\"");
    EXPECT_EQ(row.trace, Trace(row.input));
  }
}

TEST(SourceFile, FileNameIsNormalized) {
  std::istringstream stream("!\n");
  Lexer lexer(stream, "songs\\.\\extra/../main.mus");
  EXPECT_EQ("error: songs/main.mus:1: Unknown charactor '!'\\x0A!\\x0A\n", TraceLexer(lexer));
}

// Files saved with CR LF line ends, or cut short by a Ctrl-Z, read exactly like their LF twins:
// same tokens, values, line numbers, line texts and errors.
TEST(SourceFile, CrLfAndCtrlZReadLikeTheirLfTwins) {
  struct Twin {
    std::string lf;
    std::string other;
  };
  const Twin twins[] = {
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\nb", "a\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"x = 1 ; note\n", "x = 1 ; note\r\n"},
      {"x \"ab\\\ncd\" y\n", "x \"ab\\\r\ncd\" y\r\n"},
      {"'\\\n'\n", "'\\\r\n'\r\n"},
      {"a\n!\n", "a\r\n!\r\n"},
      {"\"ab\n", "\"ab\r\n"},
      {"a\nb", "a\r\nb\x1A\r\nc\r\n"},
      {"a\n", "a\r\n\x1A"},
      {"a\n", "a\r\n\x1A\r\n!\r\n"},
      {"", "\x1A"},
      {"", "\x1A\r\nabc\r\n"},
      {"a", "a\x1A"},
      {"x ; c", "x ; c\x1Ay"},
      {"\"ab",
       "\"ab\x1A"
       "cd\"\r\n"},
  };
  for (const Twin& twin : twins) {
    SCOPED_TRACE("input: \"" + EscapeBytes(twin.other) + "\"");
    EXPECT_EQ(Trace(twin.lf), Trace(twin.other));
  }
}

// Lines are read in blocks; a CR LF split across two blocks is still one line end, and a lone
// CR or a Ctrl-Z at a block's edge still means what it means elsewhere.
TEST(SourceFile, LineEndsAtTheEdgeOfAReadBlock) {
  const std::size_t block = 64 * 1024;
  for (std::size_t edge : {block - 2, block - 1, block, block + 1, 2 * block - 1}) {
    SCOPED_TRACE("edge at byte " + std::to_string(edge));
    // "x", blanks, then the byte under test at index `edge`.
    const std::string head = "x" + std::string(edge - 1, ' ');
    EXPECT_EQ(Trace(head + "\nb\n"), Trace(head + "\r\nb\r\n"));
    EXPECT_EQ(Trace(head), Trace(head + "\x1A" + "b\r\n"));

    std::istringstream stream(head + "\rb\n");
    Lexer lexer(stream, "songs.mus");
    EXPECT_EQ(TOKEN_IDENTIFIER, lexer.GetNextToken());
    EXPECT_EQ(TOKEN_IDENTIFIER, lexer.GetNextToken());
    EXPECT_EQ("b", lexer.GetStringValue());
    EXPECT_EQ(1, lexer.GetLineNumber());
    EXPECT_EQ(head + "\rb\n", lexer.GetLineText());

    // The same after many short lines, which are read where they lie in the block: the CR at
    // `edge` ends the last of them.
    std::string lf, crlf;
    while (crlf.size() + 4 <= edge - 1) {
      lf += "ab\n";
      crlf += "ab\r\n";
    }
    const std::string last = "x" + std::string(edge - 1 - crlf.size(), ' ');
    EXPECT_EQ(Trace(lf + last + "\nb\n"), Trace(crlf + last + "\r\nb\r\n"));
  }
}

/// A stream that gives its data `chunk` bytes at a time (one by one without a buffer when
/// `chunk` is 0) and throws once `failAfter` bytes are out, as a disk that fails in the middle
/// of a file would.
class FailingBuffer : public std::streambuf {
 public:
  FailingBuffer(std::string data, std::size_t failAfter, std::size_t chunk)
      : mData(std::move(data)), mFailAfter(failAfter), mChunk(chunk) {}
  int Failures() const { return mFailures; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (mPos >= mFailAfter) {
      ++mFailures;
      throw std::runtime_error("the disk went away");
    }
    if (mPos >= mData.size()) return traits_type::eof();
    if (mChunk == 0) return traits_type::to_int_type(mData[mPos]);
    const std::size_t count = std::min({mChunk, mFailAfter - mPos, mData.size() - mPos});
    char* begin = &mData[mPos];
    setg(begin, begin, begin + count);
    mPos += count;
    return traits_type::to_int_type(*begin);
  }

  int_type uflow() override {
    if (mChunk != 0) return std::streambuf::uflow();
    const int_type c = underflow();
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++mPos;
    return c;
  }

 private:
  std::string mData;
  std::size_t mFailAfter;
  std::size_t mChunk;
  std::size_t mPos = 0;
  int mFailures = 0;
};

TEST(SourceFile, ReadFailureIsReportedWhereReadingStopped) {
  struct Row {
    std::string data;
    std::size_t failAfter;
    std::size_t chunk;
    std::string trace;
  };
  std::string manyLines;
  for (int i = 0; i < 8000; ++i)
    manyLines += "xxxxxxxxx\n";
  const Row rows[] = {
      {"a\nbc\nd\n", 4, 1,
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "error: songs.mus:2: Error reading the file\\x0Abc\\x0A\n"},
      {"a\nbc\nd\n", 5, 2,
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "ident(bc) songs.mus:2 \"bc\\x0A\"\n"
       "NL songs.mus:2 \"bc\\x0A\"\n"
       "error: songs.mus:3: Error reading the file\\x0A\\x0A\n"},
      {"a\nbc\nd\n", 4, 0,
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "error: songs.mus:2: Error reading the file\\x0Abc\\x0A\n"},
      {"a\n", 0, 1, "error: songs.mus:1: Error reading the file\\x0A\\x0A\n"},
      // A Ctrl-Z before the failure ends the file first.
      {"a\x1A"
       "b\n",
       3, 1,
       "ident(a) songs.mus:1 \"a\\x0A\"\n"
       "NL songs.mus:1 \"a\\x0A\"\n"
       "NL :0 \"\"\n"
       "EOF :0 \"\"\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("fail after " + std::to_string(row.failAfter) + ", chunk " +
                 std::to_string(row.chunk));
    FailingBuffer buffer(row.data, row.failAfter, row.chunk);
    std::istream stream(&buffer);
    Lexer lexer(stream, "songs.mus");
    EXPECT_EQ(row.trace, TraceLexer(lexer));
    EXPECT_GE(1, buffer.Failures()) << "read on after the failure";
  }

  // Far into the file, past the first blocks: 6600 whole lines, then 5 bytes of line 6601.
  FailingBuffer buffer(manyLines, 66005, 4096);
  std::istream stream(&buffer);
  Lexer lexer(stream, "songs.mus");
  const std::string trace = TraceLexer(lexer);
  const std::string last = trace.substr(trace.rfind('\n', trace.size() - 2) + 1);
  EXPECT_EQ("error: songs.mus:6601: Error reading the file\\x0Axxxxx\\x0A\n", last);
  EXPECT_EQ(1, buffer.Failures());
}

TEST(SourceFileDeathTest, StepBackBeforeTheLineStartAsserts) {
#ifdef NDEBUG
  GTEST_SKIP() << "assertions are compiled out";
#endif
  std::istringstream stream("ab\n");
  Lexer::File file(stream, "songs.mus");
  EXPECT_DEATH(file.UngetChar(), "mLinePos > 0");
  char c = 0;
  ASSERT_TRUE(file.ReadChar(c));
  file.UngetChar();
  ASSERT_TRUE(file.ReadChar(c));
  EXPECT_EQ('a', c);
}

/// A fresh temporary directory that is the current directory during the test.
class IncludeSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    mOldCurrent = fs::current_path();
    std::random_device random;
    do {
      mRoot = fs::temp_directory_path() / ("korvedex-lexer-" + std::to_string(random()));
    } while (!fs::create_directory(mRoot));
    mRoot = fs::canonical(mRoot);
    fs::current_path(mRoot);
  }

  void TearDown() override {
    fs::current_path(mOldCurrent);
    std::error_code ignored;
    fs::remove_all(mRoot, ignored);
  }

  /// Writes `text` as the file `relative` under the root, creating its directories.
  void WriteFile(const std::string& relative, const std::string& text) {
    const fs::path path = mRoot / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  /// The root with '/' separators, as the lexer writes absolute names.
  std::string Root() const { return mRoot.generic_string(); }

  /// The trace of the main file `text` named `name`, with the include directories `dirs` added
  /// in order. "<root>" in the text stands for the root directory.
  std::string TraceMain(const std::string& text, const std::string& name,
                        const std::vector<std::string>& dirs = {}) {
    std::istringstream stream(ReplaceAll(text, "<root>", Root()));
    Lexer lexer(stream, name);
    for (const std::string& dir : dirs)
      lexer.AddIncludeDir(dir);
    return TraceLexer(lexer, Root());
  }

  /// Only the identifiers of the trace with their positions, or the error.
  std::string IdentifiersOf(const std::string& trace) {
    std::istringstream lines(trace);
    std::string result;
    for (std::string line; std::getline(lines, line);) {
      if (line.compare(0, 6, "ident(") == 0 || line.compare(0, 6, "error:") == 0) {
        result += line.substr(0, line.find(" \"")) + "\n";
      }
    }
    return result;
  }

  fs::path mOldCurrent;
  fs::path mRoot;
};

TEST_F(IncludeSearch, IncludedFileLinesAndTheNewlineAtItsEnd) {
  WriteFile("b.mus", "y");
  EXPECT_EQ(
      // After the directive the included file is on top, before its first line.
      "NL b.mus:0 \"\"\n"
      "ident(y) b.mus:1 \"y\\x0A\"\n"
      "NL b.mus:1 \"y\\x0A\"\n"
      // Its end is one more line end, and the including file goes on where it was.
      "NL main.mus:1 \"#include \\\"b.mus\\\"\\x0A\"\n"
      "ident(x) main.mus:2 \"x\\x0A\"\n"
      "NL main.mus:2 \"x\\x0A\"\n"
      "NL main.mus:3 \"\\x0A\"\n"
      "NL :0 \"\"\n"
      "EOF :0 \"\"\n",
      TraceMain("#include \"b.mus\"\nx\n", "main.mus"));
}

TEST_F(IncludeSearch, QuotedNamesAreLookedForBesideTheIncludingFileOnly) {
  WriteFile("b.mus", "inRoot\n");
  WriteFile("songs/b.mus", "inSongs\n");
  WriteFile("songs/sub/c.mus", "inSubC\n#include \"b.mus\"\n");
  WriteFile("songs/sub/b.mus", "inSubB\n");
  WriteFile("a/only_a.mus", "onlyA\n");
  WriteFile("abs/y.mus", "absolute\n");
  fs::create_directories(mRoot / "songs" / "dir.mus");
  struct Row {
    std::string main;
    std::string name;
    std::string identifiers;
  };
  const Row rows[] = {
      {"#include \"b.mus\"\n", "songs/main.mus", "ident(inSongs) songs/b.mus:1\n"},
      {"#include \"b.mus\"\n", "main.mus", "ident(inRoot) b.mus:1\n"},
      {"#include \"b.mus\"\n", "./songs/../main.mus", "ident(inRoot) b.mus:1\n"},
      // Each included file is the base of the quoted names inside it.
      {"#include \"sub/c.mus\"\n", "songs/main.mus",
       "ident(inSubC) songs/sub/c.mus:1\nident(inSubB) songs/sub/b.mus:1\n"},
      {"#include \"sub\\\\c.mus\"\n", "songs/main.mus",
       "ident(inSubC) songs/sub/c.mus:1\nident(inSubB) songs/sub/b.mus:1\n"},
      {"#include \"<root>/abs/y.mus\"\n", "songs/main.mus", "ident(absolute) <root>/abs/y.mus:1\n"},
      {"#include \"only_a.mus\"\n", "main.mus",
       "error: main.mus:1: Cannot open file \\\"only_a.mus\\\"\\x0A#include "
       "\\\"only_a.mus\\\"\\x0A\n"},
      {"x\n#include \"dir.mus\"\n", "songs/main.mus",
       "ident(x) songs/main.mus:1\n"
       "error: songs/main.mus:2: Cannot open file \\\"dir.mus\\\"\\x0A#include "
       "\\\"dir.mus\\\"\\x0A\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.main + " in " + row.name);
    EXPECT_EQ(row.identifiers, IdentifiersOf(TraceMain(row.main, row.name, {"a"})));
  }
}

TEST_F(IncludeSearch, AngleNamesAreLookedForInTheIncludeDirsFirstAddedFirst) {
  WriteFile("x.mus", "inCurrent\n");
  WriteFile("a/x.mus", "inA\n");
  WriteFile("b/x.mus", "inB\n");
  WriteFile("b/only_b.mus", "onlyB\n");
  WriteFile("c/y.mus", "inC\n");
  WriteFile("abs/y.mus", "absolute\n");
  fs::create_directories(mRoot / "d" / "y.mus");
  struct Row {
    std::string main;
    std::vector<std::string> dirs;
    std::string identifiers;
  };
  const Row rows[] = {
      {"#include <x.mus>\n", {"a", "b"}, "ident(inA) <root>/a/x.mus:1\n"},
      {"#include <x.mus>\n", {"b", "a"}, "ident(inB) <root>/b/x.mus:1\n"},
      {"#include <only_b.mus>\n", {"a", "b"}, "ident(onlyB) <root>/b/only_b.mus:1\n"},
      {"#include <x.mus>\n", {"a/../b", "a"}, "ident(inB) <root>/b/x.mus:1\n"},
      {"#include <x.mus>\n", {"<root>/b"}, "ident(inB) <root>/b/x.mus:1\n"},
      // A directory of the wanted name does not open; the search goes on.
      {"#include <y.mus>\n", {"d", "c"}, "ident(inC) <root>/c/y.mus:1\n"},
      // A name with a leading separator is tried once, as it is.
      {"#include <<root>/abs/y.mus>\n", {"c"}, "ident(absolute) <root>/abs/y.mus:1\n"},
      {"#include <<root>/none/y.mus>\n",
       {"c"},
       "error: main.mus:1: Cannot open file \\\"<root>/none/y.mus\\\"\\x0A#include "
       "<<root>/none/y.mus>\\x0A\n"},
      // Neither the current directory nor the including file's directory is searched.
      {"#include <x.mus>\n",
       {},
       "error: main.mus:1: Cannot open file \\\"x.mus\\\"\\x0A#include <x.mus>\\x0A\n"},
      {"#include <x.mus>\n",
       {"c"},
       "error: main.mus:1: Cannot open file \\\"x.mus\\\"\\x0A#include <x.mus>\\x0A\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.main);
    std::vector<std::string> dirs;
    for (const std::string& dir : row.dirs)
      dirs.push_back(ReplaceAll(dir, "<root>", Root()));
    EXPECT_EQ(row.identifiers, IdentifiersOf(TraceMain(row.main, "main.mus", dirs)));
  }
}

TEST_F(IncludeSearch, IncludeDirsAreMadeAbsoluteWhenAdded) {
  WriteFile("a/x.mus", "inA\n");
  fs::create_directories(mRoot / "elsewhere");
  std::istringstream stream("#include <x.mus>\n");
  Lexer lexer(stream, "main.mus");
  lexer.AddIncludeDir("a");
  fs::current_path(mRoot / "elsewhere");
  EXPECT_EQ("ident(inA) <root>/a/x.mus:1\n", IdentifiersOf(TraceLexer(lexer, Root())));
}

TEST_F(IncludeSearch, AddIncludeDirFailsWithoutACurrentDirectory) {
  const fs::path gone = mRoot / "gone";
  fs::create_directories(gone);
  fs::current_path(gone);
  std::error_code error;
  fs::remove(gone, error);
  if (error) GTEST_SKIP() << "this platform keeps the current directory from being removed";
  std::istringstream stream("x\n");
  Lexer lexer(stream, "main.mus");
  try {
    lexer.AddIncludeDir("inc");
    FAIL() << "no error";
  } catch (const my_exception& e) {
    EXPECT_EQ(std::string("Cannot get the current directory"), e.what());
  }
}

TEST_F(IncludeSearch, GroupLeftOpenIsReportedAtTheLastLineOfTheMainFile) {
  WriteFile("open.mus", "#if 1\n");
  struct Row {
    std::string main;
    std::string last;
  };
  const Row rows[] = {
      {"#if 1\nx\n", "error: main.mus:3: Mismatched #endif\\x0A\\x0A\n"},
      {"#if 1\nx", "error: main.mus:2: Mismatched #endif\\x0Ax\\x0A\n"},
      {"#if 0\nx", "error: main.mus:2: Mismatched #endif\\x0Ax\\x0A\n"},
      // An included file may end inside a group: the includer goes on in it.
      {"#include \"open.mus\"\nx\n", "error: main.mus:3: Mismatched #endif\\x0A\\x0A\n"},
      {"#include \"open.mus\"\n#endif\n", "EOF :0 \"\"\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.main);
    const std::string trace = TraceMain(row.main, "main.mus");
    EXPECT_EQ(row.last, trace.substr(trace.rfind('\n', trace.size() - 2) + 1));
  }
}

}  // namespace
