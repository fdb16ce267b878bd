#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "imaging/formats.h"
#include "imaging/gif.h"
#include "imaging/picture.h"
#include "tests/support/gif_builder.h"

namespace pictorin {
namespace {

using test::GifBuilder;
using test::GifImageSpec;
using test::LzwCode;
using test::LzwEncode;
using test::PackCodes;
using test::SubBlocks;

constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kGreen = MakeColour(0, 255, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kWhite = MakeColour(255, 255, 255);
const std::vector<Colour> kTable = {kBlack, kRed, kGreen, kBlue};
enum Index : std::uint8_t { kIBlack, kIRed, kIGreen, kIBlue };

using Pixel = std::array<std::uint8_t, 4>;  // blue, green, red, transparency
constexpr Pixel kClear = {255, 255, 255, 255};  // the canvas where nothing was drawn

Pixel Opaque(Colour colour) {
  return {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
          static_cast<std::uint8_t>(colour), 0};
}

Pixel At(const std::vector<std::uint8_t>& pixels, int width, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
  return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

GifImageSpec Spec(int left, int top, int width, int height, std::vector<std::uint8_t> indices = {}) {
  GifImageSpec spec;
  spec.left = left;
  spec.top = top;
  spec.width = width;
  spec.height = height;
  spec.indices = std::move(indices);
  return spec;
}

// A width × height image at (left, top) whose every pixel has one index.
GifImageSpec Filled(int left, int top, int width, int height, std::uint8_t index) {
  return Spec(left, top, width, height, std::vector<std::uint8_t>(std::size_t(width) * height, index));
}

GifReader Open(const Bytes& bytes, bool looping = false) {
  auto reader = GifReader::Open(bytes, looping);
  EXPECT_TRUE(reader.ok());
  return std::move(*reader);
}

// --- Opening -------------------------------------------------------------

struct OpenCase {
  const char* name;
  Bytes bytes;
  bool opens;
};

class GifOpenTest : public testing::TestWithParam<OpenCase> {};

TEST_P(GifOpenTest, ChecksLengthSignatureAndGlobalTable) {
  EXPECT_EQ(GifReader::Open(GetParam().bytes, false).ok(), GetParam().opens);
}

Bytes Header(const char* signature, std::uint8_t packed, std::size_t extra) {
  Bytes bytes(signature, signature + 6);
  bytes.insert(bytes.end(), {4, 0, 3, 0, packed, 0, 0});
  bytes.resize(bytes.size() + extra, 0x3B);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GifOpenTest,
    testing::Values(
        OpenCase{"thirteen_bytes", Header("GIF89a", 0, 0), false},
        OpenCase{"fourteen_bytes", Header("GIF89a", 0, 1), true},
        OpenCase{"gif87a", Header("GIF87a", 0, 1), true},
        OpenCase{"gif88a", Header("GIF88a", 0, 1), false},
        OpenCase{"gif89b", Header("GIF89b", 0, 1), false},
        // A global table of 2 entries (6 bytes) must end before the last byte.
        OpenCase{"table_up_to_the_end", Header("GIF89a", 0x80, 6), false},
        OpenCase{"table_then_one_byte", Header("GIF89a", 0x80, 7), true},
        OpenCase{"table_of_256_cut_short", Header("GIF89a", 0x87, 700), false}),
    [](const testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

TEST(GifReaderTest, ReadsScreenSizeAndImageFields) {
  GifImageSpec spec = Filled(1, 2, 3, 2, kIGreen);
  spec.indices[4] = kIBlue;
  spec.local_table = {kWhite, kGreen, kRed, kBlue};
  const Bytes bytes = GifBuilder(300, 200, kTable).Control(5, 7, 2).Image(spec).Trailer().bytes();
  GifReader reader = Open(bytes);
  EXPECT_EQ(reader.screen_width(), 300);
  EXPECT_EQ(reader.screen_height(), 200);
  auto image = reader.NextImage();
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(image->left, 1);
  EXPECT_EQ(image->top, 2);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_FALSE(image->interlaced);
  EXPECT_THAT(image->indices, testing::ElementsAre(2, 2, 2, 2, 3, 2));
  EXPECT_EQ(image->colours[0], kWhite);  // the local table is in effect
  EXPECT_EQ(image->colours[4], kBlack);  // beyond the table
  EXPECT_EQ(image->transparent, kRed);   // local entry 2
  EXPECT_EQ(image->disposal, 5);
  EXPECT_EQ(image->delay, 7);
  EXPECT_EQ(reader.NextImage().failure(), Failure::kNoImage);
}

TEST(GifReaderTest, WithoutAnyColourTableEveryIndexIsBlack) {
  const Bytes bytes = GifBuilder(2, 1, {}).Control(0, 0, 1).Image(Filled(0, 0, 2, 1, 1)).Trailer().bytes();
  auto image = Open(bytes).NextImage();
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(image->colours[1], kBlack);
  EXPECT_EQ(image->transparent, kBlack);
}

// Transparency and delay last until the next graphic control block, also
// across a rewind; the disposal method applies to one image only.
TEST(GifReaderTest, ControlValuesCarryOverButDisposalDoesNot) {
  const Bytes bytes = GifBuilder(2, 2, kTable)
                          .Image(Filled(0, 0, 2, 2, kIRed))
                          .Control(2, 9, kIBlue)
                          .Image(Filled(0, 0, 2, 2, kIRed))
                          .Image(Filled(0, 0, 2, 2, kIRed))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes);
  auto first = reader.NextImage();
  auto second = reader.NextImage();
  auto third = reader.NextImage();
  ASSERT_TRUE(first.ok() && second.ok() && third.ok());
  EXPECT_EQ(first->delay, 0);
  EXPECT_EQ(first->transparent, kNoColour);
  EXPECT_EQ(second->disposal, 2);
  EXPECT_EQ(third->delay, 9);
  EXPECT_EQ(third->transparent, kBlue);
  EXPECT_EQ(third->disposal, 0);
  reader.Rewind();
  auto again = reader.NextImage();
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again->delay, 9);
  EXPECT_EQ(again->transparent, kBlue);
  EXPECT_EQ(again->disposal, 0);
}

// --- Blocks between images --------------------------------------------------

struct BlockCase {
  const char* name;
  Bytes between;  // bytes between the first and the second image
  int images;     // how many images the reader delivers
};

class GifBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(GifBlockTest, SkipsKnownExtensionsAndStopsAtOthers) {
  const Bytes bytes = GifBuilder(2, 2, kTable)
                          .Image(Filled(0, 0, 2, 2, kIRed))
                          .Append(GetParam().between)
                          .Image(Filled(0, 0, 2, 2, kIGreen))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes);
  int images = 0;
  while (reader.NextImage().ok()) ++images;
  EXPECT_EQ(images, GetParam().images);
}

Bytes LoopCountBlock() {
  GifBuilder builder(1, 1, {});
  const std::size_t header = builder.bytes().size();
  const Bytes& bytes = builder.LoopCount(0).bytes();
  return Bytes(bytes.begin() + header, bytes.end());
}

INSTANTIATE_TEST_SUITE_P(
    Table, GifBlockTest,
    testing::Values(
        BlockCase{"nothing", {}, 2},
        BlockCase{"application", LoopCountBlock(), 2},
        BlockCase{"comment", {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0}, 2},
        BlockCase{"plain_text", {0x21, 0x01, 12, 0, 0, 0, 0, 1, 0, 1, 0, 8, 8, 1, 0, 2, 'h', 'i', 0}, 2},
        // The graphic control block is read at fixed places whatever its size byte says.
        BlockCase{"graphic_control_with_wrong_size", {0x21, 0xF9, 0x09, 0, 5, 0, 0, 0}, 2},
        BlockCase{"unknown_extension", {0x21, 0x02, 1, 0, 0}, 1},
        BlockCase{"trailer", {0x3B}, 1},
        BlockCase{"zero_byte", {0x00}, 1},
        BlockCase{"stray_byte", {0x01}, 1},
        BlockCase{"comment_past_the_end", {0x21, 0xFE, 200, 1, 2}, 1}),
    [](const testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

TEST(GifReaderTest, TrailingBytesAfterTheEndCodeHideTheFollowingImages) {
  const GifImageSpec spec = Filled(0, 0, 2, 2, kIRed);
  Bytes data = LzwEncode(spec.indices, 8);
  data.insert(data.end(), {0x77, 0x77});  // still inside the last sub-block
  const Bytes bytes = GifBuilder(2, 2, kTable)
                          .Descriptor(spec)
                          .Append({8})
                          .Append(SubBlocks(data))
                          .Image(Filled(0, 0, 2, 2, kIGreen))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes);
  ASSERT_TRUE(reader.NextImage().ok());
  EXPECT_FALSE(reader.NextImage().ok());
}

TEST(GifReaderTest, ImageDataEndedByTheChainTerminatorReadThe255Padding) {
  // Minimum code size 2: clear 4, end 5, codes 3 bits wide. The only byte
  // holds clear (bits 0..2), index 1 (bits 3..5) and the low bits 01 of the
  // next code (bits 6..7). Its high bit comes from a padding byte 255, making
  // it 101, the end code; the terminator is then the byte skipped after it.
  const GifImageSpec spec = Filled(0, 0, 1, 1, kIRed);
  const Bytes bytes = GifBuilder(1, 1, kTable)
                          .Descriptor(spec)
                          .Append({2, 1, 4 | 1 << 3 | 1 << 6, 0})
                          .Image(Filled(0, 0, 1, 1, kIGreen))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes);
  auto first = reader.NextImage();
  ASSERT_TRUE(first.ok());
  EXPECT_THAT(first->indices, testing::ElementsAre(kIRed));
  auto second = reader.NextImage();
  ASSERT_TRUE(second.ok());
  EXPECT_THAT(second->indices, testing::ElementsAre(kIGreen));
}

// --- LZW ----------------------------------------------------------------------

struct LzwCase {
  const char* name;
  int width;
  int height;
  int min_code_size;
  bool clear_when_full;
  std::size_t block_size;
  int (*index_at)(int x, int y);
};

class GifLzwTest : public testing::TestWithParam<LzwCase> {};

int Noise(int x, int y) {
  return static_cast<int>((static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u) >> 13 & 0xFF);
}
int Stripes(int x, int y) { return (x / 3 + y) % 4; }
int Flat(int, int) { return 1; }

TEST_P(GifLzwTest, DecodesWhatTheEncoderMade) {
  const LzwCase& c = GetParam();
  const auto indices = test::Indices(c.width, c.height, c.index_at);
  const GifImageSpec spec = Spec(0, 0, c.width, c.height, indices);
  const Bytes bytes = GifBuilder(c.width, c.height, std::vector<Colour>(std::size_t{1} << c.min_code_size))
                          .Descriptor(spec)
                          .Append({static_cast<std::uint8_t>(c.min_code_size)})
                          .Append(SubBlocks(LzwEncode(indices, c.min_code_size, c.clear_when_full), c.block_size))
                          .Trailer()
                          .bytes();
  auto image = Open(bytes).NextImage();
  ASSERT_TRUE(image.ok()) << FailureText(image.failure());
  EXPECT_EQ(image->indices, indices);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GifLzwTest,
    testing::Values(
        // Noise fills the 4096-entry table several times over.
        LzwCase{"noise_with_clear_codes", 200, 150, 8, true, 255, Noise},
        LzwCase{"noise_with_full_table", 200, 150, 8, false, 255, Noise},
        LzwCase{"stripes_two_bit_codes", 97, 61, 2, true, 255, Stripes},
        LzwCase{"stripes_full_table", 300, 200, 2, false, 255, Stripes},
        // Long runs make codes defined by the code just before them.
        LzwCase{"flat", 500, 400, 8, true, 255, Flat},
        LzwCase{"one_byte_sub_blocks", 40, 30, 8, true, 1, Noise}),
    [](const testing::TestParamInfo<LzwCase>& info) { return std::string(info.param.name); });

struct BadCodesCase {
  const char* name;
  int min_code_size;
  std::vector<LzwCode> codes;
};

class GifBadCodesTest : public testing::TestWithParam<BadCodesCase> {};

TEST_P(GifBadCodesTest, DropsTheImage) {
  const BadCodesCase& c = GetParam();
  const Bytes bytes = GifBuilder(4, 1, kTable)
                          .Descriptor(Spec(0, 0, 4, 1))
                          .Append({static_cast<std::uint8_t>(c.min_code_size)})
                          .Append(SubBlocks(PackCodes(c.codes)))
                          .Trailer()
                          .bytes();
  EXPECT_EQ(Open(bytes).NextImage().failure(), Failure::kCorruptData);
}

// Minimum code size 2: clear 4, end 5, first free code 6; 3-bit codes.
INSTANTIATE_TEST_SUITE_P(
    Table, GifBadCodesTest,
    testing::Values(
        BadCodesCase{"first_code_beyond_first_free", 2, {{4, 3}, {7, 3}, {5, 3}}},
        BadCodesCase{"first_code_without_clear_beyond_first_free", 2, {{7, 3}, {5, 3}}},
        BadCodesCase{"code_beyond_next_free", 2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}}},
        BadCodesCase{"code_beyond_next_free_after_a_second_clear", 2,
                     {{4, 3}, {1, 3}, {2, 3}, {4, 3}, {1, 3}, {7, 3}, {5, 3}}},
        BadCodesCase{"minimum_code_size_9", 9, {{512, 10}, {1, 10}, {513, 10}}},
        BadCodesCase{"minimum_code_size_1", 1, {{2, 2}, {1, 2}, {3, 2}}}),
    [](const testing::TestParamInfo<BadCodesCase>& info) { return std::string(info.param.name); });

TEST(GifReaderTest, EndCodeBeforeTheImageIsFullLeavesTheRestUnreached) {
  // 3×3 image, but only 4 indices before the end code: row 0, one of row 1.
  // Codes widen to 4 bits once entries 6 and 7 are defined.
  const Bytes bytes = GifBuilder(3, 3, kTable)
                          .Descriptor(Spec(0, 0, 3, 3))
                          .Append({2})
                          .Append(SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {5, 4}})))
                          .Trailer()
                          .bytes();
  auto image = Open(bytes).NextImage();
  ASSERT_TRUE(image.ok());
  EXPECT_THAT(image->Row(0), testing::ElementsAre(1, 2, 3));
  EXPECT_THAT(image->Row(1), testing::ElementsAre(1));
  EXPECT_TRUE(image->Row(2).empty());
}

