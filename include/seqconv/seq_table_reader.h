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
  /// none of the others, and finding one takes a shift and a mask. Beside each entry, the hash
  /// of its name (0 for an entry without one).
  class EntryStore {
   public:
    std::uint32_t size() const { return mSize; }
    const Seq& operator[](std::uint32_t index) const {
      return mBlocks[index >> kBlockShift]->seqs[index & kBlockMask];
    }
    std::uint32_t NameHash(std::uint32_t index) const {
      return mBlocks[index >> kBlockShift]->nameHashes[index & kBlockMask];
    }
    /// A new entry at the end, as a default Seq.
    Seq& Add(std::uint32_t nameHash) {
      if ((mSize & kBlockMask) == 0) mBlocks.emplace_back(new Block);
      Block& block = *mBlocks.back();
      block.nameHashes[mSize & kBlockMask] = nameHash;
      return block.seqs[mSize++ & kBlockMask];
    }

   private:
    static const unsigned kBlockShift = 12;
    static const std::uint32_t kBlockMask = (1u << kBlockShift) - 1;
    struct Block {
      Seq seqs[kBlockMask + 1];
      std::uint32_t nameHashes[kBlockMask + 1];
    };
    std::vector<std::unique_ptr<Block> > mBlocks;
    std::uint32_t mSize = 0;
  };

  /// The entries by sequence number, in blocks of numbers that never move: a table that grows
  /// copies none of what it has, and a few numbers far apart take a few blocks.
  class NumberIndex {
   public:
    /// The index + 1 of the entry filed under `number`; 0 when there is none.
    std::uint32_t Find(std::size_t number) const {
      const std::size_t block = number >> kBlockShift;
      return block < mBlocks.size() && mBlocks[block] ? mBlocks[block][number & kBlockMask] : 0;
    }
    void Set(std::size_t number, std::uint32_t entry) {
      const std::size_t block = number >> kBlockShift;
      if (block >= mBlocks.size()) mBlocks.resize(block + 1);
      if (!mBlocks[block]) mBlocks[block].reset(new std::uint32_t[kBlockMask + 1]());
      mBlocks[block][number & kBlockMask] = entry + 1;
    }
    /// Calls `visit` with the index of every entry, in ascending number.
    template <typename Visit>
    void ForEach(Visit visit) const {
      for (const std::unique_ptr<std::uint32_t[]>& block : mBlocks) {
        if (!block) continue;
        for (std::size_t i = 0; i <= kBlockMask; ++i) {
          if (block[i] != 0) visit(block[i] - 1);
        }
      }
    }

   private:
    static const unsigned kBlockShift = 12;
    static const std::size_t kBlockMask = (std::size_t{1} << kBlockShift) - 1;
    std::vector<std::unique_ptr<std::uint32_t[]> > mBlocks;
  };

  /// Finds names that repeat an earlier entry's name. A table of a million names must cost no
  /// more per name than a small one, and an index of all names, read at random, waits on memory
  /// for every name. So a name only sets two bits in one word of a filter: when both were set
  /// already, an earlier name may be the same, and only such a name keeps where its line stood
  /// (a copy of the line, for the report). Which of them truly repeat an earlier name is settled
  /// once, when the table has been read or reading it has failed, in one pass over all names.
  /// The filter is still too large for the cache, so a name's word is fetched when the name
  /// arrives and tested a few names later: the waits overlap.
  class NameCheck {
   public:
    explicit NameCheck(const EntryStore& entries) : mEntries(entries) {}
    static std::uint32_t Hash(std::string_view name);
    /// Takes the name of entry `entry`, the newest one; the lexer still stands at its line.
    void Add(const Lexer& lexer, std::uint32_t entry);
    /// Throws "Multiple defined label" for the first entry whose name an earlier entry has.
    void ThrowFirstRepeat();

   private:
    /// A name and where its line stood: in mLines (a candidate) or mPendingLines (pending).
    struct Line {
      std::uint32_t entry;
      std::uint32_t file;  // in mFiles
      int number;
      std::size_t offset;
      std::size_t length;
    };
    static const std::size_t kBatch = 16;
    void TestPending();
    void GrowFilter();

    const EntryStore& mEntries;
    // The two bits a name sets in its word of the filter (hash & mWordMask), from bits of the
    // hash that do not pick the word.
    static std::uint64_t FilterBits(std::uint32_t hash) {
      const std::uint32_t mixed = hash * 0x9E3779B1u;
      return std::uint64_t{1} << (mixed >> 26) | std::uint64_t{1} << (mixed >> 20 & 63);
    }
    static const std::uint32_t kMaxWordMask = (1u << 26) - 1;  // 512 MiB: 268 million names

    std::vector<std::uint64_t> mFilter;
    std::uint32_t mWordMask = 0;
    std::uint32_t mNames = 0;  // in the filter
    Line mPending[kBatch];
    std::size_t mPendingCount = 0;
    std::string mPendingLines;
    std::vector<Line> mCandidates;  // a name whose filter bit was set already
    std::string mLines;
    std::vector<std::string> mFiles;
    std::uint64_t mFileChanges = 0;  // Lexer::FileChanges() while mFiles.back() was current
  };

  void ReadEntry(Lexer& lexer);
  bool ReadPlainEntryLine(Lexer& lexer);
  bool ReadFieldExpressions(Lexer& lexer, std::string_view line, const char* field,
                            std::int64_t* values, int count, std::size_t& expanded);
  /// Files a new entry under `number` and returns it, to be filled.
  Seq& FileEntry(std::int64_t number, std::uint32_t nameHash);
  void StoreTexts(Seq& seq, std::string_view name, std::string_view label);

  my_cmdline_parser mOptions;
  std::FILE* mOutput = stdout;
  bool mPlainLineReading = true;
  std::map<std::string, std::int64_t> mSymbols;  // never filled: every field name is undefined
  NumberIndex mNumbers;
  std::int32_t mNextNumber = 0;
  EntryStore mEntries;
  NameCheck mNames{mEntries};
  TextStore mText;
  std::string mName;                   // of the entry being read token by token
  std::uint64_t mExpressionsRead = 0;  // lines read by ReadFieldExpressions
  std::uint64_t mExpressionsLeft = 0;  // lines it gave up
};

#endif  // SEQCONV_SEQ_TABLE_READER_H
