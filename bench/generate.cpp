// Writes the benchmark workloads: .mus sources for Korvedex and, beside them, the same text for
// a C preprocessor, deterministic for a seed and a scale factor.
//
// Every workload goes to OUT/<workload>/ as
//   mus/      the sources for the tool (main.mus and what it includes)
//   c/        the same files with '//' comments instead of ';', for `mcpp -P`
//   args      the command-line arguments of both programs, one a line, run from inside mus/ or c/
//   floor     the paths, relative to mus/, that the floor anchors read (a directory: all its files)
//   info      entries=N (lines the tool prints), bytes=N (input size), files=N, for the run script
//
// Sequence numbers: an explicit number is at most 65535, and the next unnumbered entry takes the
// one after it, so explicit numbers appear only while the running number is below that bound;
// past it every entry is numbered automatically, which may go far beyond 65535.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::uint64_t kMegabyte = 1000 * 1000;
const std::uint32_t kMaxExplicitNumber = 65535;

/// splitmix64: the same stream on every platform and library, unlike std's distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : mState(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// Uniform in [0, n).
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  /// Uniform in [low, high].
  std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
    return low + Below(high - low + 1);
  }
  bool OneIn(std::uint32_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(static_cast<std::uint32_t>(items.size()))];
  }

 private:
  std::uint64_t mState;
};

std::FILE* OpenForWriting(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
  return file;
}

void WriteWhole(const fs::path& path, const std::string& text) {
  std::FILE* file = OpenForWriting(path);
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !ok) throw std::runtime_error("cannot write " + path.string());
}

/// One source written twice: for the tool with ';' comments, for the C preprocessor with '//'.
/// Everything else (directives, entries, @ lines) is the same text in both.
class SourcePair {
 public:
  SourcePair(const fs::path& workload, const std::string& relativePath)
      : mMus(OpenForWriting(workload / "mus" / relativePath)),
        mC(OpenForWriting(workload / "c" / relativePath)) {}
  SourcePair(const SourcePair&) = delete;
  SourcePair& operator=(const SourcePair&) = delete;
  ~SourcePair() {
    if (mMus != nullptr) std::fclose(mMus);
    if (mC != nullptr) std::fclose(mC);
  }

  void Code(const std::string& line) { Add(line, line); }
  void Blank() { Add("", ""); }
  void Comment(const std::string& text) { Add("; " + text, "// " + text); }
  void CodeWithComment(const std::string& code, const std::string& text) {
    Add(code + "  ; " + text, code + "  // " + text);
  }
  /// Bytes of the tool's version so far.
  std::uint64_t Bytes() const { return mMusBytes; }

  /// Flushes and closes both files; errors are thrown here, not lost in the destructor.
  void Close() {
    Flush();
    const bool ok = std::fclose(mMus) == 0 && std::fclose(mC) == 0;
    mMus = mC = nullptr;
    if (!ok) throw std::runtime_error("cannot write a workload file");
  }

 private:
  void Add(const std::string& mus, const std::string& c) {
    mMusText += mus;
    mMusText += '\n';
    mCText += c;
    mCText += '\n';
    mMusBytes += mus.size() + 1;
    if (mMusText.size() >= (1u << 20)) Flush();
  }
  void Flush() {
    const bool ok = std::fwrite(mMusText.data(), 1, mMusText.size(), mMus) == mMusText.size() &&
                    std::fwrite(mCText.data(), 1, mCText.size(), mC) == mCText.size();
    if (!ok) throw std::runtime_error("cannot write a workload file");
    mMusText.clear();
    mCText.clear();
  }

  std::FILE* mMus;
  std::FILE* mC;
  std::string mMusText;
  std::string mCText;
  std::uint64_t mMusBytes = 0;
};

/// What the run script needs to know of a written workload.
struct Summary {
  std::uint64_t entries = 0;
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
  std::vector<std::string> args;
  std::vector<std::string> floorPaths;
};

void WriteSummary(const fs::path& workload, const Summary& summary) {
  std::string args;
  for (const std::string& arg : summary.args)
    args += arg + "\n";
  WriteWhole(workload / "args", args);
  std::string floor;
  for (const std::string& path : summary.floorPaths)
    floor += path + "\n";
  WriteWhole(workload / "floor", floor);
  WriteWhole(workload / "info", "entries=" + std::to_string(summary.entries) +
                                    "\nbytes=" + std::to_string(summary.bytes) +
                                    "\nfiles=" + std::to_string(summary.files) + "\n");
}