TEST(GifReaderTest, ExtraIndicesBeyondTheLastPixelAreDropped) {
  const auto indices = test::Indices(30, 20, Noise);
  Bytes bytes = GifBuilder(10, 10, std::vector<Colour>(256))
                    .Descriptor(Spec(0, 0, 10, 10))
                    .Append({8})
                    .Append(SubBlocks(LzwEncode(indices, 8)))
                    .Image(Filled(0, 0, 1, 1, 7))
                    .Trailer()
                    .bytes();
  GifReader reader = Open(bytes);
  auto image = reader.NextImage();
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(image->indices, std::vector<std::uint8_t>(indices.begin(), indices.begin() + 100));
  EXPECT_TRUE(reader.NextImage().ok());
}

// Once the table is full, data that run out feed code 4095 for ever; the
// decode must still end, with the image as far as the real data filled it.
TEST(GifReaderTest, DataRunningOutWithAFullTableStillEnd) {
  const auto indices = test::Indices(300, 100, Noise);
  Bytes data = LzwEncode(indices, 8, false);
  data.resize(data.size() * 7 / 10);  // well after the table filled, no end code
  const Bytes bytes = GifBuilder(100, 100, std::vector<Colour>(256))
                          .Descriptor(Spec(0, 0, 100, 100))
                          .Append({8})
                          .Append(SubBlocks(data))
                          .Image(Filled(0, 0, 1, 1, 7))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes);
  auto image = reader.NextImage();
  ASSERT_TRUE(image.ok()) << FailureText(image.failure());
  EXPECT_EQ(image->indices, std::vector<std::uint8_t>(indices.begin(), indices.begin() + 10000));
  auto next = reader.NextImage();
  ASSERT_TRUE(next.ok());
  EXPECT_THAT(next->indices, testing::ElementsAre(7));
}

