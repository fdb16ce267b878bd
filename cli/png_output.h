#pragma once
// PNG files written by pictorin-cli for inspecting decoded pictures.

#include <cstdint>

#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin::cli {

// An 8-bit RGBA PNG of a frame; alpha is 255 minus the frame's transparency.
Bytes EncodeFramePng(std::int32_t width, std::int32_t height, const Frame& frame);

// An opaque 8-bit RGB PNG of a raster.
Bytes EncodeRasterPng(const Raster& raster);

}  // namespace pictorin::cli
