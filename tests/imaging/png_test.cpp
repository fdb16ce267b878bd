#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "imaging/formats.h"
#include "imaging/picture.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

using test::EncodePng;
using test::PngBackground;
using test::PngColour;
using test::PngOptions;
using test::PngRgb;
using Pixel = std::array<std::uint8_t, 4>;  // blue, green, red, transparency

// A sample that varies with position and channel over the whole range of the depth.
std::uint16_t Mixed(int x, int y, int c, int bit_depth) {
  const unsigned value = static_cast<unsigned>(x * 7 + y * 13 + c * 5) * 2654435761u;
  return static_cast<std::uint16_t>((value >> 8) & ((1u << bit_depth) - 1));
}

std::uint8_t To8(std::uint16_t sample, int bit_depth) {
  return static_cast<std::uint8_t>(bit_depth == 16 ? sample >> 8 : sample);
}

// Six colours, or the first 2^depth of them: indexes beyond the palette
// (in 4- and 8-bit files) are black.
const std::vector<PngRgb> kColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                                      {10, 20, 30}, {200, 100, 50}, {1, 2, 3}};

std::vector<PngRgb> PaletteOf(int bit_depth) {
  return {kColours.begin(), kColours.begin() + std::min<int>(1 << bit_depth, static_cast<int>(kColours.size()))};
}

struct LayoutCase {
  const char* name;
  PngColour colour;
  int bit_depth;
};

// What the decoder must give for a pixel of the Mixed pattern.
Pixel Expected(const LayoutCase& layout, int x, int y) {
  const int depth = layout.bit_depth;
  auto sample = [&](int c) { return To8(Mixed(x, y, c, depth), depth); };
  switch (layout.colour) {
    case PngColour::kRgba: return {sample(2), sample(1), sample(0), static_cast<std::uint8_t>(255 - sample(3))};
    case PngColour::kRgb: return {sample(2), sample(1), sample(0), 0};
    case PngColour::kGreyAlpha:
      return {sample(0), sample(0), sample(0), static_cast<std::uint8_t>(255 - sample(1))};
    case PngColour::kGrey: {
      const int step = depth >= 8 ? 1 : 255 / ((1 << depth) - 1);
      const auto grey = static_cast<std::uint8_t>(sample(0) * step);
      return {grey, grey, grey, 0};
    }
    case PngColour::kPalette: {
      const std::vector<PngRgb> palette = PaletteOf(depth);
      const std::size_t index = Mixed(x, y, 0, depth);
      if (index >= palette.size()) return {0, 0, 0, 0};
      return {palette[index].blue, palette[index].green, palette[index].red, 0};
    }
  }
  return {};
}

PngOptions MixedOptions(const LayoutCase& layout, bool interlaced) {
  const int depth = layout.bit_depth;
  return {.width = 19, .height = 11, .colour = layout.colour, .bit_depth = depth, .interlaced = interlaced,
          .palette = layout.colour == PngColour::kPalette ? PaletteOf(depth) : std::vector<PngRgb>{},
          .sample = [depth](int x, int y, int c) { return Mixed(x, y, c, depth); }};
}

void ExpectPixels(const Picture& picture, const LayoutCase& layout) {
  ASSERT_EQ(picture.width, 19);
  ASSERT_EQ(picture.height, 11);
  ASSERT_EQ(picture.frames.size(), 1u);
  ASSERT_EQ(picture.frames[0].pixels.size(), std::size_t{19 * 11 * 4});
  EXPECT_EQ(picture.frames[0].delay_ms, 0);
  EXPECT_EQ(picture.frames[0].transparent, kNoColour);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 19; ++x) {
      Pixel actual;
      std::memcpy(actual.data(), &picture.frames[0].pixels[static_cast<std::size_t>((y * 19 + x) * 4)], 4);
      ASSERT_EQ(actual, Expected(layout, x, y)) << "at " << x << "," << y;
    }
  }
}

class PngLayoutTest : public testing::TestWithParam<std::tuple<LayoutCase, bool>> {};

// Every pixel layout, interlaced or not, without a background chunk.
TEST_P(PngLayoutTest, DecodesEveryPixel) {
  const auto& [layout, interlaced] = GetParam();
  const Bytes bytes = EncodePng(MixedOptions(layout, interlaced));
  ASSERT_FALSE(bytes.empty());
  auto picture = DecodePng(bytes);
  ASSERT_TRUE(picture.ok()) << FailureText(picture.failure());
  ExpectPixels(*picture, layout);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PngLayoutTest,
    testing::Combine(testing::Values(LayoutCase{"rgba8", PngColour::kRgba, 8},
                                     LayoutCase{"rgba16", PngColour::kRgba, 16},
                                     LayoutCase{"rgb8", PngColour::kRgb, 8},
                                     LayoutCase{"rgb16", PngColour::kRgb, 16},
                                     LayoutCase{"grey1", PngColour::kGrey, 1},
                                     LayoutCase{"grey2", PngColour::kGrey, 2},
                                     LayoutCase{"grey4", PngColour::kGrey, 4},
                                     LayoutCase{"grey8", PngColour::kGrey, 8},
                                     LayoutCase{"grey16", PngColour::kGrey, 16},
                                     LayoutCase{"grey_alpha8", PngColour::kGreyAlpha, 8},
                                     LayoutCase{"grey_alpha16", PngColour::kGreyAlpha, 16},
                                     LayoutCase{"palette1", PngColour::kPalette, 1},
                                     LayoutCase{"palette2", PngColour::kPalette, 2},
                                     LayoutCase{"palette4", PngColour::kPalette, 4},
                                     LayoutCase{"palette8", PngColour::kPalette, 8}),
                     testing::Bool()),
    [](const testing::TestParamInfo<PngLayoutTest::ParamType>& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_interlaced" : "");
    });

}  // namespace
}  // namespace pictorin
