// The hash of names (macros, entry names): cheap for the short names sources use, and with every
// byte reaching the low bits, which pick the slot in the tables that use it.
#ifndef LEXER_NAME_HASH_H
#define LEXER_NAME_HASH_H

#include <cstdint>
#include <cstring>
#include <string_view>

inline std::uint32_t HashName(std::string_view name) {
  // Eight bytes at a time, mixed by a multiply; then a finish that lets every byte reach the low
  // bits that pick the slot (names in a family differ in a few digits only).
  const std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = name.size() * kMultiplier;
  const char* p = name.data();
  const std::size_t size = name.size();
  const auto load8 = [](const char* at) {
    std::uint64_t chunk;
    std::memcpy(&chunk, at, 8);
    return chunk;
  };
  if (size >= 8) {
    // Whole chunks, then the last eight bytes, which may overlap the chunk before: with the
    // length in the hash already, every byte still counts.
    const char* const last = p + size - 8;
    for (; p < last; p += 8)
      hash = (hash ^ load8(p)) * kMultiplier;
    hash = (hash ^ load8(last)) * kMultiplier;
  } else if (size >= 4) {
    std::uint32_t first, last;
    std::memcpy(&first, p, 4);
    std::memcpy(&last, p + size - 4, 4);
    hash = (hash ^ (first | static_cast<std::uint64_t>(last) << 32)) * kMultiplier;
  } else if (size > 0) {
    const auto byte = [p](std::size_t k) { return static_cast<unsigned char>(p[k]); };
    const std::uint64_t chunk = byte(0) | byte(size / 2) << 8 | byte(size - 1) << 16;
    hash = (hash ^ chunk) * kMultiplier;
  }
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDull;
  hash ^= hash >> 33;
  return static_cast<std::uint32_t>(hash);
}

#endif  // LEXER_NAME_HASH_H
