// Tests of the table reader's two ways of reading a table line: straight from its characters
// (plain lines, fields over numbers and macros) and token by token. Each source is read both
// ways; report and error must be the same bytes.
#include "seqconv/seq_table_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
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

}  // namespace