struct CutCase {
  const char* name;
  std::size_t keep;  // bytes kept after the header and global table
};

class GifCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(GifCutTest, CutInsideTheImageGivesNoImage) {
  GifImageSpec spec = Filled(0, 0, 2, 2, kIRed);
  spec.local_table = kTable;
  const Bytes full = GifBuilder(2, 2, {}).Image(spec).Trailer().bytes();
  const Bytes cut(full.begin(), full.begin() + 13 + GetParam().keep);
  GifReader reader = Open(cut);
  EXPECT_EQ(reader.NextImage().failure(), Failure::kTruncated);
  EXPECT_EQ(reader.NextImage().failure(), Failure::kTruncated);
}

// The image: descriptor 10 bytes, local table 12, code size 1, sub-blocks.
INSTANTIATE_TEST_SUITE_P(Table, GifCutTest,
                         testing::Values(CutCase{"in_the_descriptor", 6}, CutCase{"in_the_local_table", 15},
                                         CutCase{"before_the_code_size", 22}, CutCase{"in_a_sub_block", 25}),
                         [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

// --- Looping ----------------------------------------------------------------

TEST(GifReaderTest, LoopingReaderStartsAgainAfterTheTrailer) {
  const Bytes bytes = GifBuilder(1, 1, kTable)
                          .LoopCount(0)
                          .Image(Filled(0, 0, 1, 1, kIRed))
                          .Image(Filled(0, 0, 1, 1, kIGreen))
                          .Trailer()
                          .bytes();
  GifReader reader = Open(bytes, true);
  std::vector<std::uint8_t> seen;
  for (int i = 0; i < 5; ++i) {
    auto image = reader.NextImage();
    ASSERT_TRUE(image.ok());
    seen.push_back(image->indices[0]);
  }
  EXPECT_THAT(seen, testing::ElementsAre(kIRed, kIGreen, kIRed, kIGreen, kIRed));
}

TEST(GifReaderTest, LoopingReaderStartsAgainAfterDataThatEndWithoutTrailer) {
  const Bytes bytes = GifBuilder(1, 1, kTable).Image(Filled(0, 0, 1, 1, kIRed)).bytes();
  GifReader reader = Open(bytes, true);
  EXPECT_TRUE(reader.NextImage().ok());
  EXPECT_FALSE(reader.NextImage().ok());
  EXPECT_TRUE(reader.NextImage().ok());
}

TEST(GifReaderTest, FileWithoutImagesGivesNoneAlsoWhenLooping) {
  for (const Bytes& bytes : {GifBuilder(1, 1, kTable).Trailer().bytes(),
                             GifBuilder(1, 1, kTable).Comment("x").Append({0x00}).bytes(),
                             GifBuilder(1, 1, kTable).Control(0, 5).bytes()}) {
    for (bool looping : {false, true}) {
      GifReader reader = Open(bytes, looping);
      EXPECT_FALSE(reader.NextImage().ok());
      EXPECT_FALSE(reader.NextImage().ok());
    }
  }
}

// --- Huge declared sizes ------------------------------------------------------

TEST(GifReaderTest, HugeImageInTinyFileFailsBeforeAllocating) {
  Bytes huge = GifBuilder(1, 1, kTable).Image(Filled(0, 0, 1, 1, kIRed)).Image(Filled(0, 0, 1, 1, kIGreen)).bytes();
  huge[13 + 12 + 5] = huge[13 + 12 + 6] = huge[13 + 12 + 7] = huge[13 + 12 + 8] = 0xFF;  // 65535 × 65535
  GifReader reader = Open(huge);
  EXPECT_EQ(reader.NextImage().failure(), Failure::kTooLarge);
  auto next = reader.NextImage();  // the reader goes on after the image's data
  ASSERT_TRUE(next.ok());
  EXPECT_THAT(next->indices, testing::ElementsAre(kIGreen));
  EXPECT_EQ(ComposeGifFrames(huge).failure(), Failure::kTooLarge);
  EXPECT_EQ(DecodeGifFirstImage(huge).failure(), Failure::kTooLarge);
}

TEST(GifReaderTest, LargeImageWithLittleDataTakesLittleMemory) {
  // 20000 × 20000 fits the budget, but its data hold three indices.
  const Bytes bytes = GifBuilder(1, 1, kTable)
                          .Descriptor(Spec(0, 0, 20000, 20000))
                          .Append({2})
                          .Append(SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}})))
                          .Trailer()
                          .bytes();
  auto image = Open(bytes).NextImage();
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(image->indices.size(), 3u);
  EXPECT_LE(image->indices.capacity(), 1u << 16);
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(At(picture->frames[0].pixels, 1, 0, 0), Opaque(kRed));
}

