// Tests of the table reader's two ways of reading a table line: straight from its characters
// (plain lines, fields over numbers and macros) and token by token. Each source is read both
// ways; report and error must be the same bytes.
#include "seqconv/seq_table_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "lexer/lexer.h"
#include "seqconv/my_cmdline_parser.h"

namespace {

struct Outcome {
  std::string report;
  std::string error;
};

Outcome Read(const std::string& text, bool plainLineReading) {
  my_cmdline_parser options;
  std::FILE* report = std::tmpfile();
  EXPECT_NE(nullptr, report);
  Outcome outcome;
  std::istringstream stream(text);
  try {
    SeqTableReader reader(options);
    reader.SetOutput(report);
    reader.SetPlainLineReading(plainLineReading);
    reader.Analyze("table.mus", stream);
  } catch (const Lexer::Exception& e) {
    outcome.error = e.Message();
  }
  std::rewind(report);
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, report)) > 0;)
    outcome.report.append(buffer, got);
  std::fclose(report);
  return outcome;
}

TEST(SeqTableReader, ReadsLinesWholeAsItReadsTheirTokens) {
  const std::string kHead =
      "#define BANK 0x100\n#define VOL (BANK >> 2)\n#define TWO 60, 70\n#define EMPTY\n"
      "#define NAME LABEL_FROM_MACRO\n#define TEXT \"t\"\n@SEQ_TABLE\n";
  const std::string sources[] = {
      // Taken whole: numbers, comments, blanks, named and numbered entries.
      "A: LA, 1, 2, 3, 4, 5\n7: L7, 65535, 127, 127, 127, 31 ; note\n\t B = 9 :LB,0,0,0,0,0\n",
      // Runs of blanks padding columns: eight spaces and more, tabs among them.
      "A:          LA,  1,\t2,        3,         \t 4, 5\nB:\t\t        LB, 1, 2, 3, 4, 5\n"
      "C:                LC, 1, 2, 3, 4, 5               ;\n"
      "D:         LONGLABEL, 1, 2, 3, 4, 5\n",
      // Fields over macros and operators; bodies that make more than one field.
      "A: LA, BANK + 1, VOL - 1, 3 * 4, {0-2} | 8, 1 << 4\nB: LB, BANK, TWO, 5, EMPTY 6\n",
      // Lines for the tokens: a macro as name or label, strings, binary numbers, errors.
      "NAME: L, 1, 2, 3, 4, 5\nA: NAME, 1, 2, 3, 4, 5\nB: L, 0b1, 2, 3, 4, 5\n",
      "A: L, TEXT, 2, 3, 4, 5\n", "A: L, 1, 2, 3, 4\n", "A: L, 1, 2, 3, 4, 5, 6\n",
      "A: L, 1, 2, 3, 4, 32\n", "A: L, 1, VOL * 2, 3, 4, 5\n", "A: L, 1 / 0, 2, 3, 4, 5\n",
      "A: L, -1, 2, 3, 4, 5\n", "A = 65536: L, 1, 2, 3, 4, 5\n",
      "A = 0x10: L, 1, 2, 3, 4, 5\nB = 16: L, 1, 2, 3, 4, 5\n",
      // Repeated names, in lines of both kinds, before later errors.
      "A: L, 1, 2, 3, 4, 5\nB: L, BANK, 2, 3, 4, 5\nA: L, 1, 2, 3, 4, 5\nC: L, !\n",
      "A: L, BANK, 2, 3, 4, 5\nA: L, 1, 2, 3, 4, 5\n",
      "A: L, 1, 2, 3, 4, 5\n",  // no @SEQ_DATA
  };
  for (const std::string& source : sources) {
    for (const std::string& end : {std::string("@SEQ_DATA\n"), std::string()}) {
      const std::string text = kHead + source + end;
      SCOPED_TRACE(text);
      const Outcome whole = Read(text, true);
      const Outcome tokens = Read(text, false);
      EXPECT_EQ(tokens.report, whole.report);
      EXPECT_EQ(tokens.error, whole.error);
    }
  }
}

