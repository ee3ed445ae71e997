// The sequence table parser and its report.
#include "seqconv/seq_table_reader.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <memory>

#include "lexer/char_class.h"
#include "lexer/expression.h"
#include "lexer/lexer.h"
#include "lexer/name_hash.h"
#include "lexer/short_number.h"

namespace {

struct NumericField {
  std::string name;
  std::int64_t maximum;
};

// Built once: the checks take their names as strings, and an entry is read for every line.
const NumericField kFields[] = {
    {"bank number", 65535},   {"volume", 127},       {"channel priority", 127},
    {"player priority", 127}, {"player number", 31},
};

const std::string kNumber = "number";
const std::string kColon = "colon";
const std::string kLabel = "sequence data label";
const std::string kComma = "comma";
const std::string kNewline = "newline";

std::string RepeatedLabelMessage(std::string_view name) {
  return "Multiple defined label \"" + std::string(name) + "\"";
}

// Each value has passed its field's range check, so it fits.
void SetFields(Seq& seq, const std::int64_t (&values)[5]) {
  seq.bank = static_cast<std::uint16_t>(values[0]);
  seq.volume = static_cast<std::uint8_t>(values[1]);
  seq.channelPriority = static_cast<std::uint8_t>(values[2]);
  seq.playerPriority = static_cast<std::uint8_t>(values[3]);
  seq.playerNumber = static_cast<std::uint8_t>(values[4]);
}

}  // namespace

SeqTableReader::SeqTableReader(const my_cmdline_parser& options) : mOptions(options) {}

void SeqTableReader::Analyze(const std::string& fileName, std::istream& stream) {
  Lexer lexer(stream, fileName);
  for (const std::string& directory : mOptions.mIncludePaths)
    lexer.AddIncludeDir(directory);
  ParseSeqTable(lexer);
  PrintSeqTable();
}

void SeqTableReader::ParseSeqTable(Lexer& lexer) {
  lexer.SetFailOnEnd(true);
  try {
    bool inTable = false;
    for (;;) {
      if (inTable && mPlainLineReading && ReadPlainEntryLine(lexer)) continue;
      const TokenKind kind = lexer.GetNextToken();
      if (kind == '\n') continue;
      if (!inTable) {
        if (kind != TOKEN_DIRECTIVE || lexer.StringValue() != "SEQ_TABLE") {
          lexer.Fail("Expected @SEQ_TABLE, but found \"" + lexer.GetTokenText() + "\"");
        }
        inTable = true;
      } else if (kind == TOKEN_DIRECTIVE) {
        if (lexer.StringValue() == "SEQ_DATA") {
          mNames.ThrowFirstRepeat();
          return;
        }
        lexer.Fail("Unexpected directive \"" + lexer.StringValue() + "\"");
      } else if (kind == TOKEN_IDENTIFIER || kind == TOKEN_NUMBER) {
        ReadEntry(lexer);
      } else {
        lexer.FailSyntax();
      }
    }
  } catch (const Lexer::Failure&) {
    mNames.ThrowFirstRepeat();  // a repeated name in an earlier line is the first error
    lexer.Fail("not found @SEQ_DATA");
  } catch (...) {
    mNames.ThrowFirstRepeat();  // a repeated name in an earlier line is the first error
    throw;
  }
}

