// Micro-benchmarks of the hot paths inside one process: the scanner on table text, skipped
// conditional text and macro uses, the expression evaluator, and the table reader per entry.
// Inputs are built in memory, so no file system time is measured.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "lexer/expression.h"
#include "lexer/lexer.h"
#include "seqconv/my_cmdline_parser.h"
#include "seqconv/seq_table_reader.h"

namespace {

const int kLines = 20000;

// Fields of scattered values and widths, as generated tables have them: a reader whose branches
// learn a repeating pattern would look faster here than on real input.
std::string EntryLine(int i) {
  const std::uint32_t mix = static_cast<std::uint32_t>(i) * 2654435761u;
  return "SE_FOOTSTEP_" + std::to_string(100000 + i) + ":     STEP_" + std::to_string(i) +
         "_DATA, " + std::to_string(mix >> 20) + ", " + std::to_string(mix >> 9 & 127) + ", " +
         std::to_string(mix >> 2 & 127) + ", 0x20, " + std::to_string(mix >> 27) + "  ; take 2\n";
}

std::string TableText() {
  std::string text = "@SEQ_TABLE\n";
  for (int i = 0; i < kLines; ++i) {
    if (i % 16 == 0) text += "\n; ---- group " + std::to_string(i / 16) + " ----\n";
    text += EntryLine(i);
  }
  return text + "@SEQ_DATA\n";
}

std::string SkippedText() {
  std::string text = "#define LEVEL 3\n#if 0\n";
  for (int i = 0; i < kLines; ++i) {
    if (i % 20 == 0) text += "#ifdef FEATURE_" + std::to_string(i) + "\n";
    if (i % 20 == 10) text += "#elif LEVEL > 2\n";
    if (i % 20 == 19) text += "#endif\n";
    if (i % 7 == 0) text += "#define RETIRED_" + std::to_string(i) + " 1\n";
    text += EntryLine(i);
  }
  return text + "#endif\n";
}

std::string MacroText() {
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    text += "#define VOL_" + std::to_string(i) + " " + std::to_string(i % 128) + "\n";
    text += "#define MIX_" + std::to_string(i) + " ((VOL_" + std::to_string(i) + " + VOL_" +
            std::to_string((i * 7) % 1000) + ") / 2)\n";
  }
  for (int i = 0; i < kLines; ++i) {
    text += "MIX_" + std::to_string(i % 1000) + " VOL_" + std::to_string((i * 13) % 1000) +
            " MIX_" + std::to_string((i * 31) % 1000) + "\n";
  }
  return text;
}

// A table whose fields are expressions over 5,120 macros, as many as the macro workload has
// them: looking the macros up takes most of the time.
std::string MacroTableText() {
  const std::uint32_t kMacros = 2560;
  std::string text;
  for (std::uint32_t i = 0; i < kMacros; ++i) {
    const std::uint32_t mix = i * 2654435761u;
    text += "#define BANK_" + std::to_string(i) + " " + std::to_string(mix >> 22) + "\n";
    text += "#define VOL_" + std::to_string(i) + " (" + std::to_string(mix >> 9 & 63) + " + 1)\n";
  }
  text += "@SEQ_TABLE\n";
  for (int i = 0; i < kLines; ++i) {
    const auto pick = [i, kMacros](std::uint32_t salt) {
      return std::to_string((static_cast<std::uint32_t>(i) * 2654435761u ^ salt * 40503u) %
                            kMacros);
    };
    text += "SE_" + std::to_string(i) + ": D_" + std::to_string(i) + ", BANK_" + pick(1) +
            " * 4 + 3, (VOL_" + pick(2) + " + VOL_" + pick(3) + ") / 2, VOL_" + pick(4) +
            " >> 1 | 64, (VOL_" + pick(5) + " + 1) & 0x7F, VOL_" + pick(6) + " & {0-3}\n";
  }
  return text + "@SEQ_DATA\n";
}

std::string ExpressionText() {
  std::string text;
  for (int i = 0; i < kLines; ++i) {
    text += "(" + std::to_string(i) + " + 3) * 2 >> 1 | {2-4} & 0x7F\n";
  }
  return text;
}

/// Scans `text` to its end, token by token; returns the number of tokens.
std::int64_t ScanAll(const std::string& text) {
  std::istringstream stream(text);
  Lexer lexer(stream, "bench.mus");
  std::int64_t tokens = 0;
  while (lexer.GetNextToken() != TOKEN_EOF)
    ++tokens;
  return tokens;
}

void RunScanner(benchmark::State& state, const std::string& text) {
  std::int64_t tokens = 0;
  for (auto _ : state) {
    tokens = ScanAll(text);
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_ScanTable(benchmark::State& state) {
  static const std::string text = TableText();
  RunScanner(state, text);
}
BENCHMARK(BM_ScanTable)->Unit(benchmark::kMillisecond);

void BM_ScanSkipped(benchmark::State& state) {
  static const std::string text = SkippedText();
  RunScanner(state, text);
}
BENCHMARK(BM_ScanSkipped)->Unit(benchmark::kMillisecond);

void BM_ExpandMacros(benchmark::State& state) {
  static const std::string text = MacroText();
  RunScanner(state, text);
}
BENCHMARK(BM_ExpandMacros)->Unit(benchmark::kMillisecond);

void BM_Evaluate(benchmark::State& state) {
  static const std::string text = ExpressionText();
  std::int64_t sum = 0;
  for (auto _ : state) {
    std::istringstream stream(text);
    Lexer lexer(stream, "bench.mus");
    ExpressionEvaluator evaluator;
    evaluator.SetUndefinedIsZero(false);
    for (int i = 0; i < kLines; ++i)
      sum += evaluator.Evaluate(lexer, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kLines);
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMillisecond);

void RunReader(benchmark::State& state, const std::string& text) {
  const my_cmdline_parser options;
  for (auto _ : state) {
    std::istringstream stream(text);
    Lexer lexer(stream, "bench.mus");
    SeqTableReader reader(options);
    reader.ParseSeqTable(lexer);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kLines);
}

void BM_ParseTable(benchmark::State& state) {
  static const std::string text = TableText();
  RunReader(state, text);
}
BENCHMARK(BM_ParseTable)->Unit(benchmark::kMillisecond);

void BM_ParseMacroTable(benchmark::State& state) {
  static const std::string text = MacroTableText();
  RunReader(state, text);
}
BENCHMARK(BM_ParseMacroTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