const std::vector<std::string> kWords = {
    "TITLE",   "FIELD",  "TOWN",    "BATTLE", "BOSS",    "CAVE",   "SHOP",   "MENU",
    "CURSOR",  "DOOR",   "CHEST",   "JUMP",   "HIT",     "SWORD",  "MAGIC",  "HEAL",
    "ITEM",    "WIND",   "RAIN",    "BIRD",   "WATER",   "FIRE",   "VOICE",  "JINGLE",
    "FANFARE", "STEP",   "CLOCK",   "BELL",   "GATE",    "SHIP",   "TRAIN",  "CROWD",
    "THUNDER", "ENGINE", "SPLASH",  "PUZZLE", "VICTORY", "DEFEAT", "RESCUE", "CASTLE",
    "FOREST",  "DESERT", "HARBOUR", "TEMPLE", "LEVER",   "COIN",   "KEY",    "GHOST",
};
const std::vector<std::string> kPrefixes = {"SEQ", "SE", "BGM", "ME"};
const std::vector<std::string> kTopics = {
    "footsteps and ground contact",
    "menu and cursor feedback",
    "field and town music",
    "battle effects",
    "voices recorded for the demo",
    "ambient loops",
    "jingles after events",
    "weather",
    "vehicles",
};

std::string Hex(std::uint32_t value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "0x%X", value);
  return digits;
}

std::string Padded(std::uint64_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

/// A unique entry name for index `i`, of realistic length (about 12 to 24 characters).
std::string EntryName(Random& random, std::uint64_t i) {
  return random.Pick(kPrefixes) + "_" + random.Pick(kWords) + "_" + Padded(i, 6);
}

std::string EntryLabel(Random& random, std::uint64_t i) {
  return random.Pick(kWords) + "_" + Padded(i, 6) + "_DATA";
}

/// "HEAD:" padded to a column, the label and the five fields, as sources lay out their tables.
std::string EntryLine(const std::string& head, const std::string& label,
                      const std::string (&fields)[5]) {
  std::string line = head + ":";
  if (line.size() < 26) line.append(26 - line.size(), ' ');
  line += label;
  for (const std::string& field : fields)
    line += ", " + field;
  return line;
}

/// Plain numeric fields, in range, written the ways sources write them.
std::string PlainEntry(Random& random, const std::string& head, const std::string& label) {
  const std::uint32_t bank = random.OneIn(8) ? random.Below(65536) : random.Below(16);
  const std::string fields[5] = {
      random.OneIn(5) ? Hex(bank) : std::to_string(bank),
      std::to_string(random.Below(128)),
      std::to_string(random.Below(128)),
      std::to_string(random.Below(128)),
      std::to_string(random.Below(32)),
  };
  return EntryLine(head, label, fields);
}

void WriteFileHeader(SourcePair& out, const std::string& what) {
  out.Comment("Sequence table of the benchmark project: " + what + ".");
  out.Comment("Generated; every entry is valid, every number unique.");
  out.Blank();
}

void WriteDataSection(SourcePair& out) {
  out.Code("@SEQ_DATA");
  out.Blank();
  out.Comment("The sequence data follows; the table reader stops before it.");
  out.Code("TITLE_000000_DATA:");
  out.Code("    tempo 120");
}

// Ends a workload that is one main.mus: its data section, and what the runner needs to know.
Summary FinishSingleFile(SourcePair& out, Summary summary) {
  WriteDataSection(out);
  summary.bytes = out.Bytes();
  out.Close();
  summary.files = 1;
  summary.args = {"main.mus"};
  summary.floorPaths = {"main.mus"};
  return summary;
}

// flat: plain named and numbered entries with comment lines, about 10 MB a scale step.
Summary WriteFlat(const fs::path& dir, Random& random, std::uint32_t scale) {
  Summary summary;
  SourcePair out(dir, "main.mus");
  WriteFileHeader(out, "plain entries");
  out.Code("@SEQ_TABLE");
  const std::uint64_t target = 10 * kMegabyte * scale;
  std::uint64_t next = 0;  // the number the tool gives the next unnumbered entry
  std::uint64_t group = 0;
  while (out.Bytes() < target) {
    out.Blank();
    out.Comment("---- group " + std::to_string(group++) + ": " + random.Pick(kTopics) + " ----");
    if (random.OneIn(4)) out.Comment("Volumes were balanced against the title theme.");
    const std::uint32_t count = random.Between(8, 24);
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint64_t index = summary.entries++;
      std::string head = EntryName(random, index);
      if (next + 8 <= kMaxExplicitNumber && random.OneIn(6)) {
        next += random.Below(4);
        head = random.OneIn(3) ? std::to_string(next) : head + " = " + std::to_string(next);
      }
      ++next;
      const std::string line = PlainEntry(random, head, EntryLabel(random, index));
      if (random.OneIn(6)) {
        out.CodeWithComment(line, "take " + std::to_string(random.Between(1, 9)));
      } else {
        out.Code(line);
      }
    }
  }
  out.Blank();
  return FinishSingleFile(out, summary);
}