void SeqTableReader::ReadEntry(Lexer& lexer) {
  Seq seq;
  std::uint32_t nameHash = 0;
  std::int64_t number = mNextNumber;
  mName.clear();
  bool explicitNumber = lexer.GetTokenKind() == TOKEN_NUMBER;
  if (!explicitNumber) {
    mName = lexer.StringValue();
    nameHash = NameCheck::Hash(mName);
    explicitNumber = lexer.GetNextToken() == '=';
    if (explicitNumber) {
      lexer.GetNextToken();
      lexer.ExpectToken(TOKEN_NUMBER, kNumber);
    }
  }
  if (explicitNumber) {
    number = lexer.GetNumberValue();
    lexer.CheckRange(kNumber, number, 0, 65535);
    lexer.GetNextToken();
  }

  if (mNumbers.Find(static_cast<std::size_t>(number)) != 0) {
    lexer.Fail("Multiple defined sequence number " + std::to_string(number));
  }

  lexer.ExpectToken(':', kColon);
  lexer.GetNextToken();
  lexer.ExpectToken(TOKEN_IDENTIFIER, kLabel);
  StoreTexts(seq, mName, lexer.StringValue());
  lexer.GetNextToken();
  lexer.ExpectToken(',', kComma);

  ExpressionEvaluator evaluator;
  evaluator.SetUndefinedIsZero(false);
  std::int64_t values[5];
  for (int i = 0; i < 5; ++i) {
    if (i > 0) lexer.ExpectToken(',', kComma);
    values[i] = evaluator.Evaluate(lexer, &mSymbols, nullptr, nullptr);
    lexer.CheckRange(kFields[i].name, values[i], 0, kFields[i].maximum);
  }
  SetFields(seq, values);
  lexer.ExpectToken('\n', kNewline);

  // A repeated name is only caught once the whole line has been read.
  const std::uint32_t entry = static_cast<std::uint32_t>(mEntries.size());
  FileEntry(number, nameHash) = seq;
  if (seq.nameLength != 0) mNames.Add(lexer, entry);
}

Seq& SeqTableReader::FileEntry(std::int64_t number, std::uint32_t nameHash) {
  mNextNumber = static_cast<std::int32_t>(number + 1);
  mNumbers.Set(static_cast<std::size_t>(number), mEntries.size());
  return mEntries.Add(nameHash);
}

namespace {

// Blanks, eight spaces at a time where a run of them pads a column. `end` is the end of the
// line, which ends with '\n'.
[[gnu::always_inline]] inline const char* SkipBlanks(const char* p, const char* end) {
  // Mostly there is no blank or a single one (after a comma): settle those first. A blank is
  // never the line's last character, so p[1] is there.
  if (!IsBlank(*p)) return p;
  if (!IsBlank(p[1])) return p + 1;
  const std::uint64_t kEightSpaces = 0x2020202020202020ull;
  for (std::uint64_t chunk; end - p >= 8; p += 8) {
    std::memcpy(&chunk, p, 8);
    if (const std::uint64_t others = chunk ^ kEightSpaces) {
      p += __builtin_ctzll(others) / 8;  // the spaces before the first other byte
      break;
    }
  }
  while (IsBlank(*p))
    ++p;
  return p;
}

bool FitsField(int field, std::int64_t value) {
  return value >= 0 && value <= kFields[field].maximum;
}

// A short number (see short_number.h); null for anything else.
[[gnu::always_inline]] inline const char* ScanPlainNumber(const char* p, const char* end,
                                                          std::int64_t& value) {
  if (!IsDigit(*p)) return nullptr;
  std::uint64_t number;
  p = ScanShortNumber(p, end, number);
  if (p != nullptr) value = static_cast<std::int64_t>(number);
  return p;
}

}  // namespace

