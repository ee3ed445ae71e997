// Reads the @SEQ_TABLE section of one .mus source and prints its entries.
#ifndef SEQCONV_SEQ_TABLE_READER_H
#define SEQCONV_SEQ_TABLE_READER_H

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "seqconv/my_cmdline_parser.h"
#include "seqconv/seq.h"
#include "util/smart_ptr.h"

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
  /// One line per entry, in ascending sequence number, on the standard output.
  void PrintSeqTable();

 private:
  void ReadEntry(Lexer& lexer);

  my_cmdline_parser mOptions;
  std::map<std::string, std::int64_t> mSymbols;  // never filled: every field name is undefined
  std::vector<SharedPtr<Seq> > mSeqs;             // index = sequence number; empty = no entry
  std::int32_t mNextNumber = 0;
  // The names of the named entries so far; views of the names that mSeqs holds.
  std::unordered_set<std::string_view> mSeqNames;
};

#endif  // SEQCONV_SEQ_TABLE_READER_H