// names: many named entries numbered automatically, with little else; table size is the point.
Summary WriteNames(const fs::path& dir, Random& random, std::uint32_t scale) {
  Summary summary;
  SourcePair out(dir, "main.mus");
  WriteFileHeader(out, "named entries");
  out.Code("@SEQ_TABLE");
  const std::uint64_t count = 62500ull * scale;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (i % 1000 == 0) out.Comment("entries from " + std::to_string(i));
    const std::string fields[5] = {std::to_string(random.Below(16)),
                                   std::to_string(random.Below(128)), "64", "64",
                                   std::to_string(random.Below(32))};
    out.Code(EntryLine(EntryName(random, i), EntryLabel(random, i), fields));
  }
  summary.entries = count;
  return FinishSingleFile(out, summary);
}

/// A macro of the header: its name and the value its body has.
struct Macro {
  std::string name;
  std::uint32_t value;
};

/// The macros of the header, by the field they are meant for; each value stays within a bound
/// that the field expressions below respect.
struct MacroSets {
  std::vector<Macro> bank;    // 0 to 8447
  std::vector<Macro> volume;  // 0 to 127
  std::vector<Macro> prio;    // 0 to 127
  std::vector<Macro> player;  // 0 to 31
};

MacroSets WriteMacroHeader(const fs::path& dir, Random& random, Summary& summary) {
  SourcePair out(dir, "inc/defs.mus");
  out.Comment("Banks, volumes, priorities and players shared by every table.");
  out.Blank();
  MacroSets sets;
  const std::uint32_t kEach = 1024;
  struct Kind {
    const char* prefix;
    std::uint32_t bound;
    std::vector<Macro>* set;
  };
  const Kind kinds[] = {{"BANK", 8192, &sets.bank},
                        {"VOL", 128, &sets.volume},
                        {"PRIO", 128, &sets.prio},
                        {"PLAYER", 32, &sets.player}};
  for (const Kind& kind : kinds) {
    out.Comment(std::string(kind.prefix) + " values");
    for (std::uint32_t i = 0; i < kEach; ++i) {
      const Macro macro{std::string(kind.prefix) + "_" + Padded(i, 4), random.Below(kind.bound)};
      const std::string line = "#define " + macro.name + " " +
                               (random.OneIn(4) ? Hex(macro.value) : std::to_string(macro.value));
      if (random.OneIn(8)) {
        out.CodeWithComment(line, "tuned by ear");
      } else {
        out.Code(line);
      }
      kind.set->push_back(macro);
    }
    out.Blank();
  }
  // Derived macros: bodies that are expressions over the plain ones, parenthesised as a careful
  // author would, stored expanded by the tool.
  out.Comment("Derived values");
  for (std::uint32_t i = 0; i < kEach / 4; ++i) {
    const Macro& a = random.Pick(sets.volume);
    const Macro& b = random.Pick(sets.volume);
    const Macro mix{"VOL_MIX_" + Padded(i, 4), (a.value + b.value) / 2};
    out.Code("#define " + mix.name + " ((" + a.name + " + " + b.name + ") / 2)");
    const Macro& p = random.Pick(sets.prio);
    const Macro high{"PRIO_HIGH_" + Padded(i, 4), p.value | 64};
    out.Code("#define " + high.name + " (" + p.name + " | 64)");
    const Macro& k = random.Pick(sets.bank);
    const Macro offset{"BANK_OFS_" + Padded(i, 4), k.value + 256};
    out.Code("#define " + offset.name + " (" + k.name + " + 0x100)");
    const Macro& q = random.Pick(sets.player);
    const Macro next{"PLAYER_NEXT_" + Padded(i, 4), (q.value + 1) & 31};
    out.Code("#define " + next.name + " ((" + q.name + " + 1) & 31)");
    sets.volume.push_back(mix);
    sets.prio.push_back(high);
    sets.bank.push_back(offset);
    sets.player.push_back(next);
  }
  summary.bytes += out.Bytes();
  out.Close();
  return sets;
}

