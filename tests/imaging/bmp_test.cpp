#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "imaging/formats.h"
#include "imaging/picture.h"
#include "tests/support/little_endian.h"

namespace pictorin {
namespace {

using test::AppendU16;
using test::AppendU32;

// A test BMP file, built field by field; the rows are stored exactly as given.
class BmpFile {
 public:
  BmpFile& Size(std::int32_t width, std::int32_t height) { width_ = width, height_ = height; return *this; }
  BmpFile& Bits(std::uint16_t bits) { bits_ = bits; return *this; }
  BmpFile& Compression(std::uint32_t compression) { compression_ = compression; return *this; }
  BmpFile& ColoursUsed(std::uint32_t count) { colours_used_ = count; return *this; }
  BmpFile& Table(std::vector<Colour> table) { table_ = std::move(table); return *this; }
  BmpFile& PixelOffset(std::uint32_t offset) { pixel_offset_ = offset; return *this; }
  BmpFile& Rows(Bytes rows) { rows_ = std::move(rows); return *this; }
  operator Bytes() const;  // NOLINT: a test file is its bytes

 private:
  std::int32_t width_ = 1;
  std::int32_t height_ = 1;
  std::uint16_t bits_ = 24;
  std::uint32_t compression_ = 0;
  std::uint32_t colours_used_ = 0;
  std::vector<Colour> table_;                 // written at offset 54
  std::optional<std::uint32_t> pixel_offset_;  // default: right after the table
  Bytes rows_;
};

BmpFile::operator Bytes() const {
  const std::uint32_t offset = pixel_offset_.value_or(54 + 4 * static_cast<std::uint32_t>(table_.size()));
  Bytes out = {'B', 'M'};
  AppendU32(out, offset + static_cast<std::uint32_t>(rows_.size()));  // file size
  AppendU32(out, 0);                                                  // reserved
  AppendU32(out, offset);                                             // pixel data offset
  AppendU32(out, 40);                                                 // information header size
  AppendU32(out, static_cast<std::uint32_t>(width_));
  AppendU32(out, static_cast<std::uint32_t>(height_));
  AppendU16(out, 1);                                                  // planes
  AppendU16(out, bits_);
  AppendU32(out, compression_);
  AppendU32(out, static_cast<std::uint32_t>(rows_.size()));           // image size
  AppendU32(out, 2835);                                               // horizontal pixels per metre
  AppendU32(out, 2835);                                               // vertical pixels per metre
  AppendU32(out, colours_used_);
  AppendU32(out, 0);                                                  // colours important
  for (Colour c : table_) {
    out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c), 0});
  }
  out.resize(std::max<std::size_t>(out.size(), offset), 0xEE);  // a gap before the pixels
  out.insert(out.end(), rows_.begin(), rows_.end());
  return out;
}

