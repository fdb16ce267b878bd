#include "imaging/checked.h"

#include <limits>

namespace pictorin {

std::optional<std::size_t> CheckedProduct(std::initializer_list<std::int64_t> factors) {
  std::size_t product = 1;
  for (std::int64_t factor : factors) {
    if (factor < 0) return std::nullopt;
    if (__builtin_mul_overflow(product, static_cast<std::size_t>(factor), &product)) {
      return std::nullopt;
    }
  }
  return product;
}

std::optional<std::size_t> CheckedSum(std::initializer_list<std::int64_t> terms) {
  std::size_t sum = 0;
  for (std::int64_t term : terms) {
    if (term < 0) return std::nullopt;
    if (__builtin_add_overflow(sum, static_cast<std::size_t>(term), &sum)) return std::nullopt;
  }
  return sum;
}

std::optional<std::size_t> RasterBytes(std::int64_t width, std::int64_t height,
                                       std::int64_t bytes_per_pixel) {
  if (width < 1 || height < 1) return std::nullopt;
  auto size = CheckedProduct({width, height, bytes_per_pixel});
  if (!size || *size > kDecodeBudget) return std::nullopt;
  return size;
}

bool InBounds(ByteView data, std::size_t offset, std::size_t count) {
  return offset <= data.size() && count <= data.size() - offset;
}

std::optional<std::uint16_t> ReadU16(ByteView data, std::size_t offset) {
  if (!InBounds(data, offset, 2)) return std::nullopt;
  return static_cast<std::uint16_t>(data[offset] | data[offset + 1] << 8);
}

std::optional<std::uint32_t> ReadU32(ByteView data, std::size_t offset) {
  if (!InBounds(data, offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8 |
         static_cast<std::uint32_t>(data[offset + 2]) << 16 |
         static_cast<std::uint32_t>(data[offset + 3]) << 24;
}

std::optional<std::int32_t> ReadI32(ByteView data, std::size_t offset) {
  auto value = ReadU32(data, offset);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

}  // namespace pictorin

namespace pictorin {

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const std::uint64_t magnitude = product < 0 ? 0 - static_cast<std::uint64_t>(product)
                                              : static_cast<std::uint64_t>(product);
  const std::uint64_t divisor = denominator < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(denominator))
                                                : static_cast<std::uint64_t>(denominator);
  const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > (negative ? std::uint64_t{1} << 31 : std::uint64_t{INT32_MAX})) return -1;
  return negative ? static_cast<std::int32_t>(0 - quotient) : static_cast<std::int32_t>(quotient);
}

}  // namespace pictorin
