// One entry of a sequence table.
#ifndef SEQCONV_SEQ_H
#define SEQCONV_SEQ_H

#include <cstdint>
#include <string_view>

/// The sequence number is not a field: it is the entry's index in the reader's table. The texts
/// lie in the reader's own store, which lives as long as the reader: the name, then the label.
struct Seq {
  const char* texts = nullptr;
  std::uint32_t nameLength = 0;  ///< 0 for an entry introduced by a bare number
  std::uint32_t labelLength = 0;
  std::uint16_t bank = 0;
  std::uint8_t volume = 0;
  std::uint8_t channelPriority = 0;
  std::uint8_t playerPriority = 0;
  std::uint8_t playerNumber = 0;

  std::string_view Name() const { return std::string_view(texts, nameLength); }
  std::string_view Label() const { return std::string_view(texts + nameLength, labelLength); }
};

#endif  // SEQCONV_SEQ_H
