#pragma once
// Reading a control's settings record: little-endian 32-bit fields and
// length-counted byte strings, in order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "imaging/bytes.h"

namespace pictorin {

class RecordReader {
 public:
  explicit RecordReader(ByteView record) : record_(record) {}

  // The next 32-bit field, or nothing when the record ends first.
  std::optional<std::int32_t> Int();

  // A length field, then that many bytes; a length of 0 or less is empty and
  // followed by nothing. Nothing when the bytes reach past the record.
  std::optional<Bytes> Blob();
  std::optional<std::string> Text();

 private:
  ByteView record_;
  std::size_t position_ = 0;
};

}  // namespace pictorin