TEST(GifReaderTest, HugeScreenFailsBeforeAnyImageIsRead) {
  Bytes bytes = GifBuilder(65535, 65535, kTable).Image(Filled(0, 0, 1, 1, kIRed)).Trailer().bytes();
  EXPECT_EQ(ComposeGifFrames(bytes).failure(), Failure::kTooLarge);
  EXPECT_EQ(DecodeGifFirstImage(bytes).failure(), Failure::kTooLarge);
}

// A 16384 × 16384 screen takes the whole budget, leaving no room for indices.
TEST(GifReaderTest, ScreenAndIndicesShareTheBudget) {
  Bytes bytes = GifBuilder(16384, 16384, kTable).Image(Filled(0, 0, 1, 1, kIRed)).Trailer().bytes();
  EXPECT_EQ(ComposeGifFrames(bytes).failure(), Failure::kTooLarge);
  EXPECT_EQ(DecodeGifFirstImage(bytes).failure(), Failure::kTooLarge);
}

TEST(GifReaderTest, ZeroSizedScreenGivesNoPicture) {
  Bytes bytes = GifBuilder(0, 5, kTable).Image(Filled(0, 0, 1, 1, kIRed)).Trailer().bytes();
  EXPECT_FALSE(ComposeGifFrames(bytes).ok());
  EXPECT_FALSE(DecodeGifFirstImage(bytes).ok());
}

