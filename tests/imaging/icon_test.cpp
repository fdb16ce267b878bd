#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/formats.h"
#include "imaging/picture.h"
#include "tests/support/little_endian.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

using test::AppendU16;
using test::AppendU32;

// An icon entry's bitmap: a 40-byte information header whose height counts
// the colour image and the mask, the colour table, then the colour rows and
// the AND mask rows, each bottom-up and stored exactly as given.
class IconBitmap {
 public:
  IconBitmap& Size(std::int32_t width, std::int32_t height) { width_ = width, height_ = height; return *this; }
  IconBitmap& Bits(std::uint16_t bits) { bits_ = bits; return *this; }
  IconBitmap& Compression(std::uint32_t compression) { compression_ = compression; return *this; }
  IconBitmap& ColoursUsed(std::uint32_t count) { colours_used_ = count; return *this; }
  IconBitmap& Table(std::vector<Colour> table) { table_ = std::move(table); return *this; }
  IconBitmap& Rows(Bytes rows) { rows_ = std::move(rows); return *this; }
  IconBitmap& Mask(Bytes mask) { mask_ = std::move(mask); return *this; }
  operator Bytes() const;  // NOLINT: a test bitmap is its bytes

 private:
  std::int32_t width_ = 1;
  std::int32_t height_ = 1;  // pixels; the header stores twice this
  std::uint16_t bits_ = 24;
  std::uint32_t compression_ = 0;
  std::uint32_t colours_used_ = 0;
  std::vector<Colour> table_;
  Bytes rows_;
  Bytes mask_;
};

IconBitmap::operator Bytes() const {
  Bytes out;
  AppendU32(out, 40);                                        // header size
  AppendU32(out, static_cast<std::uint32_t>(width_));
  AppendU32(out, static_cast<std::uint32_t>(height_ * 2));   // colour image and mask
  AppendU16(out, 1);                                         // planes
  AppendU16(out, bits_);
  AppendU32(out, compression_);
  AppendU32(out, static_cast<std::uint32_t>(rows_.size() + mask_.size()));  // image size
  AppendU32(out, 0);                                         // horizontal pixels per metre
  AppendU32(out, 0);                                         // vertical pixels per metre
  AppendU32(out, colours_used_);
  AppendU32(out, 0);                                         // colours important
  for (Colour c : table_) {
    out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c), 0});
  }
  out.insert(out.end(), rows_.begin(), rows_.end());
  out.insert(out.end(), mask_.begin(), mask_.end());
  return out;
}

struct DirectoryEntry {
  std::uint8_t width = 0;         // 0 stands for 256
  std::uint8_t colour_count = 0;  // 0 for 256 colours or more
  Bytes data;
};

