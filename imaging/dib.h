#pragma once
// The pixel rows of a device-independent bitmap, as BMP files and icon
// entries store them: each row padded to a multiple of 4 bytes, 1, 4 or 8 bits
// per pixel as packed colour table indices (most significant bits first), or
// 24 and 32 bits as blue, green, red (and a fourth byte) per pixel.

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/picture.h"

namespace pictorin {

struct Dib {
  std::int64_t width = 0;
  std::int64_t height = 0;
  int bits = 0;           // 1, 4, 8, 24 or 32
  bool bottom_up = true;  // the first stored row is the picture's bottom row
  ByteView palette;       // 4 bytes per entry: blue, green, red, unused
  ByteView rows;          // from the first stored row to the end of the data
};

// Entries in the colour table of a bitmap of this depth: colours-used, or
// 2 to the power of the bit count when that is 0, for 1, 4 and 8 bits; none
// for 24 and 32 bits. Other depths fail.
Result<std::int64_t> DibColourTableEntries(int bits, std::uint32_t colours_used);

// Bytes from the start of one stored row to the next, or nothing on overflow.
std::optional<std::size_t> DibStride(std::int64_t width, int bits);

// The colour image as an opaque raster; indices past the colour table are
// black. Fails before allocating when the rows end before the last row's pixels.
Result<Raster> ReadDibColours(const Dib& dib);

// One byte per pixel, rows top to bottom: the index for 1, 4 and 8 bits, the
// fourth byte for 32 bits. Fails like ReadDibColours.
Result<std::vector<std::uint8_t>> ReadDibValues(const Dib& dib);

}  // namespace pictorin