// Entries are kept by number in blocks of numbers: the report runs in number order across
// blocks, gaps and blocks never used, and a number is taken once whichever block it is in.
TEST(SeqTableReader, ListsEntriesInNumberOrderAcrossBlocksOfNumbers) {
  const std::string text =
      "@SEQ_TABLE\nA = 65535: LA, 1, 2, 3, 4, 5\nB = 4096: LB, 1, 2, 3, 4, 5\n"
      "C: LC, 1, 2, 3, 4, 5\nD = 0: LD, 1, 2, 3, 4, 5\nE = 4095: LE, 1, 2, 3, 4, 5\n"
      "@SEQ_DATA\n";
  for (const bool plain : {true, false}) {
    const Outcome listed = Read(text, plain);
    EXPECT_EQ("", listed.error);
    EXPECT_EQ(
        "D: LD, 1, 2, 3, 4, 5\nE: LE, 1, 2, 3, 4, 5\nB: LB, 1, 2, 3, 4, 5\n"
        "C: LC, 1, 2, 3, 4, 5\nA: LA, 1, 2, 3, 4, 5\n",
        listed.report);
    const Outcome taken = Read(
        "@SEQ_TABLE\nA = 8191: L, 1, 2, 3, 4, 5\nB = 4096: L, 1, 2, 3, 4, 5\n"
        "C = 8191: L, 1, 2, 3, 4, 5\n@SEQ_DATA\n",
        plain);
    EXPECT_EQ("table.mus:4: Multiple defined sequence number 8191\nC = 8191: L, 1, 2, 3, 4, 5\n",
              taken.error);
  }
}

// Repeated names are looked for through a filter that grows with the table and lets through,
// besides every repeat, names that merely share a hash bit with an earlier one; the truth is
// settled at the end. The report must still name the first line that repeats a name (not the
// repeat of the earliest name), with its text, wherever the filter stood at the time.
TEST(SeqTableReader, ReportsTheFirstRepeatedNameOfALargeTable) {
  const int kEntries = 150000;
  struct Case {
    const char* what;
    std::map<int, int> repeats;  // entry -> the earlier entry whose name it takes
    int first;                   // the entry to report, or -1
  };
  // The last thousand entries repeat names from early on, some of which were candidates
  // themselves: a name only repeats one before it.
  std::map<int, int> lateRepeats;
  for (int entry = kEntries - 1000; entry < kEntries; ++entry) {
    const int earlier = entry - (kEntries - 2000);
    lateRepeats[entry] = earlier % 7 == 0 ? earlier + 1 : earlier;
  }
  const Case cases[] = {
      {"all names differ", {}, -1},
      {"an early repeat", {{5, 3}}, 5},
      {"a late repeat of the first name", {{140000, 1}}, 140000},
      {"the first repeat is not of the first name", {{90000, 1}, {80000, 79000}}, 80000},
      {"a name three times", {{70000, 10}, {60000, 10}}, 60000},
      {"neighbours", {{100000, 99999}, {120000, 5}}, 100000},
      {"many late repeats", lateRepeats, kEntries - 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Every seventh entry up to the highest bare number has one and no name; the others are
    // named S<entry>. A repeat takes the name of a named entry.
    std::string text = "@SEQ_TABLE\n";
    std::string firstLine;
    for (int entry = 0; entry < kEntries; ++entry) {
      const auto repeat = c.repeats.find(entry);
      std::string line;
      if (repeat != c.repeats.end()) {
        line = "S" + std::to_string(repeat->second);
      } else if (entry % 7 == 0 && entry <= 65535) {
        line = std::to_string(entry);
      } else {
        line = "S" + std::to_string(entry);
      }
      line += ": D" + std::to_string(entry) + ", 1, 2, 3, 4, 5\n";
      if (entry == c.first) firstLine = line;
      text += line;
    }
    text += "@SEQ_DATA\n";
    const Outcome outcome = Read(text, true);
    if (c.first < 0) {
      EXPECT_EQ("", outcome.error);
      EXPECT_EQ(kEntries, std::count(outcome.report.begin(), outcome.report.end(), '\n'));
    } else {
      const std::string name = firstLine.substr(0, firstLine.find(':'));
      EXPECT_EQ("table.mus:" + std::to_string(c.first + 2) + ": Multiple defined label \"" + name +
                    "\"\n" + firstLine,
                outcome.error);
      EXPECT_TRUE(outcome.report.empty());
    }
  }
}

}  // namespace