// Most table lines are plain: names, a colon, fields that are numbers or expressions over numbers
// and macros, commas, blanks and maybe a comment, with no macro among the names and nothing
// wrong. Such a line of taken text is read here straight from its characters, with the same
// result as reading its tokens. Any other line, and any line that holds an error, is left
// untouched for ReadEntry, which reads it token by token and reports what it finds.
bool SeqTableReader::ReadPlainEntryLine(Lexer& lexer) {
  const std::string_view line = lexer.PeekLine();
  if (line.empty()) return false;
  // The line ends with '\n', which stops every scan.
  const char* const lineEnd = line.data() + line.size();
  const char* p = SkipBlanks(line.data(), lineEnd);
  if (*p == '\n' || *p == ';') {
    lexer.SkipPeekedLine();  // a blank or comment line
    return true;
  }
  std::string_view name;
  std::int64_t number = mNextNumber;
  if (IsNameStart(*p)) {
    const char* nameEnd = SkipNameChars(p, lineEnd);
    name = std::string_view(p, static_cast<std::size_t>(nameEnd - p));
    p = SkipBlanks(nameEnd, lineEnd);
    if (*p == '=') {
      if (p[1] == '=') return false;
      p = ScanPlainNumber(SkipBlanks(p + 1, lineEnd), lineEnd, number);
      if (p == nullptr || number > 65535) return false;
      p = SkipBlanks(p, lineEnd);
    }
  } else {
    p = ScanPlainNumber(p, lineEnd, number);
    if (p == nullptr || number > 65535) return false;
    p = SkipBlanks(p, lineEnd);
  }
  if (*p != ':') return false;
  p = SkipBlanks(p + 1, lineEnd);
  if (!IsNameStart(*p)) return false;
  const char* labelEnd = SkipNameChars(p, lineEnd);
  const std::string_view label(p, static_cast<std::size_t>(labelEnd - p));
  p = SkipBlanks(labelEnd, lineEnd);
  std::int64_t values[5];
  std::size_t expanded = 0;  // macro tokens the fields used
  for (int i = 0; i < 5; ++i) {
    if (*p != ',') return false;
    const char* const field = SkipBlanks(p + 1, lineEnd);
    p = ScanPlainNumber(field, lineEnd, values[i]);
    if (p != nullptr) p = SkipBlanks(p, lineEnd);
    if (p == nullptr || (*p != ',' && *p != '\n' && *p != ';')) {
      p = field;
      if (lexer.EvaluatePeekedField(p, values[i], expanded)) {
        if (!FitsField(i, values[i])) return false;
        continue;
      }
      if (!ReadFieldExpressions(lexer, line, field, values + i, 5 - i, expanded)) return false;
      for (; i < 5; ++i) {
        if (!FitsField(i, values[i])) return false;
      }
      p = lineEnd - 1;
      break;
    }
    if (values[i] > kFields[i].maximum) return false;  // a plain number is never negative
  }
  if (*p != '\n' && *p != ';') return false;

  if (mNumbers.Find(static_cast<std::size_t>(number)) != 0) return false;
  if (lexer.IsMacro(label) || (!name.empty() && lexer.IsMacro(name))) return false;
  if (expanded > 0 && !lexer.TakeExpandedTokens(expanded)) return false;

  // Filled where it is stored: an entry put together on the stack and copied would be read
  // back before its narrow stores have landed.
  const std::uint32_t entry = static_cast<std::uint32_t>(mEntries.size());
  Seq& seq = FileEntry(number, name.empty() ? 0 : NameCheck::Hash(name));
  StoreTexts(seq, name, label);
  SetFields(seq, values);
  if (!name.empty()) mNames.Add(lexer, entry);
  lexer.SkipPeekedLine();
  return true;
}

// A field that is more than a number, and the fields after it up to the line end: their tokens
// are read from the line by the lexer, which takes numbers, operators and macros whose bodies
// hold only those, and evaluated from there. False for the token path. Giving up costs more than
// reading the line by tokens at once, so after many lines given up, the token path gets such
// lines straight away.
bool SeqTableReader::ReadFieldExpressions(Lexer& lexer, std::string_view line, const char* field,
                                          std::int64_t* values, int count, std::size_t& expanded) {
  if (mExpressionsLeft > 8 * mExpressionsRead + 256) return false;
  const std::size_t kCapacity = 256;
  Lexer::LineToken tokens[kCapacity];
  tokens[0] = Lexer::LineToken{0, ',', false};
  bool read = lexer.ScanPeekedLine(line, static_cast<std::size_t>(field - line.data()), tokens,
                                   kCapacity, expanded);
  std::size_t at = 1;
  for (int i = 0; read && i < count; ++i) {
    // Between fields, a ',' of the line's own: one from a macro body has no place there.
    if (i > 0) {
      read = tokens[at].kind == ',' && !tokens[at].fromBody;
      ++at;
    }
    const Lexer::LineToken& first = tokens[at];
    if (read && first.kind == TOKEN_NUMBER &&
        (tokens[at + 1].kind == ',' || tokens[at + 1].kind == '\n')) {
      values[i] = first.value;  // a number alone, such as a macro of one
      ++at;
    } else if (read) {
      read = Lexer::EvaluateLineTokens(tokens, at, values[i]);
    }
  }
  read = read && tokens[at].kind == '\n';
  ++(read ? mExpressionsRead : mExpressionsLeft);
  return read;
}

