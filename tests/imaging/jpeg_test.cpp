#include <algorithm>
#include <cstdio>  // jpeglib.h uses FILE

#include <jpeglib.h>

#include <gtest/gtest.h>

#include "imaging/checked.h"
#include "imaging/formats.h"
#include "imaging/picture.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

using test::EncodeJpeg;
using test::JpegOptions;

// Smooth gradients with a little deterministic noise, different per channel.
std::uint16_t PhotoSample(int x, int y, int c) {
  const unsigned noise = (static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u) >> 27;
  return static_cast<std::uint16_t>((x * 3 + y * (c + 1) * 2 + c * 60 + static_cast<int>(noise)) & 0xFF);
}

// The same bytes through libjpeg directly, as the library's own RGB or grey rows.
std::vector<std::uint8_t> PlainDecode(const Bytes& bytes, int& components) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  components = cinfo.output_components;
  const std::size_t stride = std::size_t{cinfo.output_width} * static_cast<std::size_t>(components);
  std::vector<std::uint8_t> pixels(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return pixels;
}

struct DecodeCase {
  const char* name;
  int components;
  bool progressive;
};

class JpegDecodeTest : public testing::TestWithParam<DecodeCase> {};

// Every pixel is libjpeg's own output as blue, green, red, 0; grey goes to all three.
TEST_P(JpegDecodeTest, MatchesLibjpegOutputAsBgr0) {
  const Bytes bytes = EncodeJpeg({.width = 37, .height = 21, .components = GetParam().components,
                                  .progressive = GetParam().progressive, .sample = PhotoSample});
  int components = 0;
  const std::vector<std::uint8_t> plain = PlainDecode(bytes, components);
  auto raster = DecodeJpeg(bytes);
  ASSERT_TRUE(raster.ok());
  ASSERT_EQ(raster->width, 37);
  ASSERT_EQ(raster->height, 21);
  ASSERT_EQ(raster->pixels.size(), std::size_t{37 * 21 * 4});
  for (std::size_t i = 0; i < std::size_t{37 * 21}; ++i) {
    const std::uint8_t* in = &plain[i * static_cast<std::size_t>(components)];
    const std::uint8_t* out = &raster->pixels[i * 4];
    const std::uint8_t red = in[0], green = in[components == 3 ? 1 : 0], blue = in[components == 3 ? 2 : 0];
    ASSERT_EQ(out[0], blue) << "pixel " << i;
    ASSERT_EQ(out[1], green) << "pixel " << i;
    ASSERT_EQ(out[2], red) << "pixel " << i;
    ASSERT_EQ(out[3], 0) << "pixel " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, JpegDecodeTest,
    testing::Values(DecodeCase{"baseline_rgb", 3, false}, DecodeCase{"progressive_rgb", 3, true},
                    DecodeCase{"baseline_grey", 1, false}, DecodeCase{"progressive_grey", 1, true}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// Channel order checked against known colours rather than another decoder.
TEST(JpegColourTest, PureRedComesOutInTheRedByte) {
  auto raster = DecodeJpeg(EncodeJpeg({.quality = 100, .sample = [](int, int, int c) -> std::uint16_t {
                                         return c == 0 ? 255 : 0;
                                       }}));
  ASSERT_TRUE(raster.ok());
  EXPECT_LE(raster->pixels[0], 2);
  EXPECT_LE(raster->pixels[1], 2);
  EXPECT_GE(raster->pixels[2], 253);
}

// Adobe CMYK is stored inverted (255: no ink); each colour is scaled by K.
TEST(JpegColourTest, InvertedCmykBecomesRgbScaledByBlack) {
  // Full magenta ink, no cyan or yellow, half black.
  const std::uint16_t cmyk[4] = {255, 0, 255, 128};
  auto raster = DecodeJpeg(EncodeJpeg(
      {.components = 4, .quality = 100, .sample = [&](int, int, int c) { return cmyk[c]; }}));
  ASSERT_TRUE(raster.ok());
  EXPECT_NEAR(raster->pixels[0], 128, 2);  // blue
  EXPECT_NEAR(raster->pixels[1], 0, 2);    // green
  EXPECT_NEAR(raster->pixels[2], 128, 2);  // red
  EXPECT_EQ(raster->pixels[3], 0);
}

TEST(JpegTruncationTest, CutInTheMiddleKeepsItsTopPart) {
  const int width = 64, height = 128;
  const Bytes full = EncodeJpeg({.width = width, .height = height, .sample = PhotoSample});
  const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2));
  auto whole = DecodeJpeg(full);
  testing::internal::CaptureStderr();
  auto part = DecodeJpeg(cut);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // libjpeg's warning stays silent
  ASSERT_TRUE(whole.ok());
  ASSERT_TRUE(part.ok());
  ASSERT_EQ(part->width, width);
  ASSERT_EQ(part->height, height);
  const std::size_t stride = std::size_t{width} * 4;
  int intact = 0;
  while (intact < height && std::equal(part->pixels.begin() + intact * stride,
                                       part->pixels.begin() + (intact + 1) * stride,
                                       whole->pixels.begin() + intact * stride)) {
    ++intact;
  }
  EXPECT_GE(intact, height / 4);
  EXPECT_LT(intact, height);  // the rest is libjpeg's fill, not the picture
}

// Above 2048 × 2048 a file must be able to hold a bit a block; a cut
// photograph holds far more and still decodes at its full size.
TEST(JpegTruncationTest, LargePhotoCutShortStillDecodes) {
  const int width = 2304, height = 2048;
  const Bytes full = EncodeJpeg({.width = width, .height = height, .sample = PhotoSample});
  const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() / 20));
  ASSERT_GE(cut.size() * 512, std::size_t{width} * height);
  auto part = DecodeJpeg(cut);
  ASSERT_TRUE(part.ok()) << FailureText(part.failure());
  EXPECT_EQ(part->width, width);
  EXPECT_EQ(part->height, height);
}

