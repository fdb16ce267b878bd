#include "io/snapshot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/checked.h"

namespace pictorin {
namespace {

// A raster whose pixel at x, y is blue x, green y, red 200 and a non-zero
// unused byte, so that every byte of the file tells where it came from.
Raster Marked(std::int32_t width, std::int32_t height) {
  Raster raster{width, height, {}};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      raster.pixels.insert(raster.pixels.end(),
                           {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200, 0xAB});
    }
  }
  return raster;
}

Raster Filled(std::int32_t width, std::int32_t height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  Raster raster{width, height, {}};
  for (std::int32_t i = 0; i < width * height; ++i) raster.pixels.insert(raster.pixels.end(), {blue, green, red, 0});
  return raster;
}

TEST(SnapshotTest, HundredByHundredHasTheFullHeader) {
  const Bytes file = EncodeSnapshot(Marked(100, 100), 100, 100, 32);
  ASSERT_EQ(file.size(), 30054u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  const struct {
    const char* field;
    std::size_t offset;
    int size;
    std::uint32_t value;
  } fields[] = {
      {"file size", 2, 4, 30054},   {"reserved", 6, 2, 0},          {"reserved", 8, 2, 0},
      {"pixel offset", 10, 4, 54},  {"header size", 14, 4, 40},     {"width", 18, 4, 100},
      {"height", 22, 4, 100},       {"planes", 26, 2, 1},           {"bits per pixel", 28, 2, 24},
      {"compression", 30, 4, 0},    {"image size", 34, 4, 30000},   {"horizontal resolution", 38, 4, 0},
      {"vertical resolution", 42, 4, 0}, {"colours used", 46, 4, 0}, {"important colours", 50, 4, 0},
  };
  for (const auto& f : fields) {
    if (f.size == 2) {
      EXPECT_EQ(ReadU16(file, f.offset), f.value) << f.field;
    } else {
      EXPECT_EQ(ReadU32(file, f.offset), f.value) << f.field;
    }
  }
}

TEST(SnapshotTest, FirstFileRowIsTheBottomRowInBlueGreenRedOrder) {
  const Bytes file = EncodeSnapshot(Marked(100, 100), 0, 0, 32);
  ASSERT_EQ(file.size(), 30054u);
  const auto pixel = [&](std::size_t file_row, std::size_t x) { return &file[54 + file_row * 300 + x * 3]; };
  EXPECT_EQ(pixel(0, 0)[1], 99);   // green holds y: the bottom row comes first
  EXPECT_EQ(pixel(99, 0)[1], 0);
  EXPECT_EQ(pixel(0, 42)[0], 42);  // blue first, from the left
  EXPECT_EQ(pixel(0, 42)[2], 200);
  EXPECT_EQ(pixel(0, 43)[0], 43);  // three bytes a pixel: the unused byte is dropped
}

TEST(SnapshotTest, RowsOfAWidthNotFillingFourBytesEndInZeroFiller) {
  const Bytes file = EncodeSnapshot(Marked(10, 3), 0, 0, 32);
  ASSERT_EQ(file.size(), 54u + 32 * 3);
  EXPECT_EQ(ReadU32(file, 34), 96u);  // image size: stride 32
  for (std::size_t row = 0; row < 3; ++row) {
    const std::size_t start = 54 + row * 32;
    EXPECT_EQ(file[start + 27], 9) << row;        // last pixel's blue holds its x
    EXPECT_EQ(file[start + 28], 2 - row) << row;  // its green the picture row
    EXPECT_EQ(file[start + 30], 0) << row;
    EXPECT_EQ(file[start + 31], 0) << row;
  }
}

TEST(SnapshotTest, OutputSizeRules) {
  const struct {
    const char* what;
    std::int32_t captured_width, captured_height;
    std::int32_t width, height;
    std::optional<SnapshotSize> expected;
  } cases[] = {
      {"0 keeps the captured size", 100, 60, 0, 0, SnapshotSize{100, 60}},
      {"pixels", 100, 60, 30, 40, SnapshotSize{30, 40}},
      {"-50 is half", 100, 60, -50, -50, SnapshotSize{50, 30}},
      {"below 10 percent counts as 10", 100, 60, -5, -1, SnapshotSize{10, 6}},
      {"sides read by themselves", 100, 60, 0, 25, SnapshotSize{100, 25}},
      {"percent and pixels", 100, 60, -25, 7, SnapshotSize{25, 7}},
      {"above 100 percent", 100, 60, -150, 0, SnapshotSize{150, 60}},
      {"halves round away from zero", 15, 5, -10, -10, SnapshotSize{2, 1}},  // 1.5 and 0.5
      {"a side rounding to 0", 15, 4, -10, -10, std::nullopt},               // 0.4
      {"a side past 32 bits", 1000, 60, INT32_MIN, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SnapshotOutputSize(c.captured_width, c.captured_height, c.width, c.height), c.expected) << c.what;
  }
}

TEST(SnapshotTest, NothingToEncodeGivesEmptyBytes) {
  Raster short_pixels = Marked(4, 4);
  short_pixels.pixels.pop_back();
  const struct {
    const char* what;
    Raster raster;
    std::int32_t width, height;
  } cases[] = {
      {"empty raster", Raster{}, 100, 100},
      {"pixels short of the size", short_pixels, 0, 0},
      {"negative side", Raster{-4, 4, Bytes(64)}, 0, 0},
      {"size comes out 0", Marked(3, 3), -10, 0},
      {"beyond the budget", Marked(2, 2), 1 << 20, 1 << 20},
      {"percentage beyond the budget", Marked(2, 2), INT32_MIN, INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_TRUE(EncodeSnapshot(c.raster, c.width, c.height, 32).empty()) << c.what;
}

TEST(SnapshotTest, OtherSizeIsResampledInEitherMode) {
  for (int depth : {32, 16}) {
    const Bytes file = EncodeSnapshot(Filled(40, 20, 10, 20, 30), -50, -50, depth);
    ASSERT_EQ(file.size(), 54u + 60 * 10) << depth;
    EXPECT_EQ(ReadI32(file, 18), 20) << depth;
    EXPECT_EQ(ReadI32(file, 22), 10) << depth;
    for (std::size_t row = 0; row < 10; ++row) {
      EXPECT_EQ(file[54 + row * 60 + 57], 10) << depth << " " << row;
      EXPECT_EQ(file[54 + row * 60 + 58], 20) << depth << " " << row;
      EXPECT_EQ(file[54 + row * 60 + 59], 30) << depth << " " << row;
    }
  }
}

}  // namespace
}  // namespace pictorin
