#include "controls/record_writer.h"

namespace pictorin {

RecordWriter& RecordWriter::Int(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) record_.push_back(static_cast<std::uint8_t>(bits >> shift));
  return *this;
}

RecordWriter& RecordWriter::Blob(ByteView bytes) {
  Int(static_cast<std::int32_t>(bytes.size()));
  record_.insert(record_.end(), bytes.begin(), bytes.end());
  return *this;
}

RecordWriter& RecordWriter::Text(std::string_view text) {
  return Blob(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace pictorin
