#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/formats.h"
#include "imaging/picture.h"

namespace pictorin {
namespace {

void PutU16(Bytes& out, std::size_t offset, std::uint32_t value) {
  out[offset] = static_cast<std::uint8_t>(value);
  out[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A test PCX file, built field by field; the encoded data are stored as given.
class PcxFile {
 public:
  PcxFile& Version(std::uint8_t version) { version_ = version; return *this; }
  PcxFile& Encoding(std::uint8_t encoding) { encoding_ = encoding; return *this; }
  PcxFile& Depth(std::uint8_t bits, std::uint8_t planes) { bits_ = bits, planes_ = planes; return *this; }
  PcxFile& Edges(std::uint16_t left, std::uint16_t top, std::uint16_t right, std::uint16_t bottom) {
    left_ = left, top_ = top, right_ = right, bottom_ = bottom;
    return *this;
  }
  PcxFile& BytesPerLine(std::uint16_t count) { bytes_per_line_ = count; return *this; }
  PcxFile& Data(Bytes data) { data_ = std::move(data); return *this; }
  // 256 red, green, blue triples after the marker byte 12; entry i is (i, 255 - i, 7).
  PcxFile& Palette(std::uint8_t marker = 12) { palette_marker_ = marker; return *this; }
  operator Bytes() const;  // NOLINT: a test file is its bytes

 private:
  std::uint8_t version_ = 5;
  std::uint8_t encoding_ = 1;
  std::uint8_t bits_ = 8;
  std::uint8_t planes_ = 1;
  std::uint16_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  std::uint16_t bytes_per_line_ = 2;
  Bytes data_ = {0xC1, 0};
  int palette_marker_ = -1;  // no palette
};

PcxFile::operator Bytes() const {
  Bytes out;
  out.reserve(128 + data_.size() + 769);
  out.resize(128);
  out[0] = 0x0A;                      // maker
  out[1] = version_;
  out[2] = encoding_;                 // 1: run-length
  out[3] = bits_;                     // bits per pixel per plane
  PutU16(out, 4, left_);
  PutU16(out, 6, top_);
  PutU16(out, 8, right_);
  PutU16(out, 10, bottom_);
  PutU16(out, 12, 72);                // horizontal dots per inch
  PutU16(out, 14, 72);                // vertical dots per inch
  out[65] = planes_;
  PutU16(out, 66, bytes_per_line_);
  PutU16(out, 68, 1);                 // palette interpretation: colour
  out.insert(out.end(), data_.begin(), data_.end());
  if (palette_marker_ >= 0) {
    out.push_back(static_cast<std::uint8_t>(palette_marker_));
    for (int i = 0; i < 256; ++i) {
      out.insert(out.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7});
    }
  }
  return out;
}

// Pixels as the raster holds them: blue, green, red, 0.
Bytes Bgr0(std::initializer_list<std::array<std::uint8_t, 3>> rgbs) {
  Bytes out;
  for (const auto& rgb : rgbs) out.insert(out.end(), {rgb[2], rgb[1], rgb[0], 0});
  return out;
}

// The colour of palette entry i in PcxFile's palette.
std::array<std::uint8_t, 3> Entry(int i) {
  return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7};
}

constexpr std::array<std::uint8_t, 3> kWhite = {255, 255, 255};
constexpr std::array<std::uint8_t, 3> kBlack = {0, 0, 0};

struct DecodeCase {
  const char* name;
  Bytes file;
  std::int32_t width;
  std::int32_t height;
  Bytes pixels;
};

class PcxDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(PcxDecodeTest, DecodesPixels) {
  auto raster = DecodePcx(GetParam().file);
  ASSERT_TRUE(raster.ok()) << FailureText(raster.failure());
  EXPECT_EQ(raster->width, GetParam().width);
  EXPECT_EQ(raster->height, GetParam().height);
  EXPECT_EQ(raster->pixels, GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PcxDecodeTest,
    testing::Values(
        // Row 1: a run of 3 × index 1, then a literal 2. Row 2: 0xC5 can only be a run.
        DecodeCase{"bits8_runs_and_literals",
                   PcxFile().Edges(10, 20, 13, 21).BytesPerLine(4).Data({0xC3, 1, 2, 0xC4, 0xC5}).Palette(),
                   4, 2, Bgr0({Entry(1), Entry(1), Entry(1), Entry(2), Entry(0xC5), Entry(0xC5), Entry(0xC5),
                               Entry(0xC5)})},
        DecodeCase{"bits8_run_continues_into_next_row",
                   PcxFile().Edges(0, 0, 1, 1).BytesPerLine(2).Data({0xC3, 9, 4}).Palette(),
                   2, 2, Bgr0({Entry(9), Entry(9), Entry(9), Entry(4)})},
        // Stored rows of 4 bytes for 2 pixels: the last two bytes of each row are skipped.
        DecodeCase{"bits8_long_rows_skip_extra_bytes",
                   PcxFile().Edges(0, 0, 1, 1).BytesPerLine(4).Data({1, 2, 0xC2, 99, 3, 4, 0xC2, 99}).Palette(),
                   2, 2, Bgr0({Entry(1), Entry(2), Entry(3), Entry(4)})},
        DecodeCase{"bits8_without_palette_marker_is_grey",
                   PcxFile().Edges(0, 0, 1, 0).BytesPerLine(2).Data({0x10, 0xC1, 0xF0}).Palette(11),
                   2, 1, [] {
                     // The 769 trailing bytes are image data when the marker is missing;
                     // only the first row is shown.
                     return Bgr0({{0x10, 0x10, 0x10}, {0xF0, 0xF0, 0xF0}});
                   }()},
        // 10 pixels in 2 stored bytes: 1010101011, bit 1 white.
        DecodeCase{"bits1_black_and_white",
                   PcxFile().Version(3).Depth(1, 1).Edges(0, 0, 9, 0).BytesPerLine(2).Data({0xAA, 0xC1, 0xC0}),
                   10, 1, Bgr0({kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kWhite})}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct RefuseCase {
  const char* name;
  Bytes bytes;
  Failure failure;
};

class PcxRefuseTest : public testing::TestWithParam<RefuseCase> {};

TEST_P(PcxRefuseTest, YieldsNoPicture) {
  auto raster = DecodePcx(GetParam().bytes);
  ASSERT_FALSE(raster.ok());
  EXPECT_EQ(raster.failure(), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PcxRefuseTest,
    testing::Values(
        RefuseCase{"header_only", PcxFile().Data({}), Failure::kTruncated},
        RefuseCase{"version_6", PcxFile().Version(6), Failure::kBadHeader},
        RefuseCase{"encoding_0", PcxFile().Encoding(0), Failure::kUnsupportedCompression},
        RefuseCase{"right_left_of_left", PcxFile().Edges(5, 0, 4, 0), Failure::kBadHeader},
        RefuseCase{"bottom_above_top", PcxFile().Edges(0, 5, 0, 4), Failure::kBadHeader},
        RefuseCase{"bits8_three_planes", PcxFile().Depth(8, 3), Failure::kUnsupportedBitDepth},
        RefuseCase{"bits1_four_planes", PcxFile().Depth(1, 4), Failure::kUnsupportedBitDepth},
        RefuseCase{"bits4", PcxFile().Depth(4, 1), Failure::kUnsupportedBitDepth},
        RefuseCase{"rows_shorter_than_width", PcxFile().Edges(0, 0, 2, 0).BytesPerLine(2).Data({0xC3, 1}),
                   Failure::kBadHeader},
        RefuseCase{"data_end_before_last_row", PcxFile().Edges(0, 0, 1, 2).BytesPerLine(2).Data({0xC5, 1}),
                   Failure::kTruncated},
        RefuseCase{"run_without_its_value", PcxFile().Edges(0, 0, 1, 0).BytesPerLine(2).Data({1, 0xC1}),
                   Failure::kTruncated},
        // Rows stop at the palette marker: a palette cannot stand in for image data.
        RefuseCase{"rows_end_at_palette", PcxFile().Edges(0, 0, 1, 1).BytesPerLine(2).Data({1, 2}).Palette(),
                   Failure::kTruncated},
        // Extreme edges from a few bytes: refused from the header, before any allocation.
        RefuseCase{"extreme_edges_rows_cannot_hold_width",
                   PcxFile().Edges(0, 0, 65535, 65535).BytesPerLine(65535).Data({0xFF, 0, 0xFF, 0}),
                   Failure::kBadHeader},
        RefuseCase{"extreme_edges_little_data",
                   PcxFile().Edges(0, 0, 65534, 65535).BytesPerLine(65535).Data({0xFF, 0, 0xFF, 0}),
                   Failure::kTruncated}),
    [](const testing::TestParamInfo<RefuseCase>& info) { return std::string(info.param.name); });

// One row of 1 pixel that would need 65536 rows: work bounded by the data.
TEST(PcxTest, TallPictureWithLittleDataIsRefused) {
  const Bytes file = PcxFile().Edges(0, 0, 0, 65535).BytesPerLine(1).Data(Bytes(1000, 0xFF));
  EXPECT_EQ(DecodePcx(file).failure(),
            Failure::kTruncated);
}

TEST(PcxTest, OneBitFileRendersBlackAndWhite) {
  const Bytes file = PcxFile().Version(3).Depth(1, 1).Edges(0, 0, 1, 0).BytesPerLine(1).Data({0x80});
  auto still = LoadStillPicture(file);
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->format, PictureFormat::kPcx1);
  auto raster = RenderPictureBitmap(file);
  ASSERT_TRUE(raster.ok());
  EXPECT_EQ(raster->pixels, Bgr0({kWhite, kBlack}));
}

}  // namespace
}  // namespace pictorin
