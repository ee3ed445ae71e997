// One entry of a sequence table.
#ifndef SEQCONV_SEQ_H
#define SEQCONV_SEQ_H

#include <cstdint>
#include <string_view>

/// The sequence number is not a field: it is the entry's index in the reader's table. The texts
/// are views of the reader's own store, which lives as long as the reader.
struct Seq {
  std::string_view name;  ///< empty for an entry introduced by a bare number
  std::string_view label;
  std::uint16_t bank = 0;
  std::uint8_t volume = 0;
  std::uint8_t channelPriority = 0;
  std::uint8_t playerPriority = 0;
  std::uint8_t playerNumber = 0;
};

#endif  // SEQCONV_SEQ_H
