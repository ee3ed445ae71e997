// The bottom of the lexer: source files read line by line on a file stack, the position that
// errors report, and the search for included files.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <fstream>
#include <limits>
#include <streambuf>
#include <string>

#include "lexer/lexer.h"
#include "platform/platform.h"
#include "seqconv/my_exception.h"
#include "util/path.h"

namespace {

const std::size_t kReadBlockSize = 64 * 1024;
const std::size_t kShownLineLength = 256;  // of a line too long to be read whole
const char kCtrlZ = 0x1A;

}  // namespace

Lexer::File::File(std::istream& stream, const std::string& fileName)
    : mStream(stream), mFileName(fileName) {}

void Lexer::File::UngetChar() {
  assert(mLinePos > 0);
  --mLinePos;
}

// A file stream is read in whole blocks. Any other stream gives its bytes in the amounts it says
// it holds, refilling one step at a time otherwise: a read that fails (the stream's buffer
// throws) then loses no byte that came before it, and the error shows the line where reading
// stopped.
bool Lexer::File::FillBuffer() {
  typedef std::char_traits<char> Traits;
  if (mStreamDone) return false;
  // Not zeroed: only the bytes read are looked at, and most included files are small.
  if (!mBuffer) mBuffer.reset(new char[kReadBlockSize]);
  std::streambuf& source = *mStream.rdbuf();
  std::size_t got = 0;
  if (std::filebuf* file = dynamic_cast<std::filebuf*>(&source)) {
    // A file stream reports a failure by giving fewer bytes, never by throwing: whole blocks,
    // without asking first what it holds (one system call per block instead of three).
    got = static_cast<std::size_t>(
        file->sgetn(mBuffer.get(), static_cast<std::streamsize>(kReadBlockSize)));
    if (got < kReadBlockSize) mStreamDone = true;
  } else {
    try {
      while (got < kReadBlockSize) {
        std::streamsize held = source.in_avail();
        if (held == 0) {
          held = Traits::eq_int_type(source.sgetc(), Traits::eof()) ? -1 : source.in_avail();
          if (held == 0) {  // an unbuffered stream
            mBuffer[got++] = Traits::to_char_type(source.sbumpc());
            continue;
          }
        }
        if (held < 0) {
          mStreamDone = true;
          break;
        }
        const std::size_t take = std::min(static_cast<std::size_t>(held), kReadBlockSize - got);
        got += static_cast<std::size_t>(
            source.sgetn(mBuffer.get() + got, static_cast<std::streamsize>(take)));
      }
    } catch (...) {
      mReadError = true;
      mStreamDone = true;
    }
  }
  // Ctrl-Z ends the file: the block is cut there, so that lines need no search of their own.
  if (const void* ctrlZ = std::memchr(mBuffer.get(), kCtrlZ, got)) {
    got = static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - mBuffer.get());
    mStreamDone = true;
    mReadError = false;  // the file ends here, before any byte that failed to come
  }
  mBufferPos = 0;
  mBufferEnd = got;
  return got > 0;
}

// A line is everything up to the next line feed, or up to the end of the data; the end is
// noticed only when a read finds nothing, so a final line feed is followed by one empty line.
bool Lexer::File::ReadLine() {
  if (mEnded) return false;
  mLinePos = 0;
  // Mostly the whole line lies in the block read ahead: it is used where it lies, its line feed
  // included. A CR before the line feed becomes the line's end in its place.
  if (char* lineFeed = mBufferPos < mBufferEnd
                           ? static_cast<char*>(std::memchr(mBuffer.get() + mBufferPos, '\n',
                                                            mBufferEnd - mBufferPos))
                           : nullptr) {
    char* const begin = mBuffer.get() + mBufferPos;
    char* end = lineFeed;
    if (end > begin && end[-1] == '\r') *--end = '\n';
    mLine = std::string_view(begin, static_cast<std::size_t>(end - begin) + 1);
    mBufferPos = static_cast<std::size_t>(lineFeed - mBuffer.get()) + 1;
    return CountLine();
  }
  // A line across blocks, or the last one: collected in a buffer of its own.
  mLineCopy.clear();
  for (;;) {
    if (mBufferPos == mBufferEnd && !FillBuffer()) {
      mEnded = true;
      break;
    }
    const char* begin = mBuffer.get() + mBufferPos;
    const std::size_t available = mBufferEnd - mBufferPos;
    const char* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', available));
    const std::size_t length = lineFeed ? static_cast<std::size_t>(lineFeed - begin) : available;
    mLineCopy.append(begin, length);
    if (mLineCopy.size() > kMaxLineLength) {
      // Reading on would take memory without bound (an endless stream without line feeds).
      mFault = "Line too long (more than 256 MiB)";
      mLineCopy.resize(kShownLineLength);
      mEnded = true;
      break;
    }
    if (lineFeed) {
      mBufferPos += length + 1;
      if (!mLineCopy.empty() && mLineCopy.back() == '\r') mLineCopy.pop_back();
      break;
    }
    mBufferPos = mBufferEnd;
  }
  mLineCopy += '\n';
  mLine = mLineCopy;
  return CountLine();
}

