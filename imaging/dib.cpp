#include "imaging/dib.h"

#include <algorithm>

#include "imaging/checked.h"

namespace pictorin {
namespace {

// Bytes the rows need: every row with its filler, except the last, which
// needs only its pixels.
std::optional<std::size_t> DibExtent(const Dib& dib) {
  auto stride = DibStride(dib.width, dib.bits);
  auto row_bits = CheckedProduct({dib.width, dib.bits});
  if (!stride || !row_bits) return std::nullopt;
  auto full_rows = CheckedProduct({static_cast<std::int64_t>(*stride), dib.height - 1});
  if (!full_rows) return std::nullopt;
  return CheckedSum({static_cast<std::int64_t>(*full_rows), static_cast<std::int64_t>((*row_bits + 7) / 8)});
}

// The stride, once the size is sound and the rows hold every pixel.
Result<std::size_t> CheckRows(const Dib& dib) {
  if (dib.width < 1 || dib.height < 1) return Failure::kBadHeader;
  auto stride = DibStride(dib.width, dib.bits);
  auto extent = DibExtent(dib);
  if (!stride || !extent || *extent > dib.rows.size()) return Failure::kTruncated;
  return *stride;
}

// The stored row that holds the picture's row y, counted from the top.
const std::uint8_t* StoredRow(const Dib& dib, std::size_t stride, std::int64_t y) {
  const std::int64_t stored = dib.bottom_up ? dib.height - 1 - y : y;
  return dib.rows.data() + static_cast<std::size_t>(stored) * stride;
}

// The packed index of pixel x in a row of 1, 4 or 8 bits.
std::uint8_t IndexAt(const std::uint8_t* row, std::int64_t x, int bits) {
  const std::int64_t bit = x * bits;
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return static_cast<std::uint8_t>(row[bit / 8] >> shift & ((1 << bits) - 1));
}

void ReadColourRow(const Dib& dib, const std::uint8_t* row, std::uint8_t* out) {
  const std::size_t entries = dib.palette.size() / 4;
  for (std::int64_t x = 0; x < dib.width; ++x, out += 4) {
    if (dib.bits > 8) {
      std::copy_n(row + x * (dib.bits / 8), 3, out);
      continue;
    }
    const std::size_t index = IndexAt(row, x, dib.bits);
    if (index < entries) std::copy_n(dib.palette.data() + index * 4, 3, out);  // else black, as zeroed
  }
}

std::uint8_t ValueAt(const Dib& dib, const std::uint8_t* row, std::int64_t x) {
  return dib.bits == 32 ? row[x * 4 + 3] : IndexAt(row, x, dib.bits);
}

}  // namespace

Result<std::int64_t> DibColourTableEntries(int bits, std::uint32_t colours_used) {
  switch (bits) {
    case 1:
    case 4:
    case 8: return colours_used != 0 ? std::int64_t{colours_used} : std::int64_t{1} << bits;
    case 24:
    case 32: return std::int64_t{0};
  }
  return Failure::kUnsupportedBitDepth;
}

std::optional<std::size_t> DibStride(std::int64_t width, int bits) {
  auto row_bits = CheckedProduct({width, bits});
  if (!row_bits) return std::nullopt;
  auto padded = CheckedSum({static_cast<std::int64_t>(*row_bits), 31});
  if (!padded) return std::nullopt;
  return *padded / 32 * 4;
}

Result<Raster> ReadDibColours(const Dib& dib) {
  auto stride = CheckRows(dib);
  if (!stride) return stride.failure();
  auto raster = MakeRaster(dib.width, dib.height);
  if (!raster) return raster.failure();
  const std::size_t out_stride = static_cast<std::size_t>(dib.width) * 4;
  for (std::int64_t y = 0; y < dib.height; ++y) {
    ReadColourRow(dib, StoredRow(dib, *stride, y), raster->pixels.data() + y * out_stride);
  }
  return raster;
}

Result<std::vector<std::uint8_t>> ReadDibValues(const Dib& dib) {
  auto stride = CheckRows(dib);
  if (!stride) return stride.failure();
  auto size = RasterBytes(dib.width, dib.height, 1);
  if (!size) return Failure::kTooLarge;
  std::vector<std::uint8_t> values(*size);
  auto out = values.begin();
  for (std::int64_t y = 0; y < dib.height; ++y) {
    const std::uint8_t* row = StoredRow(dib, *stride, y);
    for (std::int64_t x = 0; x < dib.width; ++x) *out++ = ValueAt(dib, row, x);
  }
  return values;
}

}  // namespace pictorin