void SeqTableReader::StoreTexts(Seq& seq, std::string_view name, std::string_view label) {
  seq.texts = mText.Store(name, label);
  seq.nameLength = static_cast<std::uint32_t>(name.size());
  seq.labelLength = static_cast<std::uint32_t>(label.size());
}

const char* SeqTableReader::TextStore::Store(std::string_view first, std::string_view second) {
  const std::size_t kBlockSize = 64 * 1024;
  const std::size_t size = first.size() + second.size();
  char* out;
  if (size <= mLeft) {
    out = mFree;
    mFree += size;
    mLeft -= size;
  } else if (size > kBlockSize / 4) {
    // Long texts get a block of their own; the current block stays in use.
    mBlocks.emplace_back(new char[size]);
    out = mBlocks.back().get();
  } else {
    mBlocks.emplace_back(new char[kBlockSize]);
    out = mBlocks.back().get();
    mFree = out + size;
    mLeft = kBlockSize - size;
  }
  if (!first.empty()) std::memcpy(out, first.data(), first.size());
  if (!second.empty()) std::memcpy(out + first.size(), second.data(), second.size());
  return out;
}

std::uint32_t SeqTableReader::NameCheck::Hash(std::string_view name) {
  return HashName(name);
}

void SeqTableReader::NameCheck::Add(const Lexer& lexer, std::uint32_t entry) {
  if (mFiles.empty() || lexer.FileChanges() != mFileChanges) {
    TestPending();
    mFiles.emplace_back(lexer.FileName());
    mFileChanges = lexer.FileChanges();
  }
  const std::string_view line = lexer.GetLineTextView();
  mPending[mPendingCount++] = Line{entry, static_cast<std::uint32_t>(mFiles.size() - 1),
                                   lexer.GetLineNumber(), mPendingLines.size(), line.size()};
  mPendingLines.append(line);
  // The word is fetched now and tested a few lines later, when it has arrived.
  if (!mFilter.empty()) __builtin_prefetch(&mFilter[mEntries.NameHash(entry) & mWordMask], 1);
  if (mPendingCount == kBatch) TestPending();
}

void SeqTableReader::NameCheck::TestPending() {
  // At least 16 bits per name: two bits of a word that holds four names or fewer are both set
  // already about one time in 60.
  if (mFilter.empty() ||
      (mNames + mPendingCount > 4 * (mWordMask + std::size_t{1}) && mWordMask < kMaxWordMask)) {
    GrowFilter();
  }
  for (std::size_t i = 0; i < mPendingCount; ++i) {
    const Line& pending = mPending[i];
    const std::uint32_t hash = mEntries.NameHash(pending.entry);
    std::uint64_t& word = mFilter[hash & mWordMask];
    const std::uint64_t bits = FilterBits(hash);
    if ((word & bits) == bits) {
      mCandidates.push_back(
          Line{pending.entry, pending.file, pending.number, mLines.size(), pending.length});
      mLines.append(mPendingLines, pending.offset, pending.length);
    }
    word |= bits;
  }
  mNames += static_cast<std::uint32_t>(mPendingCount);
  mPendingCount = 0;
  mPendingLines.clear();
}

void SeqTableReader::NameCheck::GrowFilter() {
  // Four times as large each time: fewer rebuilds, each of which reads every name again.
  const std::size_t words =
      mFilter.empty() ? std::size_t{1} << 10 : 4 * (mWordMask + std::size_t{1});
  mFilter.assign(words, 0);
  mWordMask = static_cast<std::uint32_t>(words - 1);
  // Entries without a name set a bit too: that only makes a candidate now and then.
  const std::uint32_t entries = mPendingCount > 0 ? mPending[0].entry : mEntries.size();
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint32_t hash = mEntries.NameHash(i);
    mFilter[hash & mWordMask] |= FilterBits(hash);
  }
}

