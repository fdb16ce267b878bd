#pragma once
// The picture types and the four decoding operations. Pictures are
// recognised by their first bytes only, never by a file name.

#include <cstdint>
#include <vector>

#include "imaging/bytes.h"
#include "imaging/result.h"

namespace pictorin {

// 0x00BBGGRR. kNoColour is the marker for "no colour": no transparent colour,
// or, as a background colour, the platform's button-face colour.
using Colour = std::uint32_t;
inline constexpr Colour kNoColour = 0xFF000000;

inline constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

enum class PictureFormat : int {
  kUnknown = 0,
  kJpeg = 1,
  kBmp = 2,
  kIcon = 3,
  kCursor = 4,
  kGif = 5,
  kPcx8 = 6,
  kPcx1 = 7,
};

// width × height pixels of four bytes, rows top to bottom without padding.
// As an opaque raster each pixel is blue, green, red, 0.
struct Raster {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// Makes a raster of the given size with every byte 0, or fails when a side is
// below 1, the size exceeds the decode budget or memory cannot be had.
Result<Raster> MakeRaster(std::int64_t width, std::int64_t height);

// How an icon's pixels are drawn: through a 1-bit AND mask (1: the background
// shows, XORed with the colour) or through an alpha channel.
enum class MaskKind { kNone, kBits, kAlpha };

struct IconMask {
  MaskKind kind = MaskKind::kNone;
  std::vector<std::uint8_t> values;  // one per pixel, top to bottom: 0/1 bits or alpha 0..255
};

// A still picture as the picture box holds it.
struct StillPicture {
  PictureFormat format = PictureFormat::kUnknown;
  Raster colour;   // opaque: fourth byte 0
  IconMask mask;   // for kIcon and kCursor only
  std::int32_t width() const { return colour.width; }
  std::int32_t height() const { return colour.height; }
};

// One frame of a Picture: width × height pixels of blue, green, red and
// transparency (0 opaque, 255 fully transparent).
struct Frame {
  std::vector<std::uint8_t> pixels;
  Colour transparent = kNoColour;
  std::int32_t delay_ms = 0;
};

struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<Frame> frames;
};

PictureFormat DetectPictureFormat(ByteView bytes);

// JPEG, BMP, ICO, CUR, PCX and the first image of a GIF.
Result<StillPicture> LoadStillPicture(ByteView bytes);

// LoadStillPicture as an opaque raster, icons drawn over white through their mask.
Result<Raster> RenderPictureBitmap(ByteView bytes);

// Draws an icon's colour image over a background colour through its mask;
// other still pictures come back as their colour raster.
Result<Raster> DrawStillPicture(const StillPicture& still, Colour background);

// Every frame of a GIF, PNG with its alpha, anything RenderPictureBitmap takes.
// transparent: the colour of every frame unless automatic is set, in which case
// each frame's top-left pixel gives it.
Result<Picture> DecodePicture(ByteView bytes, Colour transparent, bool automatic);

}  // namespace pictorin
