// One entry of a sequence table.
#ifndef SEQCONV_SEQ_H
#define SEQCONV_SEQ_H

#include <cstdint>
#include <string>

/// The sequence number is not a field: it is the entry's index in the reader's table.
struct Seq {
  std::string name;  ///< empty for an entry introduced by a bare number
  std::string label;
  std::uint16_t bank = 0;
  std::uint8_t volume = 0;
  std::uint8_t channelPriority = 0;
  std::uint8_t playerPriority = 0;
  std::uint8_t playerNumber = 0;
};

#endif  // SEQCONV_SEQ_H