namespace {

// Sorts numbers by their high 32 bits (a name hash above an index), eleven bits at a time:
// passes over the whole array rather than a comparison sort's jumps.
void SortByHash(std::vector<std::uint64_t>& keys) {
  std::vector<std::uint64_t> other(keys.size());
  for (unsigned shift = 32; shift < 64; shift += 11) {
    std::size_t starts[2048 + 1] = {};
    for (std::uint64_t key : keys)
      ++starts[(key >> shift & 2047) + 1];
    for (std::size_t digit = 1; digit <= 2048; ++digit)
      starts[digit] += starts[digit - 1];
    for (std::uint64_t key : keys)
      other[starts[key >> shift & 2047]++] = key;
    keys.swap(other);
  }
}

}  // namespace

void SeqTableReader::NameCheck::ThrowFirstRepeat() {
  TestPending();
  if (mCandidates.empty()) return;
  // Hash and index, one number that sorts by the hash: of each candidate, and of each entry
  // that may share the hash of one, found through a filter of the candidates' hashes (on other
  // bits than those that made them candidates). Two sorted runs compared in step instead of a
  // lookup per entry, which would wait on memory each time.
  const auto key = [](std::uint32_t hash, std::uint32_t index) {
    return static_cast<std::uint64_t>(hash) << 32 | index;
  };
  unsigned shift = 32 - 6;
  while (shift > 2 && (std::size_t{1} << (32 - shift)) < 32 * mCandidates.size())
    --shift;
  std::vector<std::uint64_t> filter((std::size_t{1} << (32 - shift)) / 64, 0);
  const auto word = [&filter, shift](std::uint32_t hash) -> std::uint64_t& {
    return filter[(hash >> shift) / 64];
  };
  const auto bit = [shift](std::uint32_t hash) {
    return std::uint64_t{1} << ((hash >> shift) % 64);
  };
  std::vector<std::uint64_t> candidates;
  candidates.reserve(mCandidates.size());
  for (std::uint32_t k = 0; k < mCandidates.size(); ++k) {
    const std::uint32_t hash = mEntries.NameHash(mCandidates[k].entry);
    candidates.push_back(key(hash, k));
    word(hash) |= bit(hash);
  }
  std::vector<std::uint64_t> entries;
  const std::uint32_t last = mCandidates.back().entry;  // no later entry can come first
  for (std::uint32_t i = 0; i < last; ++i) {
    const std::uint32_t hash = mEntries.NameHash(i);
    if ((word(hash) & bit(hash)) != 0) entries.push_back(key(hash, i));
  }
  SortByHash(candidates);
  SortByHash(entries);

  // The first repeat is the candidate with the lowest entry whose name an earlier entry has.
  const Line* first = nullptr;
  auto other = entries.begin();
  for (auto it = candidates.begin(); it != candidates.end(); ++it) {
    const std::uint32_t hash = static_cast<std::uint32_t>(*it >> 32);
    while (other != entries.end() && *other < key(hash, 0))
      ++other;
    const Line& candidate = mCandidates[static_cast<std::uint32_t>(*it)];
    if (first != nullptr && candidate.entry >= first->entry) continue;
    const std::string_view name = mEntries[candidate.entry].Name();
    for (auto same = other; same != entries.end() && *same >> 32 == hash; ++same) {
      const std::uint32_t i = static_cast<std::uint32_t>(*same);
      if (i < candidate.entry && mEntries[i].Name() == name) {
        first = &candidate;
        break;
      }
    }
  }
  if (first == nullptr) return;
  throw Lexer::Exception(RepeatedLabelMessage(mEntries[first->entry].Name()), mFiles[first->file],
                         first->number, mLines.substr(first->offset, first->length));
}

