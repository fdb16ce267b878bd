#pragma once
// The file formats of the built-in pictures, written through libpng and
// libjpeg where the format has them, by hand where it is a plain layout.

#include <string>
#include <vector>

#include "assets/generator/canvas.h"
#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin::artwork {

// A chunk written between IHDR and IDAT, in the order given.
struct PngChunk {
  std::string name;
  Bytes data;
};

// pHYs of 2835 pixels per metre on both axes, iCCP with the profile, cHRM of sRGB.
PngChunk PhysChunk();
PngChunk IccpChunk(const Bytes& profile);
PngChunk ChrmChunk();

// An 8-bit RGBA, non-interlaced PNG: IHDR, the chunks, IDAT, IEND.
Bytes EncodePng(const Image& image, const std::vector<PngChunk>& chunks);

// A baseline JPEG of an opaque raster with a minimal Exif APP1 segment right
// after the start-of-image marker, and no JFIF segment.
Bytes EncodeJpegWithExif(const Raster& raster, int quality);

// A 24-bit bottom-up BMP with a 40-byte information header.
Bytes EncodeBmp(const Raster& raster);

// An icon file of one 32-bit image with its AND mask.
Bytes EncodeIcon(const Image& image);

}  // namespace pictorin::artwork
