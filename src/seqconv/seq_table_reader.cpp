// The sequence table parser and its report.
#include "seqconv/seq_table_reader.h"

#include <cstdio>

#include "lexer/expression.h"
#include "lexer/lexer.h"

namespace {

struct NumericField {
  std::string name;
  std::int64_t maximum;
};

// Built once: the checks take their names as strings, and an entry is read for every line.
const NumericField kFields[] = {
    {"bank number", 65535},  {"volume", 127},        {"channel priority", 127},
    {"player priority", 127}, {"player number", 31},
};

const std::string kNumber = "number";
const std::string kColon = "colon";
const std::string kLabel = "sequence data label";
const std::string kComma = "comma";
const std::string kNewline = "newline";

}  // namespace

SeqTableReader::SeqTableReader(const my_cmdline_parser& options) : mOptions(options) {}

void SeqTableReader::Analyze(const std::string& fileName, std::istream& stream) {
  Lexer lexer(stream, fileName);
  for (const std::string& directory : mOptions.mIncludePaths) lexer.AddIncludeDir(directory);
  ParseSeqTable(lexer);
  PrintSeqTable();
}

void SeqTableReader::ParseSeqTable(Lexer& lexer) {
  lexer.SetFailOnEnd(true);
  try {
    bool inTable = false;
    for (;;) {
      const TokenKind kind = lexer.GetNextToken();
      if (kind == '\n') continue;
      if (!inTable) {
        if (kind != TOKEN_DIRECTIVE || lexer.StringValue() != "SEQ_TABLE") {
          lexer.Fail("Expected @SEQ_TABLE, but found \"" + lexer.GetTokenText() + "\"");
        }
        inTable = true;
      } else if (kind == TOKEN_DIRECTIVE) {
        if (lexer.StringValue() == "SEQ_DATA") return;
        lexer.Fail("Unexpected directive \"" + lexer.StringValue() + "\"");
      } else if (kind == TOKEN_IDENTIFIER || kind == TOKEN_NUMBER) {
        ReadEntry(lexer);
      } else {
        lexer.FailSyntax();
      }
    }
  } catch (const Lexer::Failure&) {
    lexer.Fail("not found @SEQ_DATA");
  }
}

void SeqTableReader::ReadEntry(Lexer& lexer) {
  Seq seq;
  std::int64_t number = mNextNumber;
  bool explicitNumber = lexer.GetTokenKind() == TOKEN_NUMBER;
  if (!explicitNumber) {
    seq.name = lexer.StringValue();
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

  const std::size_t slot = static_cast<std::size_t>(number);
  if (slot >= mSeqs.size()) mSeqs.resize(slot + 1);
  if (mSeqs[slot] != 0) lexer.Fail("Multiple defined sequence number " + std::to_string(number));
  mNextNumber = static_cast<std::int32_t>(number + 1);

  lexer.ExpectToken(':', kColon);
  lexer.GetNextToken();
  lexer.ExpectToken(TOKEN_IDENTIFIER, kLabel);
  seq.label = lexer.StringValue();
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
  seq.bank = static_cast<std::uint16_t>(values[0]);
  seq.volume = static_cast<std::uint8_t>(values[1]);
  seq.channelPriority = static_cast<std::uint8_t>(values[2]);
  seq.playerPriority = static_cast<std::uint8_t>(values[3]);
  seq.playerNumber = static_cast<std::uint8_t>(values[4]);
  lexer.ExpectToken('\n', kNewline);

  const std::uint32_t index = static_cast<std::uint32_t>(mEntries.size());
  mEntries.push_back(std::move(seq));
  // A repeated name is only caught once the whole line has been read.
  const Seq& entry = mEntries.back();
  if (!entry.name.empty() && !mSeqNames.Insert(index)) {
    lexer.Fail("Multiple defined label \"" + entry.name + "\"");
  }
  mSeqs[slot] = index + 1;
}

bool SeqTableReader::NameSet::Insert(std::uint32_t index) {
  if ((mCount + 1) * 2 > mSlots.size()) Grow();
  const std::string& name = mEntries[index].name;
  const std::uint32_t hash = static_cast<std::uint32_t>(std::hash<std::string>()(name));
  const std::size_t mask = mSlots.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = mSlots[i];
    if (slot.entry == 0) {
      slot = Slot{index + 1, hash};
      ++mCount;
      return true;
    }
    if (slot.hash == hash && mEntries[slot.entry - 1].name == name) return false;
  }
}

void SeqTableReader::NameSet::Grow() {
  std::vector<Slot> old(mSlots.empty() ? 64 : mSlots.size() * 2, Slot{0, 0});
  old.swap(mSlots);
  const std::size_t mask = mSlots.size() - 1;
  for (const Slot& slot : old) {
    if (slot.entry == 0) continue;
    std::size_t i = slot.hash & mask;
    while (mSlots[i].entry != 0) i = (i + 1) & mask;
    mSlots[i] = slot;
  }
}

namespace {

void AppendNumber(std::string& out, unsigned value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

}  // namespace

// Lines are formatted as "%s: %s, %d, %d, %d, %d, %d\n" would, collected and written in blocks.
void SeqTableReader::PrintSeqTable() {
  std::string out;
  const std::size_t kFlushAt = 64 * 1024;
  for (std::uint32_t entry : mSeqs) {
    if (entry == 0) continue;
    const Seq& seq = mEntries[entry - 1];
    out += seq.name;
    out += ": ";
    out += seq.label;
    const unsigned numbers[] = {seq.bank, seq.volume, seq.channelPriority, seq.playerPriority,
                                seq.playerNumber};
    for (unsigned number : numbers) {
      out += ", ";
      AppendNumber(out, number);
    }
    out += '\n';
    if (out.size() >= kFlushAt) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}
