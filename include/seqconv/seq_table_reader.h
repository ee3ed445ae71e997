// Reads the @SEQ_TABLE section of one .mus source and prints its entries.
#ifndef SEQCONV_SEQ_TABLE_READER_H
#define SEQCONV_SEQ_TABLE_READER_H

#include <cstdint>
#include <cstdio>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "seqconv/my_cmdline_parser.h"
#include "seqconv/seq.h"

class Lexer;

class SeqTableReader {
 public:
  explicit SeqTableReader(const my_cmdline_parser& options);
  SeqTableReader(const SeqTableReader&) = delete;
  SeqTableReader& operator=(const SeqTableReader&) = delete;

  /// Reads the file `fileName` from `stream` and prints its table; failures leave as exceptions.
  void Analyze(const std::string& fileName, std::istream& stream);
  /// Parses up to @SEQ_DATA, checking every entry as soon as it has been read.
  void ParseSeqTable(Lexer& lexer);
  /// One line per entry, in ascending sequence number, on the standard output (or the stream
  /// SetOutput gave).
  void PrintSeqTable();

  /// Where PrintSeqTable writes; the standard output unless set.
  void SetOutput(std::FILE* stream) { mOutput = stream; }
  /// Whether plain table lines are read straight from their characters (the default). Off,
  /// every line is read token by token: the same result, more slowly; for tests that compare
  /// the two.
  void SetPlainLineReading(bool enabled) { mPlainLineReading = enabled; }

 private:
  /// The names and labels of the entries, copied into large blocks rather than one allocation
  /// each; what it holds stays in place as long as the store.
  class TextStore {
   public:
    /// Copies the two texts one after the other; returns where they start.
    const char* Store(std::string_view first, std::string_view second);

   private:
    std::vector<std::unique_ptr<char[]> > mBlocks;
    char* mFree = nullptr;
    std::size_t mLeft = 0;
  };

  /// The entries in the order they were read, in blocks that never move: adding one copies
  /// none of the others, and finding one takes a shift and a mask.
  class EntryStore {
   public:
    std::uint32_t size() const { return mSize; }
    const Seq& operator[](std::uint32_t index) const {
      return mBlocks[index >> kBlockShift][index & kBlockMask];
    }
    /// A new entry at the end, as a default Seq.
    Seq& Add() {
      if ((mSize & kBlockMask) == 0) mBlocks.emplace_back(new Seq[kBlockMask + 1]);
      return mBlocks.back()[mSize++ & kBlockMask];
    }

   private:
    static const unsigned kBlockShift = 12;
    static const std::uint32_t kBlockMask = (1u << kBlockShift) - 1;
    std::vector<std::unique_ptr<Seq[]> > mBlocks;
    std::uint32_t mSize = 0;
  };

  /// The names of the named entries read so far: a hash set of entry indices, so that a table
  /// of a million named entries costs no more per entry than a small one.
  class NameSet {
   public:
    explicit NameSet(const EntryStore& entries) : mEntries(entries) {}
    static std::uint32_t Hash(std::string_view name);
    /// Reads the slot where a name with `hash` goes; only to bring it into the cache early.
    std::uint32_t Fetch(std::uint32_t hash) const;
    /// Adds the name of entry `index`; false when an earlier entry has the same name.
    bool Insert(std::uint32_t index, std::uint32_t hash);

   private:
    struct Slot {
      std::uint32_t entry;  // entry index + 1; 0 is free
      std::uint32_t hash;   // kept so that growing needs no name and most probes no compare
    };
    void Grow();
    const EntryStore& mEntries;
    std::vector<Slot> mSlots;
    std::size_t mCount = 0;
  };

  /// An entry's name whose duplicate check waits until a few more lines have been read, so
  /// that the checks of several lines can fetch their slots together; with where the line
  /// stood, for the report.
  struct PendingName {
    std::uint32_t entry;
    std::uint32_t hash;
    int lineNumber;
    std::size_t lineOffset;  // of the line's text in mPendingText
    std::size_t lineLength;
  };
  static const std::size_t kPendingNames = 16;

  void ReadEntry(Lexer& lexer);
  bool ReadPlainEntryLine(Lexer& lexer);
  bool ReadFieldExpressions(Lexer& lexer, std::string_view line, const char* field,
                            std::int64_t* values, int count, std::size_t& expanded);
  /// Files a new entry under `number` and returns it, to be filled.
  Seq& FileEntry(std::int64_t number);
  void StoreTexts(Seq& seq, std::string_view name, std::string_view label);
  void AddPendingName(const Lexer& lexer, std::uint32_t entry, std::uint32_t hash);
  void CheckOldestPendingName();
  void CheckPendingNames();

  my_cmdline_parser mOptions;
  std::FILE* mOutput = stdout;
  bool mPlainLineReading = true;
  std::map<std::string, std::int64_t> mSymbols;  // never filled: every field name is undefined
  // Index = sequence number; entry index + 1, or 0 for a number without entry. The entries
  // themselves sit in blocks rather than one allocation each.
  std::vector<std::uint32_t> mSeqs;
  std::int32_t mNextNumber = 0;
  NameSet mSeqNames{mEntries};
  EntryStore mEntries;
  TextStore mText;
  std::string mName;                         // of the entry being read token by token
  PendingName mPendingNames[kPendingNames];  // a ring: the oldest at mPendingFirst
  std::size_t mPendingFirst = 0;
  std::size_t mPendingCount = 0;
  std::string mPendingFile;               // all pending lines come from this file
  std::uint64_t mPendingFileChanges = 0;  // Lexer::FileChanges() while it was current
  std::vector<char> mPendingText;         // their texts, one after the other
  std::size_t mPendingTextUsed = 0;
  std::uint64_t mExpressionsRead = 0;  // lines read by ReadFieldExpressions
  std::uint64_t mExpressionsLeft = 0;  // lines it gave up
  std::uint32_t mFetched = 0;          // what fetching the slots read, kept so the reads stay
};

#endif  // SEQCONV_SEQ_TABLE_READER_H