// An icon (type 1) or cursor (type 2) file: the 6-byte directory header, the
// 16-byte entries, then each entry's data in turn.
Bytes IconFile(const std::vector<DirectoryEntry>& entries, std::uint16_t type = 1) {
  Bytes out;
  AppendU16(out, 0);  // reserved
  AppendU16(out, type);
  AppendU16(out, static_cast<std::uint32_t>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const DirectoryEntry& entry : entries) {
    out.insert(out.end(), {entry.width, entry.width, entry.colour_count, 0});  // width, height, colours, reserved
    AppendU16(out, 1);   // planes, or the cursor's hot spot x
    AppendU16(out, 8);   // bits per pixel, or the hot spot y
    AppendU32(out, static_cast<std::uint32_t>(entry.data.size()));
    AppendU32(out, offset);
    offset += static_cast<std::uint32_t>(entry.data.size());
  }
  for (const DirectoryEntry& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
  return out;
}

// Pixels as the raster holds them: blue, green, red, 0.
Bytes Bgr0(std::initializer_list<Colour> colours) {
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

// A side × side 8-bit bitmap of one colour with an all-opaque mask.
Bytes SolidBitmap(std::int32_t side, Colour colour) {
  const std::size_t stride = (side + 3) / 4 * 4, mask_stride = (side + 31) / 32 * 4;
  return IconBitmap().Size(side, side).Bits(8).ColoursUsed(1).Table({colour})
      .Rows(Bytes(stride * side, 0)).Mask(Bytes(mask_stride * side, 0));
}

struct ChoiceCase {
  const char* name;
  std::vector<DirectoryEntry> entries;
  std::int32_t side;
  Colour colour;
};

class IconChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(IconChoiceTest, TakesTheRuleEntry) {
  auto still = DecodeIcon(IconFile(GetParam().entries), PictureFormat::kIcon);
  ASSERT_TRUE(still.ok()) << FailureText(still.failure());
  EXPECT_EQ(still->width(), GetParam().side);
  EXPECT_EQ(still->height(), GetParam().side);
  EXPECT_EQ(Bytes(still->colour.pixels.begin(), still->colour.pixels.begin() + 4), Bgr0({GetParam().colour}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IconChoiceTest,
    testing::Values(
        ChoiceCase{"256_colour_16_and_48_take_the_last",
                   {{16, 0, SolidBitmap(16, kRed)}, {48, 0, SolidBitmap(48, kGreen)}}, 48, kGreen},
        ChoiceCase{"32_wide_16_colours_is_taken",
                   {{16, 0, SolidBitmap(16, kRed)}, {32, 16, SolidBitmap(32, kBlue)}, {48, 0, SolidBitmap(48, kGreen)}},
                   32, kBlue},
        // A 256-colour entry stores colour count 0, so a 32-wide one does not qualify.
        ChoiceCase{"32_wide_256_colours_is_passed_over",
                   {{32, 0, SolidBitmap(32, kRed)}, {16, 16, SolidBitmap(16, kGreen)}}, 16, kGreen},
        ChoiceCase{"first_of_two_qualifying",
                   {{32, 16, SolidBitmap(32, kRed)}, {32, 255, SolidBitmap(32, kBlue)}}, 32, kRed},
        ChoiceCase{"single_entry", {{1, 2, SolidBitmap(1, kBlue)}}, 1, kBlue}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

struct EntryCase {
  const char* name;
  Bytes bitmap;
  Bytes colour;  // top to bottom
  std::vector<std::uint8_t> mask;
};

class IconEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(IconEntryTest, ReadsColoursAndAndMask) {
  auto still = DecodeIcon(IconFile({{0, 0, GetParam().bitmap}}), PictureFormat::kIcon);
  ASSERT_TRUE(still.ok()) << FailureText(still.failure());
  EXPECT_EQ(still->format, PictureFormat::kIcon);
  EXPECT_EQ(still->colour.pixels, GetParam().colour);
  EXPECT_EQ(still->mask.kind, MaskKind::kBits);
  EXPECT_EQ(still->mask.values, GetParam().mask);
}

// Every case is 2 × 2 and stored bottom-up: the first row given is the bottom row.
INSTANTIATE_TEST_SUITE_P(
    Table, IconEntryTest,
    testing::Values(
        EntryCase{"bits1", IconBitmap().Size(2, 2).Bits(1).Table({kBlack, kWhite})
                               .Rows({0b01000000, 0, 0, 0, 0b10000000, 0, 0, 0})
                               .Mask({0b10000000, 0, 0, 0, 0b01000000, 0, 0, 0}),
                  Bgr0({kWhite, kBlack, kBlack, kWhite}), {0, 1, 1, 0}},
        EntryCase{"bits4_colours_used", IconBitmap().Size(2, 2).Bits(4).ColoursUsed(3).Table({kRed, kGreen, kBlue})
                                            .Rows({0x01, 0, 0, 0, 0x27, 0, 0, 0})
                                            .Mask({0, 0, 0, 0, 0xC0, 0, 0, 0}),
                  Bgr0({kBlue, kBlack, kRed, kGreen}), {1, 1, 0, 0}},
        EntryCase{"bits8_256_entries", IconBitmap().Size(2, 2).Bits(8).Table(std::vector<Colour>(256, kBlue))
                                           .Rows({255, 0, 0, 0, 0, 255, 0, 0})
                                           .Mask({0, 0, 0, 0, 0, 0, 0, 0}),
                  Bgr0({kBlue, kBlue, kBlue, kBlue}), {0, 0, 0, 0}},
        EntryCase{"bits24_padded_rows", IconBitmap().Size(2, 2).Bits(24)
                                            .Rows({0, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0})
                                            .Mask({0x40, 0, 0, 0, 0, 0, 0, 0}),
                  Bgr0({kWhite, kBlack, kRed, kGreen}), {0, 0, 0, 1}}),
    [](const testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

// Over white, transparent pixels show white XOR their colour: black ones white.
TEST(IconTest, RendersTransparentPixelsWhite) {
  const Bytes bitmap = IconBitmap().Size(2, 2).Bits(4).ColoursUsed(3).Table({kBlack, kRed, kBlue})
                           .Rows({0x10, 0, 0, 0, 0x02, 0, 0, 0})    // bottom: red, black; top: black, blue
                           .Mask({0x40, 0, 0, 0, 0xC0, 0, 0, 0});   // bottom: 0, 1; top: 1, 1
  auto raster = RenderPictureBitmap(IconFile({{2, 0, bitmap}}));
  ASSERT_TRUE(raster.ok());
  EXPECT_EQ(raster->pixels, Bgr0({kWhite, MakeColour(255, 255, 0), kRed, kWhite}));
}

TEST(IconTest, ThirtyTwoBitEntryUsesItsAlpha) {
  const Bytes bitmap = IconBitmap().Size(2, 1).Bits(32)
                           .Rows({0, 0, 255, 255, 255, 0, 0, 0x80})  // opaque red, half blue
                           .Mask({0xC0, 0, 0, 0});                   // ignored
  auto still = DecodeIcon(IconFile({{2, 0, bitmap}}), PictureFormat::kIcon);
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->colour.pixels, Bgr0({kRed, kBlue}));
  EXPECT_EQ(still->mask.kind, MaskKind::kAlpha);
  EXPECT_EQ(still->mask.values, (std::vector<std::uint8_t>{255, 0x80}));
}

// Older 32-bit icons leave alpha at 0 and rely on the AND mask.
TEST(IconTest, ThirtyTwoBitEntryWithoutAlphaUsesTheAndMask) {
  const Bytes bitmap = IconBitmap().Size(2, 1).Bits(32).Rows({0, 0, 255, 0, 255, 0, 0, 0}).Mask({0x40, 0, 0, 0});
  auto still = DecodeIcon(IconFile({{2, 0, bitmap}}), PictureFormat::kIcon);
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->mask.kind, MaskKind::kBits);
  EXPECT_EQ(still->mask.values, (std::vector<std::uint8_t>{0, 1}));
}

TEST(IconTest, CursorDecodesAsCursor) {
  auto still = LoadStillPicture(IconFile({{4, 0, SolidBitmap(4, kGreen)}}, 2));
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->format, PictureFormat::kCursor);
  EXPECT_EQ(still->width(), 4);
}

// A PNG entry keeps its colours opaque and gives its alpha as the mask.
TEST(IconTest, PngEntryUsesItsAlpha) {
  const Bytes png = test::EncodePng({.width = 2, .height = 1, .colour = test::PngColour::kRgba,
                                     .sample = [](int x, int, int c) -> std::uint16_t {
                                       static constexpr std::uint8_t kPixels[2][4] = {{255, 0, 0, 255},
                                                                                      {0, 0, 255, 0x40}};
                                       return kPixels[x][c];
                                     }});
  ASSERT_FALSE(png.empty());
  auto still = DecodeIcon(IconFile({{2, 0, png}}), PictureFormat::kIcon);
  ASSERT_TRUE(still.ok()) << FailureText(still.failure());
  EXPECT_EQ(still->colour.pixels, Bgr0({kRed, kBlue}));
  EXPECT_EQ(still->mask.kind, MaskKind::kAlpha);
  EXPECT_EQ(still->mask.values, (std::vector<std::uint8_t>{255, 0x40}));
}

TEST(IconTest, DamagedPngEntryIsNoPicture) {
  const Bytes damaged = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  EXPECT_FALSE(DecodeIcon(IconFile({{1, 0, damaged}}), PictureFormat::kIcon).ok());
}

struct RefuseCase {
  const char* name;
  Bytes bytes;
  Failure failure;
};

class IconRefuseTest : public testing::TestWithParam<RefuseCase> {};

TEST_P(IconRefuseTest, YieldsNoPicture) {
  auto still = DecodeIcon(GetParam().bytes, PictureFormat::kIcon);
  ASSERT_FALSE(still.ok());
  EXPECT_EQ(still.failure(), GetParam().failure);
}

Bytes Changed(Bytes bytes, std::size_t index, std::uint8_t value) {
  bytes[index] = value;
  return bytes;
}

Bytes FirstBytes(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

const Bytes kOneEntry = IconFile({{1, 0, SolidBitmap(1, kRed)}});  // data at offset 22, 40-byte header
const std::size_t kEntryData = 22;

INSTANTIATE_TEST_SUITE_P(
    Table, IconRefuseTest,
    testing::Values(
        RefuseCase{"directory_of_5_bytes", FirstBytes(kOneEntry, 5), Failure::kTruncated},
        RefuseCase{"reserved_not_0", Changed(kOneEntry, 0, 1), Failure::kBadHeader},
        RefuseCase{"type_3", Changed(kOneEntry, 2, 3), Failure::kBadHeader},
        RefuseCase{"no_entries", Changed(kOneEntry, 4, 0), Failure::kBadHeader},
        RefuseCase{"count_past_the_entries", Changed(kOneEntry, 4, 9), Failure::kTruncated},
        RefuseCase{"entry_offset_past_the_end", Changed(kOneEntry, 6 + 14, 1), Failure::kTruncated},
        RefuseCase{"entry_size_past_the_end", Changed(kOneEntry, 6 + 9, 1), Failure::kTruncated},
        RefuseCase{"entry_data_cut_short", FirstBytes(kOneEntry, kOneEntry.size() - 1), Failure::kTruncated},
        RefuseCase{"bitmap_header_short",
                   IconFile({{1, 0, FirstBytes(SolidBitmap(1, kRed), 39)}}), Failure::kTruncated},
        RefuseCase{"header_size_below_40", Changed(kOneEntry, kEntryData, 12), Failure::kBadHeader},
        RefuseCase{"compression_1", IconFile({{1, 0, IconBitmap().Bits(8).Compression(1).Rows(Bytes(8, 0))}}),
                   Failure::kUnsupportedCompression},
        RefuseCase{"bits16", IconFile({{1, 0, IconBitmap().Bits(16).Rows(Bytes(8, 0))}}),
                   Failure::kUnsupportedBitDepth},
        RefuseCase{"width_0", IconFile({{1, 0, IconBitmap().Size(0, 1).Rows(Bytes(8, 0))}}), Failure::kBadHeader},
        RefuseCase{"height_counts_no_image_row", Changed(kOneEntry, kEntryData + 8, 1), Failure::kBadHeader},
        RefuseCase{"colour_table_past_the_data",
                   IconFile({{1, 0, IconBitmap().Bits(8).ColoursUsed(1000).Rows(Bytes(8, 0))}}), Failure::kTruncated},
        RefuseCase{"colour_rows_short", IconFile({{1, 0, IconBitmap().Size(1, 2).Rows(Bytes(7, 0))}}),
                   Failure::kTruncated},
        RefuseCase{"mask_missing", IconFile({{1, 0, IconBitmap().Size(1, 2).Rows(Bytes(8, 0))}}),
                   Failure::kTruncated},
        RefuseCase{"sides_beyond_the_budget",
                   IconFile({{1, 0, IconBitmap().Size(65535, 32767).Rows(Bytes(8, 0))}}), Failure::kTooLarge}),
    [](const testing::TestParamInfo<RefuseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pictorin