// Field expressions over the header's macros. Each keeps its field's range for any macro of
// the set it draws from, given the bounds of MacroSets.
std::string BankField(Random& random, const MacroSets& m) {
  const std::string a = random.Pick(m.bank).name;
  const std::string b = random.Pick(m.bank).name;
  switch (random.Below(4)) {
    case 0:
      return a;
    case 1:
      return a + " + " + b;
    case 2:
      return a + " * 4 + 3";
    default:
      return "(" + a + " + " + b + ") * 2 + " + random.Pick(m.bank).name;
  }
}

std::string VolumeField(Random& random, const MacroSets& m) {
  const std::string a = random.Pick(m.volume).name;
  switch (random.Below(4)) {
    case 0:
      return a;
    case 1:
      return "(" + a + " + " + random.Pick(m.volume).name + ") / 2";
    case 2:
      return a + " * 3 / 4";
    default:
      return a + " >> 1 | 64";
  }
}

std::string PrioField(Random& random, const MacroSets& m) {
  const std::string a = random.Pick(m.prio).name;
  switch (random.Below(4)) {
    case 0:
      return a;
    case 1:
      return a + " >> 1 | {2-4}";
    case 2:
      return "(" + a + " + " + random.Pick(m.prio).name + ") & 0x7F";
    default:
      return a + " - " + a + " / 8";
  }
}

std::string PlayerField(Random& random, const MacroSets& m) {
  const std::string a = random.Pick(m.player).name;
  switch (random.Below(3)) {
    case 0:
      return a;
    case 1:
      return "(" + a + " + 1) & 0x1F";
    default:
      return a + " & {0-3}";
  }
}

// macro: an included header of a few thousand #defines and entries whose fields are
// expressions over them.
Summary WriteMacro(const fs::path& dir, Random& random, std::uint32_t scale) {
  Summary summary;
  const MacroSets macros = WriteMacroHeader(dir, random, summary);
  SourcePair out(dir, "main.mus");
  WriteFileHeader(out, "entries over shared constants");
  out.Code("#include <defs.mus>");
  out.Blank();
  out.Code("@SEQ_TABLE");
  const std::uint64_t target = 8 * kMegabyte * scale;
  while (summary.bytes + out.Bytes() < target) {
    out.Blank();
    out.Comment(random.Pick(kTopics));
    for (std::uint32_t k = random.Between(8, 24); k > 0; --k) {
      const std::uint64_t index = summary.entries++;
      const std::string fields[5] = {BankField(random, macros), VolumeField(random, macros),
                                     PrioField(random, macros), PrioField(random, macros),
                                     PlayerField(random, macros)};
      out.Code(EntryLine(EntryName(random, index), EntryLabel(random, index), fields));
    }
  }
  out.Blank();
  WriteDataSection(out);
  summary.bytes += out.Bytes();
  out.Close();
  summary.files = 2;
  summary.args = {"-I", "inc", "main.mus"};
  summary.floorPaths = {"main.mus", "inc/defs.mus"};
  return summary;
}

/// Writes the tool's entries of the cond workload and counts them.
class CondWriter {
 public:
  CondWriter(SourcePair& out, Random& random, Summary& summary)
      : mOut(out), mRandom(random), mSummary(summary) {}

  void ActiveEntry() {
    const std::uint64_t index = mSummary.entries++;
    mOut.Code(PlainEntry(mRandom, EntryName(mRandom, index), EntryLabel(mRandom, index)));
  }

  /// `lines` lines of text that a false condition skips, with directives of every kind inside
  /// and conditional groups nested up to `depth` more levels. Conditions stay valid expressions,
  /// since the tool evaluates #if and #elif in skipped text too.
  void SkippedText(std::uint32_t lines, std::uint32_t depth) {
    while (lines > 0) {
      --lines;
      const std::uint32_t roll = mRandom.Below(100);
      const std::string name = EntryName(mRandom, mRandom.Below(1000000));
      if (roll < 55) {
        mOut.Code(PlainEntry(mRandom, name, EntryLabel(mRandom, 0)));
      } else if (roll < 70) {
        mOut.Comment("retired: " + name + " was replaced in the second mix");
      } else if (roll < 76) {
        mOut.Code("#define " + name + " " + std::to_string(mRandom.Below(100)));
      } else if (roll < 79) {
        mOut.Code("#undef " + name);
      } else if (roll < 82) {
        mOut.Code("#include \"retired/" + name + ".mus\"");
      } else if (roll < 84) {
        mOut.Code("#pragma keep " + name);
      } else if (roll < 88) {
        mOut.Blank();
      } else if (depth > 0 && lines > 8) {
        const std::uint32_t inner = mRandom.Between(4, lines < 40 ? lines : 40);
        lines -= inner;
        NestedGroup(inner, depth - 1);
      } else {
        mOut.Code("    " + PlainEntry(mRandom, name, EntryLabel(mRandom, 1)));
      }
    }
  }