namespace {

/// Collects the report in a block and writes it when full: one library call per block, not per
/// line.
class ReportWriter {
 public:
  explicit ReportWriter(std::FILE* stream) : mStream(stream), mBuffer(kSize) {}
  ~ReportWriter() { Flush(); }
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  /// "name: label, bank, volume, channel priority, player priority, player number\n"
  void WriteLine(const Seq& seq) {
    const std::string_view name = seq.Name();
    const std::string_view label = seq.Label();
    const std::size_t texts = name.size() + 2 + label.size();
    if (texts + kFieldsSize > kSize - mUsed) {
      Flush();
      if (texts + kFieldsSize > kSize) {
        // Longer than the whole buffer: the texts go out on their own.
        std::fwrite(name.data(), 1, name.size(), mStream);
        std::fwrite(": ", 1, 2, mStream);
        std::fwrite(label.data(), 1, label.size(), mStream);
        mUsed = static_cast<std::size_t>(WriteFields(mBuffer.data(), seq) - mBuffer.data());
        return;
      }
    }
    char* out = mBuffer.data() + mUsed;
    out = Copy(out, name);
    *out++ = ':';
    *out++ = ' ';
    out = Copy(out, label);
    mUsed = static_cast<std::size_t>(WriteFields(out, seq) - mBuffer.data());
  }

  void Flush() {
    if (mUsed > 0) std::fwrite(mBuffer.data(), 1, mUsed, mStream);
    mUsed = 0;
  }

 private:
  static const std::size_t kSize = 64 * 1024;
  // Five fields of at most five digits each with their separator, and the line end.
  // The fields of at most 127 are written eight bytes at a time, whatever they hold: room for that.
  static const std::size_t kFieldsSize = 5 * 7 + 1 + 8;

  // ", bank, volume, channel priority, player priority, player number\n" at `out`, where there
  // is room; returns the end.
  static char* WriteFields(char* out, const Seq& seq) {
    *out++ = ',';
    *out++ = ' ';
    out = WriteNumber(out, seq.bank);
    out = WriteSmallField(out, seq.volume);
    out = WriteSmallField(out, seq.channelPriority);
    out = WriteSmallField(out, seq.playerPriority);
    out = WriteSmallField(out, seq.playerNumber);
    *out++ = '\n';
    return out;
  }

  // ", " and a value of at most 127 (every field but the bank), from a table.
  struct SmallField {
    char text[8];
    std::size_t size;
  };
  static constexpr std::array<SmallField, 128> MakeSmallFields() {
    std::array<SmallField, 128> table{};
    for (unsigned value = 0; value < 128; ++value) {
      SmallField& field = table[value];
      field.text[0] = ',';
      field.text[1] = ' ';
      std::size_t size = 2;
      if (value >= 100) field.text[size++] = static_cast<char>('0' + value / 100);
      if (value >= 10) field.text[size++] = static_cast<char>('0' + value / 10 % 10);
      field.text[size++] = static_cast<char>('0' + value % 10);
      field.size = size;
    }
    return table;
  }
  static char* WriteSmallField(char* out, unsigned value) {
    static constexpr std::array<SmallField, 128> kSmallFields = MakeSmallFields();
    assert(value < 128);
    std::memcpy(out, kSmallFields[value].text, 8);
    return out + kSmallFields[value].size;
  }

  static char* Copy(char* out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    return out + text.size();
  }

  // Decimal digits of a field value (at most 65535), two at a time.
  static char* WriteNumber(char* out, unsigned value) {
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    assert(value <= 65535);
    if (value < 10) {
      *out++ = static_cast<char>('0' + value);
      return out;
    }
    if (value >= 10000) {
      *out++ = static_cast<char>('0' + value / 10000);
      value %= 10000;
    } else if (value < 100) {
      std::memcpy(out, kPairs + 2 * value, 2);
      return out + 2;
    } else if (value < 1000) {
      *out++ = static_cast<char>('0' + value / 100);
      std::memcpy(out, kPairs + 2 * (value % 100), 2);
      return out + 2;
    }
    std::memcpy(out, kPairs + 2 * (value / 100), 2);
    std::memcpy(out + 2, kPairs + 2 * (value % 100), 2);
    return out + 4;
  }

  std::FILE* mStream;
  std::vector<char> mBuffer;
  std::size_t mUsed = 0;
};

}  // namespace

// Lines are formatted as "%s: %s, %d, %d, %d, %d, %d\n" would format them.
void SeqTableReader::PrintSeqTable() {
  ReportWriter out(mOutput);
  mNumbers.ForEach([this, &out](std::uint32_t entry) { out.WriteLine(mEntries[entry]); });
}