// --- Frame composition --------------------------------------------------------

struct DelayCase {
  const char* name;
  std::vector<int> delays;  // -1: no graphic control block before the image
  std::vector<int> expected_ms;
};

class GifDelayTest : public testing::TestWithParam<DelayCase> {};

TEST_P(GifDelayTest, FrameDelaysAreTenTimesOrFifty) {
  GifBuilder builder(1, 1, kTable);
  for (int delay : GetParam().delays) {
    if (delay >= 0) builder.Control(0, delay);
    builder.Image(Filled(0, 0, 1, 1, kIRed));
  }
  auto picture = DecodePicture(builder.Trailer().bytes(), kNoColour, false);
  ASSERT_TRUE(picture.ok());
  std::vector<int> delays;
  for (const Frame& frame : picture->frames) delays.push_back(frame.delay_ms);
  EXPECT_EQ(delays, GetParam().expected_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GifDelayTest,
    testing::Values(DelayCase{"single_zero", {0}, {50}}, DelayCase{"single_without_control", {-1}, {50}},
                    DelayCase{"ten_then_zero", {10, 0}, {100, 50}},
                    DelayCase{"kept_without_control", {7, -1}, {70, 70}},
                    DelayCase{"longest", {65535}, {655350}}),
    [](const testing::TestParamInfo<DelayCase>& info) { return std::string(info.param.name); });

TEST(GifFramesTest, ImageInTheMiddleLeavesATransparentWhiteBorder) {
  const Bytes bytes = GifBuilder(4, 3, kTable).Image(Filled(1, 1, 2, 1, kIRed)).Trailer().bytes();
  auto picture = DecodePicture(bytes, kNoColour, false);
  ASSERT_TRUE(picture.ok());
  ASSERT_EQ(picture->width, 4);
  ASSERT_EQ(picture->height, 3);
  ASSERT_EQ(picture->frames.size(), 1u);
  const auto& pixels = picture->frames[0].pixels;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool inside = y == 1 && (x == 1 || x == 2);
      EXPECT_EQ(At(pixels, 4, x, y), inside ? Opaque(kRed) : kClear) << x << "," << y;
    }
  }
}

