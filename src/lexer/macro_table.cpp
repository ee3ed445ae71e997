#include "lexer/macro_table.h"

#include <cassert>
#include <cstring>

namespace {

// Arenas are rebuilt once what dead macros left in them outweighs the live part by this much.
const std::size_t kDeadSlack = std::size_t(1) << 20;

}  // namespace

void MacroTable::AppendToken(std::int32_t kind, char text, std::int64_t numberValue,
                             std::string_view stringValue) {
  MacroToken token{numberValue, static_cast<std::uint32_t>(mStrings.size()),
                   static_cast<std::uint32_t>(stringValue.size()), kind, text};
  mStrings.append(stringValue);
  mNewBody.push_back(token);
}

void MacroTable::Set(std::string_view name, const std::int64_t* value) {
  assert(mNewBody.size() < kValueKnown);
  const std::uint32_t hash = Hash(name);
  std::size_t slot = mCount > 0 ? Locate(name, hash) : kNone;
  if (slot == kNone) {
    // At most half full: most names are found in the first slot they probe, and the run
    // walked for one that is not there stays short.
    if ((mCount + 1) * 2 > mSlots.size()) Grow();
    Slot added;
    added.nameOffset = mNames.size();
    added.nameLength = static_cast<std::uint32_t>(name.size());
    added.hash = hash;
    mNames.append(name);
    Mark(hash);
    slot = Place(added);
    ++mCount;
  } else {
    Release(mSlots[slot]);
  }
  mSlots[slot].bodyBegin = static_cast<std::uint32_t>(mTokens.size());
  mSlots[slot].bodySize =
      static_cast<std::uint32_t>(mNewBody.size()) | (value != nullptr ? kValueKnown : 0);
  mSlots[slot].value = value != nullptr ? *value : 0;
  mTokens.insert(mTokens.end(), mNewBody.begin(), mNewBody.end());
  mNewBody.clear();
  CompactIfWasteful();
}

bool MacroTable::Erase(std::string_view name) {
  if (mCount == 0) return false;
  std::size_t hole = Locate(name, Hash(name));
  if (hole == kNone) return false;
  Release(mSlots[hole]);
  mDeadBytes += mSlots[hole].nameLength;
  mSlots[hole] = Slot();
  --mCount;
  // Linear probing without tombstones: later slots of the same run move up into the hole
  // when their probe starts at or before it.
  const std::size_t mask = mSlots.size() - 1;
  for (std::size_t i = (hole + 1) & mask; mSlots[i].nameLength != 0; i = (i + 1) & mask) {
    const std::size_t home = mSlots[i].hash & mask;
    if (((i - home) & mask) >= ((i - hole) & mask)) {
      mSlots[hole] = mSlots[i];
      mSlots[i] = Slot();
      hole = i;
    }
  }
  CompactIfWasteful();
  return true;
}

std::size_t MacroTable::Place(const Slot& slot) {
  const std::size_t mask = mSlots.size() - 1;
  std::size_t i = slot.hash & mask;
  while (mSlots[i].nameLength != 0)
    i = (i + 1) & mask;
  mSlots[i] = slot;
  return i;
}

void MacroTable::Release(const Slot& slot) {
  const MacroToken* token = mTokens.data() + slot.bodyBegin;
  const std::uint32_t size = slot.bodySize & ~kValueKnown;
  for (std::uint32_t k = 0; k < size; ++k)
    mDeadBytes += sizeof(MacroToken) + token[k].stringLength;
}

std::uint32_t MacroTable::StoreBody(const MacroToken* begin, const MacroToken* end,
                                    std::vector<MacroToken>& tokens, std::string& strings) const {
  const std::uint32_t first = static_cast<std::uint32_t>(tokens.size());
  for (const MacroToken* token = begin; token != end; ++token) {
    MacroToken copy = *token;
    copy.stringOffset = static_cast<std::uint32_t>(strings.size());
    strings.append(StringValue(*token));
    tokens.push_back(copy);
  }
  return first;
}

void MacroTable::Grow() {
  std::vector<Slot> old(mSlots.empty() ? 64 : mSlots.size() * 2);
  old.swap(mSlots);
  for (const Slot& slot : old) {
    if (slot.nameLength != 0) Place(slot);
  }
}

// Never while a body is being collected: its tokens point into the string arena.
void MacroTable::CompactIfWasteful() {
  assert(mNewBody.empty());
  const std::size_t live =
      mNames.size() + mTokens.size() * sizeof(MacroToken) + mStrings.size() - mDeadBytes;
  if (mDeadBytes <= live + kDeadSlack) return;
  std::string names;
  std::vector<MacroToken> tokens;
  std::string strings;
  for (Slot& slot : mSlots) {
    if (slot.nameLength == 0) continue;
    const MacroToken* body = mTokens.data() + slot.bodyBegin;
    slot.bodyBegin = StoreBody(body, body + (slot.bodySize & ~kValueKnown), tokens, strings);
    const std::size_t nameOffset = names.size();
    names.append(mNames, slot.nameOffset, slot.nameLength);
    slot.nameOffset = nameOffset;
  }
  mNames.swap(names);
  mTokens.swap(tokens);
  mStrings.swap(strings);
  mDeadBytes = 0;
}