// Opaque pixels top to bottom as blue, green, red, 0.
Bytes Pixels(std::initializer_list<Colour> colours) {
  Bytes out;
  for (Colour c : colours) {
    out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c), 0});
  }
  return out;
}

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kGreen = MakeColour(0, 255, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kWhite = MakeColour(255, 255, 255);
constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kGrey = MakeColour(0x80, 0x80, 0x80);

std::vector<Colour> Table256() {
  std::vector<Colour> table(256, kGrey);
  table[0] = kRed;
  table[255] = kBlue;
  return table;
}

struct DecodeCase {
  const char* name;
  Bytes file;
  std::int32_t width;
  std::int32_t height;
  Bytes pixels;
};

class BmpDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecodeTest, DecodesPixels) {
  auto raster = DecodeBmp(GetParam().file);
  ASSERT_TRUE(raster.ok()) << FailureText(raster.failure());
  EXPECT_EQ(raster->width, GetParam().width);
  EXPECT_EQ(raster->height, GetParam().height);
  EXPECT_EQ(raster->pixels, GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BmpDecodeTest,
    testing::Values(
        // 3 pixels of 1 bit need 3 filler bytes; the first file row is the bottom row.
        DecodeCase{"bits1_two_entries_when_colours_used_is_0",
                   BmpFile().Size(3, 2).Bits(1).Table({kRed, kBlue}).Rows(
                       {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}),
                   3, 2, Pixels({kRed, kBlue, kRed, kBlue, kRed, kBlue})},
        DecodeCase{"bits4_colours_used",
                   BmpFile().Size(3, 1).Bits(4).ColoursUsed(4).Table({kRed, kGreen, kBlue, kWhite}).Rows(
                       {0x12, 0x30, 0, 0}),
                   3, 1, Pixels({kGreen, kBlue, kWhite})},
        DecodeCase{"bits8_256_entries_when_colours_used_is_0",
                   BmpFile().Size(2, 1).Bits(8).Table(Table256()).Rows({255, 0, 0, 0}),
                   2, 1, Pixels({kBlue, kRed})},
        DecodeCase{"bits8_index_past_table_is_black",
                   BmpFile().Size(2, 1).Bits(8).ColoursUsed(2).Table({kRed, kBlue}).Rows({1, 5, 0, 0}),
                   2, 1, Pixels({kBlue, kBlack})},
        DecodeCase{"bits24_rows_padded", BmpFile().Size(1, 2).Rows({0, 0, 255, 0, 255, 0, 0, 0}),
                   1, 2, Pixels({kBlue, kRed})},
        DecodeCase{"bits32_fourth_byte_ignored",
                   BmpFile().Size(2, 1).Bits(32).Rows({0, 255, 0, 0x77, 255, 255, 255, 0xFF}),
                   2, 1, Pixels({kGreen, kWhite})},
        DecodeCase{"filler_counted_from_pixel_offset_after_a_gap",
                   BmpFile().Size(1, 2).PixelOffset(61).Rows({0, 0, 255, 0, 255, 0, 0, 0}),
                   1, 2, Pixels({kBlue, kRed})},
        DecodeCase{"last_row_without_its_filler", BmpFile().Size(1, 2).Rows({0, 0, 255, 0, 255, 0, 0}),
                   1, 2, Pixels({kBlue, kRed})}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct RefuseCase {
  const char* name;
  Bytes bytes;
  Failure failure;
};

class BmpRefuseTest : public testing::TestWithParam<RefuseCase> {};

TEST_P(BmpRefuseTest, YieldsNoPicture) {
  auto raster = DecodeBmp(GetParam().bytes);
  ASSERT_FALSE(raster.ok());
  EXPECT_EQ(raster.failure(), GetParam().failure);
}

Bytes OnePixelWith(std::size_t index, std::uint8_t value) {
  Bytes bytes = BmpFile().Rows({1, 2, 3, 0});
  bytes[index] = value;
  return bytes;
}

Bytes FirstBytes(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, BmpRefuseTest,
    testing::Values(
        RefuseCase{"header_of_53_bytes", FirstBytes(BmpFile().Rows({1, 2, 3, 0}), 53), Failure::kTruncated},
        RefuseCase{"compression_1", BmpFile().Bits(8).Compression(1).Table(Table256()).Rows({0, 0, 0, 0}),
                   Failure::kUnsupportedCompression},
        RefuseCase{"compression_2", BmpFile().Bits(4).Compression(2).Table({kRed}).Rows({0, 0, 0, 0}),
                   Failure::kUnsupportedCompression},
        RefuseCase{"bits16", BmpFile().Bits(16).Rows({0, 0, 0, 0}), Failure::kUnsupportedBitDepth},
        RefuseCase{"bits2", BmpFile().Bits(2).Rows({0, 0, 0, 0}), Failure::kUnsupportedBitDepth},
        RefuseCase{"pixel_offset_inside_colour_table",
                   BmpFile().Bits(1).Table({kRed, kBlue}).PixelOffset(58).Rows({0, 0, 0, 0}), Failure::kBadHeader},
        RefuseCase{"pixel_offset_inside_header", OnePixelWith(10, 50), Failure::kBadHeader},
        RefuseCase{"colour_table_past_the_data",
                   BmpFile().Bits(8).ColoursUsed(0xFFFFFFFF).Table({kRed}).Rows({0, 0, 0, 0}), Failure::kTruncated},
        RefuseCase{"pixel_offset_past_the_data", BmpFile().PixelOffset(1000), Failure::kTruncated},
        RefuseCase{"rows_cut_short", BmpFile().Size(2, 2).Rows({1, 2, 3, 4, 5, 6, 0, 0, 1, 2, 3, 4, 5}),
                   Failure::kTruncated},
        RefuseCase{"width_0", BmpFile().Size(0, 1).Rows({0, 0, 0, 0}), Failure::kBadHeader},
        RefuseCase{"height_0", BmpFile().Size(1, 0).Rows({0, 0, 0, 0}), Failure::kBadHeader},
        RefuseCase{"60_bytes_declaring_65535_square", BmpFile().Size(65535, 65535).Rows({1, 2, 3, 4, 5, 6}),
                   Failure::kTruncated},
        RefuseCase{"int32_min_sides", BmpFile().Size(kMinInt, kMinInt).Rows({0, 0, 0, 0}), Failure::kTruncated},
        RefuseCase{"not_bm", OnePixelWith(1, 'A'), Failure::kUnknownFormat}),
    [](const testing::TestParamInfo<RefuseCase>& info) { return std::string(info.param.name); });

TEST(BmpTest, NegativeHeightShowsTheBottomUpTwin) {
  const std::vector<Colour> table = {kRed, kGreen, kBlue, kWhite};
  const auto with_size = [&](std::int32_t height, Bytes rows) {
    return DecodeBmp(Bytes(BmpFile().Size(3, height).Bits(8).ColoursUsed(4).Table(table).Rows(std::move(rows))));
  };
  auto bottom_up = with_size(2, {0, 1, 2, 0, 3, 3, 0, 0});
  auto top_down = with_size(-2, {3, 3, 0, 0, 0, 1, 2, 0});
  ASSERT_TRUE(bottom_up.ok() && top_down.ok());
  EXPECT_EQ(top_down->height, 2);
  EXPECT_EQ(top_down->pixels, bottom_up->pixels);
  EXPECT_EQ(top_down->pixels, Pixels({kWhite, kWhite, kRed, kRed, kGreen, kBlue}));
}

// The snapshots the program saves: 100×100, 24 bits, bottom-up, 30054 bytes.
TEST(BmpTest, SnapshotSizedFileKeepsItsBottomRowAtTheBottom) {
  Bytes rows;
  for (int file_row = 0; file_row < 100; ++file_row) {
    for (int x = 0; x < 100; ++x) {
      rows.insert(rows.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(file_row), 7});
    }
  }
  const Bytes file = BmpFile().Size(100, 100).Rows(rows);
  ASSERT_EQ(file.size(), 30054u);
  auto still = LoadStillPicture(file);
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->format, PictureFormat::kBmp);
  ASSERT_EQ(still->width(), 100);
  ASSERT_EQ(still->height(), 100);
  const auto pixel = [&](int x, int y) { return &still->colour.pixels[(y * 100 + x) * 4]; };
  EXPECT_EQ(pixel(5, 99)[1], 0);   // first file row at the bottom
  EXPECT_EQ(pixel(5, 0)[1], 99);   // last file row at the top
  EXPECT_EQ(pixel(42, 0)[0], 42);
  EXPECT_EQ(pixel(42, 0)[2], 7);
}

// A file beginning with BM is taken as BMP or not at all, even when the rest
// would make another format.
TEST(BmpTest, BrokenFileStartingWithBmIsNoPicture) {
  Bytes bytes = {'B', 'M', 0x01, 0x08, 0, 0};
  bytes.resize(200, 0);
  EXPECT_FALSE(RenderPictureBitmap(bytes).ok());
  EXPECT_FALSE(DecodePicture(bytes, kNoColour, false).ok());
}

}  // namespace
}  // namespace pictorin
