#pragma once
// Writing a control's settings record, the counterpart of RecordReader:
// little-endian 32-bit fields and length-counted byte strings, in order.

#include <cstdint>
#include <string_view>

#include "imaging/bytes.h"

namespace pictorin {

class RecordWriter {
 public:
  RecordWriter& Int(std::int32_t value);
  RecordWriter& Blob(ByteView bytes);
  RecordWriter& Text(std::string_view text);
  Bytes Take() { return std::move(record_); }

 private:
  Bytes record_;
};

}  // namespace pictorin