TEST(GifFramesTest, PartsOutsideTheScreenAreCutOff) {
  const Bytes bytes = GifBuilder(3, 2, kTable).Image(Filled(2, 1, 5, 4, kIBlue)).Trailer().bytes();
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  const auto& pixels = picture->frames[0].pixels;
  ASSERT_EQ(pixels.size(), 3u * 2 * 4);
  EXPECT_EQ(At(pixels, 3, 2, 1), Opaque(kBlue));
  EXPECT_EQ(At(pixels, 3, 1, 1), kClear);
  EXPECT_EQ(At(pixels, 3, 2, 0), kClear);
}

TEST(GifFramesTest, TransparencyIsTestedByColour) {
  // Entries 1 and 3 are both green; the transparent index is 1.
  const std::vector<Colour> table = {kRed, kGreen, kBlue, kGreen};
  const Bytes bytes = GifBuilder(4, 1, table)
                          .Image(Filled(0, 0, 4, 1, 0))
                          .Control(0, 0, 1)
                          .Image(Spec(0, 0, 4, 1, {0, 1, 2, 3}))
                          .Trailer()
                          .bytes();
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  ASSERT_EQ(picture->frames.size(), 2u);
  const auto& pixels = picture->frames[1].pixels;
  EXPECT_EQ(At(pixels, 4, 0, 0), Opaque(kRed));
  EXPECT_EQ(At(pixels, 4, 1, 0), Opaque(kRed));  // index 1: transparent
  EXPECT_EQ(At(pixels, 4, 2, 0), Opaque(kBlue));
  EXPECT_EQ(At(pixels, 4, 3, 0), Opaque(kRed));  // index 3: same colour
}

class GifDisposalTest : public testing::TestWithParam<int> {};

// Red everywhere, then a blue square that asks to be disposed of, then one
// more pixel: the square's area is back to red, not to the background.
TEST_P(GifDisposalTest, RestoresThePreviousContent) {
  const int disposal = GetParam();
  const Bytes bytes = GifBuilder(4, 4, kTable)
                          .Image(Filled(0, 0, 4, 4, kIRed))
                          .Control(disposal, 0)
                          .Image(Filled(1, 1, 2, 2, kIBlue))
                          .Image(Filled(3, 3, 1, 1, kIGreen))
                          .Trailer()
                          .bytes();
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  ASSERT_EQ(picture->frames.size(), 3u);
  EXPECT_EQ(At(picture->frames[1].pixels, 4, 1, 1), Opaque(kBlue));
  const bool restores = disposal == 2 || disposal == 3;
  EXPECT_EQ(At(picture->frames[2].pixels, 4, 1, 1), Opaque(restores ? kRed : kBlue));
  EXPECT_EQ(At(picture->frames[2].pixels, 4, 2, 2), Opaque(restores ? kRed : kBlue));
  EXPECT_EQ(At(picture->frames[2].pixels, 4, 3, 3), Opaque(kGreen));
}