// A line cut by a read error stays, so that the error shows where reading stopped; whole lines
// read before the error are delivered first.
bool Lexer::File::CountLine() {
  if (mLineNumber == std::numeric_limits<int>::max()) {
    mFault = "Too many lines in the file";
    mEnded = true;
  } else {
    ++mLineNumber;
  }
  if (mEnded && mReadError) mFault = "Error reading the file";
  return mFault == nullptr;
}

Lexer::IncludeFile::IncludeFile(const std::string& fileName) : File(mInput, fileName) {
  // A name holding a NUL byte names no file: opening it would open the name cut at the NUL.
  mOpen = fileName.find('\0') == std::string::npos && platform::OpenInputFile(mInput, fileName);
}

Lexer::Lexer(std::istream& stream, const std::string& fileName) {
  PushFile(SharedPtr<File>(new File(stream, NormalizePath(fileName))));
}

void Lexer::AddIncludeDir(const std::string& directory) {
  std::string current;
  if (!platform::QueryCurrentDirectory(current)) {
    throw my_exception("Cannot get the current directory");
  }
  mIncludeDirs.push_back(MakeAbsolutePath(directory, current));
}

void Lexer::PushFile(const SharedPtr<File>& file) {
  mFileStack.push_back(file);
  mTop = file.get();
  ++mFileChanges;
}

void Lexer::PopFile() {
  mFileStack.pop_back();
  mTop = mFileStack.empty() ? nullptr : mFileStack.back().get();
  ++mFileChanges;
}

bool Lexer::ReadCharAcrossLines(char& c) {
  if (mTop == nullptr) {
    if (mFailOnEnd) throw Failure();
    return false;
  }
  if (mTop->ReadChar(c)) return true;
  if (const char* fault = mTop->Fault()) Fail(fault);
  if (mFileStack.size() == 1 && !mConditionStack.empty()) Fail("Mismatched #endif");
  PopFile();
  c = '\n';
  return true;
}

std::string_view Lexer::PeekLine() {
  File* const file = mTop;
  if (file == nullptr || mToken.kind != '\n' || !mPendingTokens.empty() || !IsActive() ||
      file->mLinePos != file->mLine.size()) {
    return std::string_view();
  }
  if (!file->NextLine()) {
    // As the first character read would: a failed file is reported here, an ended one is left
    // to the scanner.
    if (const char* fault = file->Fault()) Fail(fault);
    return std::string_view();
  }
  return file->mLine;
}

void Lexer::SkipPeekedLine() {
  mTop->mLinePos = mTop->mLine.size();
  mToken.kind = '\n';
  SetTokenText('\n');
  mToken.numberValue = 0;
  mToken.stringValue.clear();
}

void Lexer::UngetChar() {
  // A failed assertion reports the condition as written here.
  // clang-format off
  assert(! mFileStack.empty());
  // clang-format on
  mTop->UngetChar();
}

SharedPtr<Lexer::File> Lexer::OpenIncludeFile(const std::string& name, bool angle) {
  const bool relative = IsRelativePath(name);
  std::size_t tries = (angle && relative) ? mIncludeDirs.size() : 1;
  for (; tries >= 1; --tries) {
    std::string candidate = name;
    if (relative) {
      candidate = angle ? mIncludeDirs[mIncludeDirs.size() - tries] + "\\" + name
                        : GetDirectory(GetFileName()) + name;
    }
    SharedPtr<IncludeFile> file(new IncludeFile(NormalizePath(candidate)));
    if (file->IsOpen()) return file;
  }
  Fail("Cannot open file \"" + name + "\"");
}
