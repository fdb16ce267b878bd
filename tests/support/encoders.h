#pragma once
// Picture files made at test time with libjpeg's and libpng's own writers,
// shared by the tests, the benchmarks and the fuzzers.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "imaging/bytes.h"

namespace pictorin::test {

// The sample of channel c (0-based, in the file's channel order) at x, y.
// For JPEG a value 0..255; for PNG 0..2^bit_depth − 1, or a palette index.
using SampleFunction = std::function<std::uint16_t(int x, int y, int c)>;

struct JpegOptions {
  int width = 16;
  int height = 16;
  int components = 3;  // 1 grey, 3 RGB, 4 CMYK (stored inverted, as Adobe files do)
  bool progressive = false;
  int quality = 90;
  SampleFunction sample{};  // required
};

// A JPEG file as libjpeg writes it; empty if the options are unusable.
Bytes EncodeJpeg(const JpegOptions& options);

// PNG colour types, with the numbers the format gives them.
enum class PngColour : int { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

struct PngRgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// The bKGD chunk: index for palette files, grey for grey files, else the colour,
// each in the file's bit depth.
struct PngBackground {
  std::uint8_t index = 0;
  std::uint16_t grey = 0;
  std::uint16_t red = 0;
  std::uint16_t green = 0;
  std::uint16_t blue = 0;
};

struct PngOptions {
  int width = 16;
  int height = 16;
  PngColour colour = PngColour::kRgba;
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<PngRgb> palette{};               // PLTE, for kPalette
  std::vector<std::uint8_t> palette_alpha{};   // tRNS of a palette file
  std::optional<PngBackground> background{};   // bKGD
  SampleFunction sample{};                     // required
};

// A PNG file as libpng writes it; empty if libpng refuses the options.
Bytes EncodePng(const PngOptions& options);

}  // namespace pictorin::test