 private:
  // A group inside skipped text: every branch is skipped whatever its condition.
  void NestedGroup(std::uint32_t lines, std::uint32_t depth) {
    const std::uint32_t first = lines / 2;
    switch (mRandom.Below(4)) {
      case 0:
        mOut.Code("#ifdef FEATURE_ON");
        break;
      case 1:
        mOut.Code("#ifndef FEATURE_OFF");
        break;
      case 2:
        mOut.Code("#if LEVEL >= " + std::to_string(mRandom.Below(6)));
        break;
      default:
        mOut.Code("#if 1");
        break;
    }
    SkippedText(first, depth);
    if (mRandom.OneIn(2)) {
      mOut.Code("#elif LEVEL == " + std::to_string(mRandom.Below(6)));
    } else {
      mOut.Code("#else");
    }
    SkippedText(lines - first, depth);
    mOut.Code("#endif");
  }

  SourcePair& mOut;
  Random& mRandom;
  Summary& mSummary;
};

// cond: large skipped regions (#if 0, #elif, #ifdef, #ifndef) with directives inside, nested
// several deep, between active entries; also active groups nested several deep.
Summary WriteCond(const fs::path& dir, Random& random, std::uint32_t scale) {
  Summary summary;
  SourcePair out(dir, "main.mus");
  WriteFileHeader(out, "conditional variants");
  out.Code("#define FEATURE_ON 1");
  out.Code("#define FLAG_OFF 0");
  out.Code("#define LEVEL 3");
  out.Blank();
  out.Code("@SEQ_TABLE");
  CondWriter writer(out, random, summary);
  const std::uint64_t target = 10 * kMegabyte * scale;
  while (out.Bytes() < target) {
    out.Blank();
    out.Comment(random.Pick(kTopics));
    for (std::uint32_t k = random.Between(2, 6); k > 0; --k)
      writer.ActiveEntry();
    switch (random.Below(4)) {
      case 0:  // #if 0 ... #elif ... #else (taken) ... #endif
        out.Code("#if 0");
        writer.SkippedText(random.Between(40, 160), 6);
        out.Code("#elif FLAG_OFF");
        writer.SkippedText(random.Between(10, 60), 4);
        out.Code("#else");
        writer.ActiveEntry();
        out.Code("#endif");
        break;
      case 1:  // a feature that is off
        out.Code("#ifdef FEATURE_OFF");
        writer.SkippedText(random.Between(40, 160), 6);
        out.Code("#endif");
        break;
      case 2:  // a taken branch followed by skipped alternatives
        out.Code("#ifndef FEATURE_OFF");
        writer.ActiveEntry();
        out.Code("#elif LEVEL > 1");
        writer.SkippedText(random.Between(40, 160), 6);
        out.Code("#else");
        writer.SkippedText(random.Between(10, 60), 3);
        out.Code("#endif");
        break;
      default: {  // taken groups nested several deep, with a skipped region at the bottom
        const std::uint32_t depth = random.Between(2, 5);
        for (std::uint32_t level = 0; level < depth; ++level) {
          out.Code(std::string(level * 2, ' ') + "#if LEVEL >= " + std::to_string(level % 3));
          writer.ActiveEntry();
        }
        out.Code("#if LEVEL > 8");
        writer.SkippedText(random.Between(40, 160), 5);
        out.Code("#endif");
        for (std::uint32_t level = depth; level > 0; --level) {
          out.Code(std::string((level - 1) * 2, ' ') + "#endif");
        }
        break;
      }
    }
  }
  out.Blank();
  return FinishSingleFile(out, summary);
}

