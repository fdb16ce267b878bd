#include "controls/record_reader.h"

#include "imaging/checked.h"

namespace pictorin {

std::optional<std::int32_t> RecordReader::Int() {
  auto value = ReadI32(record_, position_);
  if (value) position_ += 4;
  return value;
}

std::optional<Bytes> RecordReader::Blob() {
  auto length = Int();
  if (!length) return std::nullopt;
  if (*length <= 0) return Bytes{};
  if (!InBounds(record_, position_, static_cast<std::size_t>(*length))) return std::nullopt;
  Bytes bytes(record_.begin() + position_, record_.begin() + position_ + *length);
  position_ += static_cast<std::size_t>(*length);
  return bytes;
}

std::optional<std::string> RecordReader::Text() {
  auto bytes = Blob();
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

}  // namespace pictorin
