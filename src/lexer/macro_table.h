// The macro table: names to their stored bodies. Every identifier the scanner reads is looked up
// here and every use of a macro reads its body, while the rest of a big run (the input, the table
// being built) streams through the cache. So the table is kept small and dense: a power-of-two
// array of 32-byte slots, probed linearly (behind a small bit filter), and three shared arenas for
// the names, the body tokens and their string values, instead of an allocation per name, body and
// token.
//
// A replaced or removed macro leaves its name and body behind in the arenas. Once what is left
// behind outweighs what is in use, the arenas are rebuilt from the live macros, so the table
// never holds more than about twice what its macros need.
#ifndef LEXER_MACRO_TABLE_H
#define LEXER_MACRO_TABLE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "lexer/name_hash.h"

/// A token of a stored body, as the scanner would deliver it; its text is always one character.
struct MacroToken {
  std::int64_t numberValue;
  std::uint32_t stringOffset;  // the string value, in the table's string arena
  std::uint32_t stringLength;
  std::int32_t kind;
  char text;
};

class MacroTable {
 public:
  /// A stored body. Valid until the table next changes (Set, Erase).
  struct Body {
    const MacroToken* begin = nullptr;
    const MacroToken* end = nullptr;
    /// Set when the body stands for one operand of known value wherever it is used: a number,
    /// or a whole parenthesized expression over numbers (see Set).
    bool valueKnown = false;
    std::int64_t value = 0;
    std::size_t size() const { return static_cast<std::size_t>(end - begin); }
  };

  bool empty() const { return mCount == 0; }

  /// Looks `name` up; fills `body` and returns true when it is a macro.
  [[gnu::always_inline]] bool Find(std::string_view name, Body& body) const {
    if (mCount == 0) return false;
    const std::size_t slot = Locate(name, Hash(name));
    if (slot == kNone) return false;
    const Slot& found = mSlots[slot];
    const MacroToken* tokens = mTokens.data() + found.bodyBegin;
    body.begin = tokens;
    body.end = tokens + (found.bodySize & ~kValueKnown);
    body.valueKnown = (found.bodySize & kValueKnown) != 0;
    body.value = found.value;
    return true;
  }
  bool Contains(std::string_view name) const {
    return mCount != 0 && Locate(name, Hash(name)) != kNone;
  }

  /// The string value of a stored token. Offsets stay valid while the arena grows, so a token
  /// may be read while a new body is being collected.
  std::string_view StringValue(const MacroToken& token) const {
    return std::string_view(mStrings.data() + token.stringOffset, token.stringLength);
  }

  /// A new body is collected token by token, then stored under its name by Set.
  void BeginBody() { mNewBody.clear(); }
  void AppendToken(std::int32_t kind, char text, std::int64_t numberValue,
                   std::string_view stringValue);
  /// A token of a stored body; its string value is shared, not copied.
  void AppendStoredToken(const MacroToken& token) { mNewBody.push_back(token); }
  /// The body collected since BeginBody.
  Body NewBody() const { return Body{mNewBody.data(), mNewBody.data() + mNewBody.size()}; }

  /// Stores the new body under `name`, replacing what was stored. `value`, when given, is the
  /// value of the body as one operand; the caller vouches that reading the body in any
  /// expression gives that operand (a number, or parentheses around the whole body).
  void Set(std::string_view name, const std::int64_t* value = nullptr);
  /// Removes `name`; false when it was not there.
  bool Erase(std::string_view name);

  static std::uint32_t Hash(std::string_view name) { return HashName(name); }

 private:
  struct Slot {
    std::uint64_t nameOffset = 0;
    std::int64_t value = 0;
    std::uint32_t nameLength = 0;  // 0: a free slot (no name is empty)
    std::uint32_t hash = 0;
    std::uint32_t bodyBegin = 0;
    std::uint32_t bodySize = 0;  // with kValueKnown when `value` holds
  };
  // Bodies are far shorter than 2^31 tokens (the lexer bounds them), which leaves the top bit.
  static const std::uint32_t kValueKnown = 0x80000000u;
  static const std::size_t kNone = ~std::size_t(0);

  // Names are short: comparing them inline beats a library call. Eight bytes at a time, the
  // last eight possibly overlapping the ones before.
  static bool SameBytes(const char* a, const char* b, std::size_t size) {
    std::uint64_t x, y;
    if (size >= 8) {
      for (std::size_t at = 0; at + 8 < size; at += 8) {
        std::memcpy(&x, a + at, 8);
        std::memcpy(&y, b + at, 8);
        if (x != y) return false;
      }
      std::memcpy(&x, a + size - 8, 8);
      std::memcpy(&y, b + size - 8, 8);
      return x == y;
    }
    for (; size > 0; --size) {
      if (*a++ != *b++) return false;
    }
    return true;
  }

  // Most names looked up in a big table are no macros (labels, entry names), and finding that
  // out walks a run of slots: a bit per hash range, set for every name ever stored, settles
  // most of them in a table that stays in the cache. A bit is left set when its macro goes.
  static const unsigned kFilterBits = 16;
  bool MayHold(std::uint32_t hash) const {
    const std::uint32_t bit = hash >> (32 - kFilterBits);
    return (mFilter[bit >> 6] >> (bit & 63) & 1) != 0;
  }
  void Mark(std::uint32_t hash) {
    const std::uint32_t bit = hash >> (32 - kFilterBits);
    mFilter[bit >> 6] |= std::uint64_t(1) << (bit & 63);
  }

  std::size_t Locate(std::string_view name, std::uint32_t hash) const {
    if (!MayHold(hash)) return kNone;
    const std::size_t mask = mSlots.size() - 1;
    for (std::size_t i = hash & mask; mSlots[i].nameLength != 0; i = (i + 1) & mask) {
      const Slot& slot = mSlots[i];
      if (slot.hash == hash && slot.nameLength == name.size() &&
          SameBytes(mNames.data() + slot.nameOffset, name.data(), name.size())) {
        return i;
      }
    }
    return kNone;
  }
  std::size_t Place(const Slot& slot);
  void Release(const Slot& slot);
  void Grow();
  void CompactIfWasteful();
  std::uint32_t StoreBody(const MacroToken* begin, const MacroToken* end,
                          std::vector<MacroToken>& tokens, std::string& strings) const;

  std::vector<Slot> mSlots;
  std::size_t mCount = 0;
  std::string mNames;
  std::vector<MacroToken> mTokens;
  std::string mStrings;
  std::vector<MacroToken> mNewBody;
  // What replaced and removed macros left behind in the arenas.
  std::size_t mDeadBytes = 0;
  std::vector<std::uint64_t> mFilter = std::vector<std::uint64_t>((1u << kFilterBits) / 64);
};

#endif  // LEXER_MACRO_TABLE_H