// include: many small include files, in chains nested up to 50 deep; each file includes the
// next one of its chain from between its own entries, by a name beside it.
Summary WriteInclude(const fs::path& dir, Random& random, std::uint32_t scale) {
  Summary summary;
  SourcePair main(dir, "main.mus");
  WriteFileHeader(main, "entries spread over many files");
  main.Code("@SEQ_TABLE");
  const std::uint64_t targetFiles = 2000ull * scale;
  const std::uint32_t kDeepest = 50;
  std::uint64_t files = 0;
  for (std::uint32_t chain = 0; files < targetFiles; ++chain) {
    const std::uint64_t left = targetFiles - files;
    std::uint32_t depth = chain == 0 ? kDeepest : random.Between(10, kDeepest);
    if (depth > left) depth = static_cast<std::uint32_t>(left);
    const std::string chainDir = "inc/c" + Padded(chain, 5) + "/";
    main.Blank();
    main.Comment("chain " + std::to_string(chain));
    for (std::uint32_t k = random.Between(1, 3); k > 0; --k) {
      const std::uint64_t index = summary.entries++;
      main.Code(PlainEntry(random, EntryName(random, index), EntryLabel(random, index)));
    }
    main.Code("#include \"" + chainDir + "d00.mus\"");
    for (std::uint32_t level = 0; level < depth; ++level) {
      SourcePair file(dir, chainDir + "d" + Padded(level, 2) + ".mus");
      file.Comment("chain " + std::to_string(chain) + ", level " + std::to_string(level));
      const std::string macro = "CHAIN_" + Padded(chain, 5) + "_LEVEL";
      file.Code("#undef " + macro);
      file.Code("#define " + macro + " " + std::to_string(level));
      const std::uint32_t entries = random.Between(2, 6);
      for (std::uint32_t k = 0; k < entries; ++k) {
        if (k == entries / 2 && level + 1 < depth) {
          file.Code("#include \"d" + Padded(level + 1, 2) + ".mus\"");
        }
        const std::uint64_t index = summary.entries++;
        const std::string fields[5] = {macro, std::to_string(random.Below(128)), macro + " + 64",
                                       "64", std::to_string(random.Below(32))};
        file.Code(EntryLine(EntryName(random, index), EntryLabel(random, index), fields));
      }
      summary.bytes += file.Bytes();
      file.Close();
      ++files;
    }
  }
  main.Blank();
  WriteDataSection(main);
  summary.bytes += main.Bytes();
  main.Close();
  summary.files = files + 1;
  summary.args = {"main.mus"};
  summary.floorPaths = {"."};
  return summary;
}

struct Workload {
  const char* name;
  Summary (*write)(const fs::path&, Random&, std::uint32_t);
};

const Workload kWorkloads[] = {
    {"flat", WriteFlat},   {"macro", WriteMacro},     {"cond", WriteCond},
    {"names", WriteNames}, {"include", WriteInclude},
};

int Usage() {
  std::fprintf(stderr,
               "usage: korvedex_generate SEED SCALE OUT_DIR [WORKLOAD...]\n"
               "  writes the workloads (default: all of flat macro cond names include) at the\n"
               "  scale factor SCALE (1, 4, 16, ...) into OUT_DIR/<workload>/\n");
  return 2;
}

/// FNV-1a: a seed per workload name that no library can change.
std::uint64_t NameHash(const std::string& name) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (char c : name)
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return hash;
}

bool ParseNumber(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return *text != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 0;
  std::uint64_t scale = 0;
  if (argc < 4 || !ParseNumber(argv[1], seed) || !ParseNumber(argv[2], scale) || scale == 0 ||
      scale > 1000) {
    return Usage();
  }
  const std::vector<std::string> wanted(argv + 4, argv + argc);
  for (const std::string& name : wanted) {
    bool known = false;
    for (const Workload& workload : kWorkloads)
      known = known || name == workload.name;
    if (!known) {
      std::fprintf(stderr, "korvedex_generate: unknown workload %s\n", name.c_str());
      return 2;
    }
  }
  try {
    for (const Workload& workload : kWorkloads) {
      bool take = wanted.empty();
      for (const std::string& name : wanted)
        take = take || name == workload.name;
      if (!take) continue;
      const fs::path dir = fs::path(argv[3]) / workload.name;
      fs::remove_all(dir);
      // Each workload has its own stream, so that one of them reads the same whatever others
      // are asked for.
      Random random(seed ^ NameHash(workload.name));
      const Summary summary = workload.write(dir, random, static_cast<std::uint32_t>(scale));
      WriteSummary(dir, summary);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "korvedex_generate: %s\n", e.what());
    return 1;
  }
  return 0;
}
