#pragma once
// Turning the captured pixels of a window into the bytes of a 24-bit BMP
// file. The window layer captures; this part sizes and encodes.

#include <cstdint>
#include <optional>

#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin {

struct SnapshotSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const SnapshotSize&) const = default;
};

// The size of the produced picture, each side read by itself: a positive value
// is that many pixels, 0 the captured side, −p p percent of the captured side
// (p below 10 counting as 10, rounded as MulDiv rounds). Nothing when either
// side comes out 0 or less.
std::optional<SnapshotSize> SnapshotOutputSize(std::int32_t captured_width, std::int32_t captured_height,
                                               std::int32_t width, std::int32_t height);

// The BMP file of a captured raster (top-down, four bytes a pixel: blue,
// green, red, unused) at the output size that width and height ask for; it is
// resampled only when that differs from the captured size, halftone above
// 16 bits of display_depth (pass 0 when the depth cannot be read). Empty Bytes
// when the raster is empty or malformed, the size comes out 0 or less, the
// picture would be too large or memory cannot be had.
Bytes EncodeSnapshot(const Raster& captured, std::int32_t width, std::int32_t height, int display_depth);

}  // namespace pictorin