INSTANTIATE_TEST_SUITE_P(Methods, GifDisposalTest, testing::Values(0, 1, 2, 3, 4, 7));

TEST(GifFramesTest, DisposalOfTheFirstImageRestoresTransparentWhite) {
  const Bytes bytes = GifBuilder(2, 1, kTable)
                          .Control(2, 0)
                          .Image(Filled(0, 0, 1, 1, kIRed))
                          .Image(Filled(1, 0, 1, 1, kIBlue))
                          .Trailer()
                          .bytes();
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(At(picture->frames[1].pixels, 2, 0, 0), kClear);
  EXPECT_EQ(At(picture->frames[1].pixels, 2, 1, 0), Opaque(kBlue));
}

class GifInterlaceTest : public testing::TestWithParam<int> {};

TEST_P(GifInterlaceTest, InterlacedImageEqualsItsTwin) {
  const int height = GetParam();
  GifImageSpec spec = Spec(0, 0, 3, height, test::Indices(3, height, Stripes));
  const Bytes plain = GifBuilder(3, height, kTable).Image(spec).Trailer().bytes();
  spec.interlaced = true;
  const Bytes interlaced = GifBuilder(3, height, kTable).Image(spec).Trailer().bytes();
  auto a = ComposeGifFrames(plain);
  auto b = ComposeGifFrames(interlaced);
  ASSERT_TRUE(a.ok() && b.ok());
  EXPECT_EQ(a->frames[0].pixels, b->frames[0].pixels);
  auto still_a = DecodeGifFirstImage(plain);
  auto still_b = DecodeGifFirstImage(interlaced);
  ASSERT_TRUE(still_a.ok() && still_b.ok());
  EXPECT_EQ(still_a->pixels, still_b->pixels);
}

INSTANTIATE_TEST_SUITE_P(Heights, GifInterlaceTest, testing::Values(1, 2, 3, 4, 5, 7, 8, 9, 13, 17));

TEST(GifFramesTest, UnreachedPixelsLeaveTheCanvasAsItWas) {
  const Bytes bytes = GifBuilder(3, 2, kTable)
                          .Image(Filled(0, 0, 3, 2, kIRed))
                          .Descriptor(Spec(0, 0, 3, 2))
                          .Append({2})
                          .Append(SubBlocks(PackCodes({{4, 3}, {3, 3}, {3, 3}, {5, 3}})))
                          .Trailer()
                          .bytes();
  auto picture = ComposeGifFrames(bytes);
  ASSERT_TRUE(picture.ok());
  ASSERT_EQ(picture->frames.size(), 2u);
  const auto& pixels = picture->frames[1].pixels;
  EXPECT_EQ(At(pixels, 3, 1, 0), Opaque(kBlue));
  EXPECT_EQ(At(pixels, 3, 2, 0), Opaque(kRed));
  EXPECT_EQ(At(pixels, 3, 0, 1), Opaque(kRed));
}

struct EndCase {
  const char* name;
  Bytes after_first;  // what follows the first image
  std::size_t frames;
};

class GifCompositionEndTest : public testing::TestWithParam<EndCase> {};

TEST_P(GifCompositionEndTest, KeepsTheFramesMadeBeforeTheEnd) {
  const Bytes bytes = GifBuilder(4, 1, kTable)
                          .Image(Filled(0, 0, 4, 1, kIRed))
                          .Append(GetParam().after_first)
                          .Image(Filled(0, 0, 4, 1, kIGreen))
                          .Trailer()
                          .bytes();
  auto picture = DecodePicture(bytes, kNoColour, false);
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(picture->frames.size(), GetParam().frames);
}

Bytes BadImage() {
  GifBuilder builder(1, 1, {});
  const std::size_t header = builder.bytes().size();
  builder.Descriptor(Spec(0, 0, 4, 1)).Append({2}).Append(SubBlocks(PackCodes({{4, 3}, {7, 3}, {5, 3}})));
  return Bytes(builder.bytes().begin() + header, builder.bytes().end());
}

