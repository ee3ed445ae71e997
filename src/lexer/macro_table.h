// The macro table: names to their stored bodies. Every identifier the scanner reads is looked up
// here, so it is an open-addressing hash table with a power-of-two size (no division per lookup)
// that keeps each name beside its hash.
#ifndef LEXER_MACRO_TABLE_H
#define LEXER_MACRO_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/smart_ptr.h"

template <class Body>
class MacroTable {
 public:
  typedef typename Body::value_type Token;

  /// A stored macro. Its tokens are kept at hand, so that expanding it reads no more than this.
  struct Entry {
    SharedPtr<const Body> body;
    const Token* begin;
    const Token* end;
  };

  bool empty() const { return mCount == 0; }

  /// The macro stored under `name`, or null.
  const Entry* Find(std::string_view name) const {
    if (mCount == 0) return nullptr;
    const std::size_t slot = Locate(name, Hash(name));
    return slot == kNone ? nullptr : &mSlots[slot].entry;
  }

  /// Stores `body` under `name`, replacing what was stored.
  void Set(const std::string& name, const SharedPtr<const Body>& body) {
    const std::uint64_t hash = Hash(name);
    if (mCount > 0) {
      const std::size_t slot = Locate(name, hash);
      if (slot != kNone) {
        mSlots[slot].entry = MakeEntry(body);
        return;
      }
    }
    // Erased slots count as taken until the table is rebuilt, so that probes always end.
    if ((mCount + mErased + 1) * 4 > mSlots.size() * 3) {
      Rebuild(mSlots.empty()                     ? 64
              : (mCount + 1) * 2 > mSlots.size() ? mSlots.size() * 2
                                                 : mSlots.size());
    }
    const std::size_t mask = mSlots.size() - 1;
    std::size_t i = hash & mask;
    while (mSlots[i].state == kUsed)
      i = (i + 1) & mask;
    if (mSlots[i].state == kErased) --mErased;
    mSlots[i] = Slot{name, MakeEntry(body), hash, kUsed};
    ++mCount;
  }

  /// Removes `name`; false when it was not there.
  bool Erase(std::string_view name) {
    if (mCount == 0) return false;
    const std::size_t slot = Locate(name, Hash(name));
    if (slot == kNone) return false;
    mSlots[slot] = Slot{std::string(), Entry(), 0, kErased};
    --mCount;
    ++mErased;
    return true;
  }

  static std::uint64_t Hash(std::string_view name) {
    // Eight bytes at a time, mixed by a multiply.
    const std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = name.size() * kMultiplier;
    const char* p = name.data();
    std::size_t left = name.size();
    while (left > 0) {
      std::uint64_t chunk = 0;
      const std::size_t take = left < 8 ? left : 8;
      for (std::size_t k = 0; k < take; ++k) {
        chunk |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
      }
      hash = (hash ^ chunk) * kMultiplier;
      hash ^= hash >> 32;
      p += take;
      left -= take;
    }
    return hash;
  }

 private:
  enum State : unsigned char { kFree, kUsed, kErased };
  struct Slot {
    std::string name;
    Entry entry{SharedPtr<const Body>(), nullptr, nullptr};
    std::uint64_t hash = 0;
    State state = kFree;
  };

  static Entry MakeEntry(const SharedPtr<const Body>& body) {
    return Entry{body, body->data(), body->data() + body->size()};
  }
  static const std::size_t kNone = ~std::size_t(0);

  std::size_t Locate(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = mSlots.size() - 1;
    for (std::size_t i = hash & mask; mSlots[i].state != kFree; i = (i + 1) & mask) {
      const Slot& slot = mSlots[i];
      if (slot.state == kUsed && slot.hash == hash && slot.name == name) return i;
    }
    return kNone;
  }

  void Rebuild(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(mSlots);
    mErased = 0;
    const std::size_t mask = mSlots.size() - 1;
    for (Slot& slot : old) {
      if (slot.state != kUsed) continue;
      std::size_t i = slot.hash & mask;
      while (mSlots[i].state == kUsed)
        i = (i + 1) & mask;
      mSlots[i] = std::move(slot);
    }
  }

  std::vector<Slot> mSlots;
  std::size_t mCount = 0;
  std::size_t mErased = 0;
};

#endif  // LEXER_MACRO_TABLE_H
