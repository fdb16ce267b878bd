#pragma once
// Resampling shared by everything that scales a picture: the canvas's
// stretched background, the picture box's placement and the snapshot's resize.

#include <cstdint>

#include "imaging/picture.h"

namespace pictorin {

enum class ResampleMode {
  kHalftone,        // area averaging: each output pixel the mean of the area it covers
  kColourOnColour,  // whole rows and columns dropped or repeated
};

// The mode the display's colour depth selects: halftone above 16 bits per pixel.
ResampleMode ResampleModeForDepth(int bits_per_pixel);

// Scales a raster of four-byte pixels (each byte a channel) to width × height.
// Equal sizes copy the pixels unchanged.
Result<Raster> Resample(const Raster& source, std::int32_t width, std::int32_t height, ResampleMode mode);

}  // namespace pictorin