INSTANTIATE_TEST_SUITE_P(
    Table, GifCompositionEndTest,
    testing::Values(EndCase{"nothing", {}, 2}, EndCase{"unknown_extension", {0x21, 0x33, 0}, 1},
                    EndCase{"damaged_image", BadImage(), 1}),
    [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

TEST(GifFramesTest, FileWhoseOnlyImageIsDamagedGivesNoPicture) {
  Bytes bytes = GifBuilder(4, 1, kTable).bytes();
  const Bytes bad = BadImage();
  bytes.insert(bytes.end(), bad.begin(), bad.end());
  bytes.push_back(0x3B);
  EXPECT_EQ(ComposeGifFrames(bytes).failure(), Failure::kCorruptData);
  EXPECT_EQ(DecodeGifFirstImage(bytes).failure(), Failure::kCorruptData);
}

// Every cut and every byte forced to 00 or FF of a small animation decodes
// without reading or writing out of bounds (the sanitizer build checks).
TEST(GifFramesTest, DamagedFilesDecodeSafely) {
  GifImageSpec interlaced = Spec(1, 0, 3, 9, test::Indices(3, 9, Stripes));
  interlaced.interlaced = true;
  interlaced.local_table = {kWhite, kBlue, kGreen, kRed};
  interlaced.min_code_size = 2;
  const Bytes bytes = GifBuilder(5, 9, kTable)
                          .LoopCount(0)
                          .Control(2, 3, 1)
                          .Image(Filled(0, 0, 5, 9, kIRed))
                          .Control(3, 0, 0)
                          .Image(interlaced)
                          .Image(Filled(4, 4, 3, 3, kIGreen))
                          .Trailer()
                          .bytes();
  ASSERT_EQ(ComposeGifFrames(bytes)->frames.size(), 3u);
  std::vector<Bytes> damaged;
  for (std::size_t size = 0; size < bytes.size(); ++size) damaged.emplace_back(bytes.begin(), bytes.begin() + size);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    for (std::uint8_t value : {0x00, 0xFF}) {
      damaged.push_back(bytes);
      damaged.back()[at] = value;
    }
  }
  for (const Bytes& file : damaged) {
    (void)DecodePicture(file, kNoColour, false);
    (void)LoadStillPicture(file);
    if (auto reader = GifReader::Open(file, true)) {
      for (int i = 0; i < 8; ++i) (void)reader->NextImage();
    }
  }
}

// --- Through the picture operations ------------------------------------------

TEST(GifPictureTest, HeaderTableAndTrailerOnlyGiveNoPicture) {
  const Bytes bytes = GifBuilder(8, 8, kTable).Trailer().bytes();
  EXPECT_FALSE(DecodePicture(bytes, kNoColour, false).ok());
  EXPECT_FALSE(LoadStillPicture(bytes).ok());
  EXPECT_FALSE(RenderPictureBitmap(bytes).ok());
}

TEST(GifPictureTest, DecodePictureTakesTheTransparentColourArgument) {
  const Bytes bytes = GifBuilder(2, 1, kTable).Control(0, 0, kIRed).Image(Filled(0, 0, 2, 1, kIBlue)).Trailer().bytes();
  auto given = DecodePicture(bytes, kGreen, false);
  ASSERT_TRUE(given.ok());
  EXPECT_EQ(given->frames[0].transparent, kGreen);
  auto automatic = DecodePicture(bytes, kGreen, true);
  ASSERT_TRUE(automatic.ok());
  EXPECT_EQ(automatic->frames[0].transparent, kBlue);
}

// The still picture: the first image at the top-left whatever its offset,
// its transparent index in its table colour, white where it does not reach.
TEST(GifPictureTest, StillPictureIsTheFirstImageAtTheTopLeft) {
  const Bytes bytes = GifBuilder(3, 2, kTable)
                          .Control(0, 0, kIRed)
                          .Image(Spec(2, 1, 2, 1, {kIRed, kIBlue}))
                          .Image(Filled(0, 0, 3, 2, kIGreen))
                          .Trailer()
                          .bytes();
  auto still = LoadStillPicture(bytes);
  ASSERT_TRUE(still.ok());
  EXPECT_EQ(still->format, PictureFormat::kGif);
  EXPECT_EQ(still->width(), 3);
  EXPECT_EQ(still->height(), 2);
  const Pixel white = {255, 255, 255, 0};
  EXPECT_EQ(At(still->colour.pixels, 3, 0, 0), Opaque(kRed));
  EXPECT_EQ(At(still->colour.pixels, 3, 1, 0), Opaque(kBlue));
  EXPECT_EQ(At(still->colour.pixels, 3, 2, 0), white);
  EXPECT_EQ(At(still->colour.pixels, 3, 0, 1), white);
  auto raster = RenderPictureBitmap(bytes);
  ASSERT_TRUE(raster.ok());
  EXPECT_EQ(raster->pixels, still->colour.pixels);
}

TEST(GifPictureTest, ThirteenByteFileGivesNoPicture) {
  const Bytes bytes = Header("GIF89a", 0, 0);
  EXPECT_EQ(DecodePicture(bytes, kNoColour, false).failure(), Failure::kTruncated);
  EXPECT_FALSE(LoadStillPicture(bytes).ok());
}

}  // namespace
}  // namespace pictorin
