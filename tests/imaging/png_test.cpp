#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
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

// A background chunk removes alpha and leaves layouts without alpha as they are.
TEST_P(PngLayoutTest, BackgroundChunkMakesEveryLayoutOpaque) {
  const auto& [layout, interlaced] = GetParam();
  PngOptions options = MixedOptions(layout, interlaced);
  options.background = PngBackground{};
  auto picture = DecodePng(EncodePng(options));
  ASSERT_TRUE(picture.ok()) << FailureText(picture.failure());
  if (layout.colour != PngColour::kRgba && layout.colour != PngColour::kGreyAlpha) {
    ExpectPixels(*picture, layout);
    return;
  }
  ASSERT_EQ(picture->frames[0].pixels.size(), std::size_t{19 * 11 * 4});
  for (std::size_t i = 3; i < picture->frames[0].pixels.size(); i += 4) ASSERT_EQ(picture->frames[0].pixels[i], 0);
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

Pixel PixelAt(const Picture& picture, int x) {
  Pixel pixel;
  std::memcpy(pixel.data(), &picture.frames[0].pixels[static_cast<std::size_t>(x) * 4], 4);
  return pixel;
}

// Three pixels, transparent, opaque and half-covered, over a background chunk.
struct BackgroundCase {
  const char* name;
  PngOptions options;
  Pixel background, foreground;
};

class PngBackgroundTest : public testing::TestWithParam<BackgroundCase> {};

TEST_P(PngBackgroundTest, ComesOutOpaqueOverTheBackground) {
  auto picture = DecodePng(EncodePng(GetParam().options));
  ASSERT_TRUE(picture.ok()) << FailureText(picture.failure());
  const Pixel bg = GetParam().background, fg = GetParam().foreground;
  EXPECT_EQ(PixelAt(*picture, 0), bg);
  EXPECT_EQ(PixelAt(*picture, 1), fg);
  const Pixel half = PixelAt(*picture, 2);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(half[c], (fg[c] + bg[c]) / 2, 2) << "channel " << c;
  EXPECT_EQ(half[3], 0);
}

// Alpha 0, 255 and about half, in the depth's range.
std::uint16_t Coverage(int x, int bit_depth) {
  const std::uint16_t full = bit_depth == 16 ? 0xFFFF : 0xFF;
  return x == 0 ? 0 : x == 1 ? full : static_cast<std::uint16_t>(full / 2 + 1);
}

PngOptions RgbaOverBackground(int bit_depth) {
  const std::uint16_t scale = bit_depth == 16 ? 257 : 1;
  return {.width = 3, .height = 1, .colour = PngColour::kRgba, .bit_depth = bit_depth,
          .background = PngBackground{.red = static_cast<std::uint16_t>(10 * scale),
                                      .green = static_cast<std::uint16_t>(200 * scale),
                                      .blue = static_cast<std::uint16_t>(30 * scale)},
          .sample = [=](int x, int, int c) -> std::uint16_t {
            const std::uint16_t colour[3] = {250, 60, 120};
            return c == 3 ? Coverage(x, bit_depth) : static_cast<std::uint16_t>(colour[c] * scale);
          }};
}

INSTANTIATE_TEST_SUITE_P(
    Table, PngBackgroundTest,
    testing::Values(
        BackgroundCase{"rgba8", RgbaOverBackground(8), {30, 200, 10, 0}, {120, 60, 250, 0}},
        BackgroundCase{"rgba16", RgbaOverBackground(16), {30, 200, 10, 0}, {120, 60, 250, 0}},
        BackgroundCase{"grey_alpha8",
                       {.width = 3, .height = 1, .colour = PngColour::kGreyAlpha,
                        .background = PngBackground{.grey = 40},
                        .sample = [](int x, int, int c) { return c == 1 ? Coverage(x, 8) : std::uint16_t{220}; }},
                       {40, 40, 40, 0}, {220, 220, 220, 0}},
        // The palette's transparency counts only in compositing over a background.
        BackgroundCase{"palette_with_alpha",
                       {.width = 3, .height = 1, .colour = PngColour::kPalette,
                        .palette = {{250, 60, 120}, {250, 60, 120}, {250, 60, 120}, {10, 200, 30}},
                        .palette_alpha = {0, 255, 128},
                        .background = PngBackground{.index = 3},
                        .sample = [](int x, int, int) { return static_cast<std::uint16_t>(x); }},
                       {30, 200, 10, 0}, {120, 60, 250, 0}}),
    [](const testing::TestParamInfo<BackgroundCase>& info) { return std::string(info.param.name); });

TEST(PngTransparencyTest, PaletteAlphaWithoutBackgroundIsOpaque) {
  auto picture = DecodePng(EncodePng({.width = 2, .height = 1, .colour = PngColour::kPalette,
                                      .palette = {{250, 60, 120}, {10, 200, 30}},
                                      .palette_alpha = {0, 128},
                                      .sample = [](int x, int, int) { return static_cast<std::uint16_t>(x); }}));
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(PixelAt(*picture, 0), (Pixel{120, 60, 250, 0}));
  EXPECT_EQ(PixelAt(*picture, 1), (Pixel{30, 200, 10, 0}));
}

// Byte offset of a chunk's length field, or 0.
std::size_t FindChunk(const Bytes& bytes, const char* type) {
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::size_t length = std::size_t{bytes[at]} << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
    if (std::memcmp(&bytes[at + 4], type, 4) == 0) return at;
    at += length + 12;
  }
  return 0;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// A small RGBA file whose header claims another size, with a valid CRC.
Bytes WithHeaderSize(std::uint32_t width, std::uint32_t height, bool interlaced = false) {
  Bytes bytes = EncodePng({.interlaced = interlaced, .sample = [](int, int, int) { return std::uint16_t{7}; }});
  const std::size_t ihdr = FindChunk(bytes, "IHDR");
  PutU32(bytes, ihdr + 8, width);
  PutU32(bytes, ihdr + 12, height);
  PutU32(bytes, ihdr + 8 + 13, static_cast<std::uint32_t>(crc32(0, &bytes[ihdr + 4], 17)));
  return bytes;
}

Bytes Modified(std::function<void(Bytes&)> change) {
  Bytes bytes = EncodePng({.width = 40, .height = 40,
                           .sample = [](int x, int y, int c) { return Mixed(x, y, c, 8); }});
  change(bytes);
  return bytes;
}

struct FailureCase {
  const char* name;
  Bytes bytes;
  Failure expected;
};

class PngFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(PngFailureTest, GivesNoPictureSilently) {
  testing::internal::CaptureStderr();
  auto picture = DecodePng(GetParam().bytes);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_FALSE(picture.ok());
  EXPECT_EQ(picture.failure(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PngFailureTest,
    testing::Values(
        FailureCase{"signature_only", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, Failure::kTruncated},
        FailureCase{"cut_in_image_data",
                    Modified([](Bytes& b) { b.resize(FindChunk(b, "IDAT") + 8 + 100); }), Failure::kTruncated},
        FailureCase{"no_end_chunk", Modified([](Bytes& b) { b.resize(FindChunk(b, "IEND")); }),
                    Failure::kTruncated},
        FailureCase{"header_crc", Modified([](Bytes& b) { b[FindChunk(b, "IHDR") + 8 + 13] ^= 1; }),
                    Failure::kCorruptData},
        FailureCase{"image_data_crc",
                    Modified([](Bytes& b) {
                      const std::size_t idat = FindChunk(b, "IDAT");
                      b[idat + 8 + (std::size_t{b[idat + 2]} << 8 | b[idat + 3])] ^= 1;
                    }),
                    Failure::kCorruptData},
        FailureCase{"corrupt_compressed_data", Modified([](Bytes& b) {
                      const std::size_t idat = FindChunk(b, "IDAT");
                      const std::size_t length = std::size_t{b[idat + 2]} << 8 | b[idat + 3];
                      b[idat + 8] ^= 0xFF;  // the zlib header
                      PutU32(b, idat + 8 + length, static_cast<std::uint32_t>(crc32(0, &b[idat + 4], static_cast<uInt>(length + 4))));
                    }),
                    Failure::kCorruptData},
        FailureCase{"width_beyond_limits", WithHeaderSize(0x7FFFFFFF, 1), Failure::kCorruptData},
        // 20000 × 20000 × 4 bytes exceed the budget: refused before any row.
        FailureCase{"over_budget", WithHeaderSize(20000, 20000), Failure::kTooLarge},
        // Within the budget, but the data hold a 16 × 16 image: storage follows the
        // rows that arrive, so this fails at once with little memory.
        FailureCase{"huge_header_little_data", WithHeaderSize(16000, 16000), Failure::kCorruptData},
        FailureCase{"huge_interlaced_header_little_data", WithHeaderSize(16000, 16000, true),
                    Failure::kCorruptData}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A damaged ancillary chunk is dropped with a warning that libpng must not print.
TEST(PngWarningTest, BadAncillaryChunkIsDroppedSilently) {
  Bytes bytes = EncodePng(RgbaOverBackground(8));
  bytes[FindChunk(bytes, "bKGD") + 8 + 6] ^= 1;  // the chunk's CRC
  testing::internal::CaptureStderr();
  auto picture = DecodePng(bytes);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(PixelAt(*picture, 0)[3], 255);  // no background: alpha kept
}

TEST(PngDispatchTest, OnlyDecodePictureTakesPng) {
  const Bytes bytes = EncodePng({.width = 3, .height = 2, .sample = [](int x, int, int c) {
                                   return static_cast<std::uint16_t>(c == 3 ? 255 : x * 100 + c);
                                 }});
  EXPECT_EQ(DetectPictureFormat(bytes), PictureFormat::kUnknown);
  EXPECT_FALSE(LoadStillPicture(bytes).ok());
  EXPECT_FALSE(RenderPictureBitmap(bytes).ok());
  auto picture = DecodePicture(bytes, kNoColour, true);
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  ASSERT_EQ(picture->frames.size(), 1u);
  EXPECT_EQ(picture->frames[0].transparent, MakeColour(0, 1, 2));
}

}  // namespace
}  // namespace pictorin
