#include "io/snapshot.h"

#include <algorithm>
#include <limits>
#include <new>

#include "imaging/checked.h"
#include "imaging/resample.h"

namespace pictorin {
namespace {

// The platform's file header and information header, then the pixel rows.
constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::int64_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;

std::int32_t OutputSide(std::int32_t captured, std::int32_t asked) {
  if (asked > 0) return asked;
  if (asked == 0) return captured;
  // −INT32_MIN has no 32-bit value; a percentage that large is out of reach anyway.
  const std::int32_t percent =
      asked == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::max() : std::max(10, -asked);
  return MulDiv(captured, percent, 100);
}

bool IsWellFormed(const Raster& raster) {
  const std::optional<std::size_t> size = RasterBytes(raster.width, raster.height, 4);
  return size && raster.pixels.size() == *size;
}

// Bytes in a file row of width three-byte pixels, filled up to a multiple of 4.
std::optional<std::size_t> RowStride(std::int32_t width) {
  const std::optional<std::size_t> bits = CheckedProduct({width, 24});
  if (!bits) return std::nullopt;
  const std::optional<std::size_t> rounded = CheckedSum({static_cast<std::int64_t>(*bits), 31});
  if (!rounded) return std::nullopt;
  return *rounded / 32 * 4;
}

void PutU16(Bytes& out, std::size_t offset, std::uint32_t value) {
  out[offset] = static_cast<std::uint8_t>(value);
  out[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& out, std::size_t offset, std::uint32_t value) {
  PutU16(out, offset, value & 0xFFFF);
  PutU16(out, offset + 2, value >> 16);
}

// The fields that are not 0; reserved, resolutions and colour counts stay 0.
void PutHeaders(Bytes& file, const Raster& raster, std::size_t image_size) {
  file[0] = 'B';
  file[1] = 'M';
  PutU32(file, 2, static_cast<std::uint32_t>(file.size()));
  PutU32(file, 10, kPixelOffset);
  PutU32(file, 14, kInfoHeaderSize);
  PutU32(file, 18, static_cast<std::uint32_t>(raster.width));
  PutU32(file, 22, static_cast<std::uint32_t>(raster.height));  // positive: bottom-up
  PutU16(file, 26, 1);                                           // planes
  PutU16(file, 28, 24);                                          // bits per pixel
  PutU32(file, 34, static_cast<std::uint32_t>(image_size));
}

// Bottom row first; blue, green, red of each pixel, the filler left at 0.
void PutRows(Bytes& file, const Raster& raster, std::size_t stride) {
  const auto width = static_cast<std::size_t>(raster.width);
  const auto height = static_cast<std::size_t>(raster.height);
  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* source = raster.pixels.data() + (height - 1 - row) * width * 4;
    std::uint8_t* target = file.data() + kPixelOffset + row * stride;
    for (std::size_t x = 0; x < width; ++x) {
      std::copy_n(source + x * 4, 3, target + x * 3);
    }
  }
}

// The uncompressed 24-bit BMP file of a well-formed raster.
Bytes EncodeBmp(const Raster& raster) {
  const std::optional<std::size_t> stride = RowStride(raster.width);
  if (!stride) return {};
  const std::optional<std::size_t> image_size = CheckedProduct({static_cast<std::int64_t>(*stride), raster.height});
  if (!image_size) return {};
  const std::optional<std::size_t> file_size = CheckedSum({kPixelOffset, static_cast<std::int64_t>(*image_size)});
  if (!file_size || *file_size > kMaxBytesLength) return {};
  Bytes file;
  try {
    file.resize(*file_size);
  } catch (const std::bad_alloc&) {
    return {};
  }
  PutHeaders(file, raster, *image_size);
  PutRows(file, raster, *stride);
  return file;
}

}  // namespace

std::optional<SnapshotSize> SnapshotOutputSize(std::int32_t captured_width, std::int32_t captured_height,
                                               std::int32_t width, std::int32_t height) {
  const SnapshotSize size{OutputSide(captured_width, width), OutputSide(captured_height, height)};
  if (size.width <= 0 || size.height <= 0) return std::nullopt;
  return size;
}

Bytes EncodeSnapshot(const Raster& captured, std::int32_t width, std::int32_t height, int display_depth) {
  if (!IsWellFormed(captured)) return {};
  const std::optional<SnapshotSize> size = SnapshotOutputSize(captured.width, captured.height, width, height);
  if (!size || !RasterBytes(size->width, size->height, 4)) return {};
  if (*size == SnapshotSize{captured.width, captured.height}) return EncodeBmp(captured);
  const Result<Raster> resized = Resample(captured, size->width, size->height, ResampleModeForDepth(display_depth));
  if (!resized.ok() || !IsWellFormed(*resized)) return {};
  return EncodeBmp(*resized);
}

}  // namespace pictorin
