// Tests of the macro table against a plain map doing the same work: names that collide in small
// tables, removals from the middle of probe runs, replacement, known values that must move with
// their macros, and enough churn of long string values that the arenas are rebuilt several times.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lexer/macro_table.h"

namespace {

struct ModelToken {
  std::int32_t kind;
  char text;
  std::int64_t number;
  std::string string;
  bool operator==(const ModelToken& other) const {
    return kind == other.kind && text == other.text && number == other.number &&
           string == other.string;
  }
};
typedef std::vector<ModelToken> ModelBody;

ModelBody Read(const MacroTable& table, const MacroTable::Body& body) {
  ModelBody tokens;
  for (const MacroToken* token = body.begin; token != body.end; ++token) {
    tokens.push_back(ModelToken{token->kind, token->text, token->numberValue,
                                std::string(table.StringValue(*token))});
  }
  return tokens;
}

// A known value, for the macros that have one.
typedef std::map<std::string, std::int64_t> ModelValues;

void ExpectSameAsModel(const MacroTable& table, const std::map<std::string, ModelBody>& model,
                       const ModelValues& values, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    MacroTable::Body body;
    const auto it = model.find(name);
    ASSERT_EQ(it != model.end(), table.Find(name, body));
    ASSERT_EQ(it != model.end(), table.Contains(name));
    if (it != model.end()) {
      ASSERT_EQ(it->second, Read(table, body));
      const auto value = values.find(name);
      ASSERT_EQ(value != values.end(), body.valueKnown);
      if (body.valueKnown) {
        ASSERT_EQ(value->second, body.value);
      }
    }
  }
}

TEST(MacroTable, DoesWhatAMapDoesUnderChurn) {
  std::mt19937 random(7);
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i)
    names.push_back((i % 3 == 0 ? "LONG_MACRO_NAME_" : "M") + std::to_string(i));
  MacroTable table;
  std::map<std::string, ModelBody> model;
  ModelValues values;
  for (int step = 0; step < 6000; ++step) {
    const std::string& name = names[random() % names.size()];
    if (random() % 3 == 0) {
      values.erase(name);
      EXPECT_EQ(model.erase(name) == 1, table.Erase(name));
    } else {
      // Bodies of up to four tokens; some carry string values of up to 4 KiB, and some reuse a
      // token of a stored body, string and all, as a definition over another macro does.
      table.BeginBody();
      ModelBody body;
      const int size = static_cast<int>(random() % 5);
      for (int k = 0; k < size; ++k) {
        const std::string& other = names[random() % names.size()];
        const auto stored = model.find(other);
        MacroTable::Body storedBody;
        if (k == 0 && stored != model.end() && !stored->second.empty() &&
            table.Find(other, storedBody)) {
          table.AppendStoredToken(*storedBody.begin);
          body.push_back(stored->second.front());
          continue;
        }
        const std::string string(random() % 4 == 0 ? random() % 4096 : 0,
                                 static_cast<char>('a' + step % 26));
        const ModelToken token{static_cast<std::int32_t>(random() % 268),
                               static_cast<char>('!' + k), static_cast<std::int64_t>(random()),
                               string};
        table.AppendToken(token.kind, token.text, token.number, token.string);
        body.push_back(token);
      }
      ASSERT_EQ(body, Read(table, table.NewBody()));
      // The table keeps whatever value it is given; which bodies deserve one is the lexer's
      // business.
      const std::int64_t value = -static_cast<std::int64_t>(random());
      if (random() % 2 == 0) {
        table.Set(name, &value);
        values[name] = value;
      } else {
        table.Set(name);
        values.erase(name);
      }
      model[name] = body;
    }
    if (step % 97 == 0) ExpectSameAsModel(table, model, values, names);
  }
  ExpectSameAsModel(table, model, values, names);
  EXPECT_EQ(model.empty(), table.empty());
}

TEST(MacroTable, EmptiesAndRefills) {
  MacroTable table;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 200; ++i) {
      table.BeginBody();
      table.AppendToken(258, '1', i, "");
      table.Set("NAME_" + std::to_string(i));
    }
    for (int i = 0; i < 200; ++i)
      ASSERT_TRUE(table.Erase("NAME_" + std::to_string(i)));
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(table.Contains("NAME_0"));
    EXPECT_FALSE(table.Erase("NAME_0"));
  }
}

// Slots are picked by the low bits of the hash, and generated headers name their macros in
// families that differ in a few digits: those must still spread over the slots, or every lookup
// walks a long run.
TEST(MacroTable, HashSpreadsFamiliesOfNamesOverTheSlots) {
  for (const std::string prefix : {"VOL_", "PRIO_", "BANK_OFS_", "PLAYER_NEXT_", "A"}) {
    SCOPED_TRACE(prefix);
    std::vector<bool> used(8192);
    int distinct = 0;
    for (int i = 0; i < 1024; ++i) {
      std::string digits = std::to_string(10000 + i).substr(1);
      const std::uint32_t slot = MacroTable::Hash(prefix + digits) & 8191;
      if (!used[slot]) ++distinct;
      used[slot] = true;
    }
    EXPECT_GT(distinct, 900);  // about 963 for a random spread
  }
}

}  // namespace