// Replaces the width and height of the first start-of-frame marker.
Bytes WithFrameSize(Bytes bytes, std::uint8_t marker, int width, int height) {
  for (std::size_t i = 2; i + 9 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == marker) {
      bytes[i + 5] = static_cast<std::uint8_t>(height >> 8), bytes[i + 6] = static_cast<std::uint8_t>(height);
      bytes[i + 7] = static_cast<std::uint8_t>(width >> 8), bytes[i + 8] = static_cast<std::uint8_t>(width);
      return bytes;
    }
  }
  return {};
}

// A progressive file whose last scan comes again, count more times.
Bytes WithLastScanRepeated(const Bytes& bytes, int count) {
  std::size_t last = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) last = i;
  }
  const Bytes scan(bytes.begin() + static_cast<std::ptrdiff_t>(last), bytes.end() - 2);  // to the end marker
  Bytes out(bytes.begin(), bytes.end() - 2);
  for (int i = 0; i < count; ++i) out.insert(out.end(), scan.begin(), scan.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

const Bytes kProgressive = EncodeJpeg({.progressive = true, .sample = PhotoSample});

// libjpeg takes a repeated scan with a warning; a few dozen scans decode, a
// hundred more are refused, since each costs a pass over the picture.
TEST(JpegScanTest, ManyScansDecodeUpToALimit) {
  ASSERT_TRUE(DecodeJpeg(WithLastScanRepeated(kProgressive, 50)).ok());
  auto refused = DecodeJpeg(WithLastScanRepeated(kProgressive, 100));
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure(), Failure::kCorruptData);
}

// The file followed by zero bytes up to the size.
Bytes Padded(Bytes bytes, std::size_t size) {
  bytes.resize(std::max(bytes.size(), size));
  return bytes;
}

struct FailureCase {
  const char* name;
  Bytes bytes;
  Failure expected;
};

class JpegFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(JpegFailureTest, GivesNoPictureSilently) {
  testing::internal::CaptureStderr();
  auto raster = DecodeJpeg(GetParam().bytes);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_FALSE(raster.ok());
  EXPECT_EQ(raster.failure(), GetParam().expected);
}

const Bytes kSmall = EncodeJpeg({.sample = PhotoSample});

INSTANTIATE_TEST_SUITE_P(
    Table, JpegFailureTest,
    testing::Values(
        FailureCase{"empty", {}, Failure::kEmpty},
        FailureCase{"just_soi", {0xFF, 0xD8}, Failure::kNoImage},
        FailureCase{"garbage_after_soi", {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A}, Failure::kNoImage},
        FailureCase{"no_soi", {'h', 'e', 'l', 'l', 'o', '!'}, Failure::kCorruptData},
        FailureCase{"zero_width", WithFrameSize(kSmall, 0xC0, 0, 16), Failure::kCorruptData},
        // 65000 × 65000 × 4 bytes is far over the budget; refused before any allocation.
        FailureCase{"raster_over_budget", WithFrameSize(kSmall, 0xC0, 65000, 65000), Failure::kTooLarge},
        // The raster would fit, but a progressive CMYK file's coefficients
        // (16000² × 4 components × 2 bytes) exceed libjpeg's memory limit.
        // Bytes after the end of the file make it long enough to be taken.
        FailureCase{"coefficients_over_budget",
                    Padded(WithFrameSize(EncodeJpeg({.components = 4, .progressive = true, .sample = PhotoSample}),
                                         0xC2, 16000, 16000),
                           16000 * 16000 / 512),
                    Failure::kTooLarge},
        // 16000 × 16000 fits the budget, but the file could not hold one bit
        // for each of its blocks; refused before libjpeg fills the raster.
        FailureCase{"large_picture_in_a_small_file", WithFrameSize(kSmall, 0xC0, 16000, 16000),
                    Failure::kTruncated}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(JpegPictureTest, AutomaticTransparentColourIsTheWhiteTopLeftPixel) {
  const Bytes bytes = EncodeJpeg({.width = 32, .height = 32, .quality = 100,
                                  .sample = [](int x, int y, int) -> std::uint16_t {
                                    return x < 16 && y < 16 ? 255 : 40;
                                  }});
  auto picture = DecodePicture(bytes, kNoColour, true);
  ASSERT_TRUE(picture.ok());
  ASSERT_EQ(picture->frames.size(), 1u);
  EXPECT_EQ(picture->frames[0].transparent, 0x00FFFFFFu);
  EXPECT_EQ(picture->frames[0].delay_ms, 0);
}

}  // namespace
}  // namespace pictorin
