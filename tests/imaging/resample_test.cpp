#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace pictorin {
namespace {

Raster RandomRaster(std::int32_t width, std::int32_t height, unsigned seed) {
  Raster raster{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  std::mt19937 random(seed);
  for (auto& byte : raster.pixels) byte = static_cast<std::uint8_t>(random());
  return raster;
}

Raster FilledRaster(std::int32_t width, std::int32_t height, std::uint8_t value) {
  return Raster{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, value)};
}

std::uint8_t At(const Raster& raster, int x, int y, int c) {
  return raster.pixels[(static_cast<std::size_t>(y) * raster.width + x) * 4 + c];
}

Raster Scaled(const Raster& source, std::int32_t width, std::int32_t height, ResampleMode mode) {
  Result<Raster> result = Resample(source, width, height, mode);
  EXPECT_TRUE(result.ok()) << FailureText(result.failure());
  return result.ok() ? std::move(*result) : Raster{};
}

// How much of source pixel j the output pixel i covers, as a share of the
// output pixel, along one axis of source → target pixels.
double Share(int i, int j, int source, int target) {
  const double scale = static_cast<double>(source) / target;
  const double low = std::max(i * scale, static_cast<double>(j));
  const double high = std::min((i + 1) * scale, j + 1.0);
  return std::max(0.0, high - low) / scale;
}

// The area-weighted mean of the source under output pixel (x, y), in doubles.
double ReferenceMean(const Raster& source, int width, int height, int x, int y, int c) {
  double sum = 0;
  for (int j = 0; j < source.height; ++j) {
    const double row_share = Share(y, j, source.height, height);
    if (row_share == 0) continue;
    for (int i = 0; i < source.width; ++i) {
      sum += row_share * Share(x, i, source.width, width) * At(source, i, j, c);
    }
  }
  return sum;
}

TEST(ResampleTest, EqualSizesCopyThePixels) {
  const Raster source = RandomRaster(13, 7, 1);
  for (ResampleMode mode : {ResampleMode::kHalftone, ResampleMode::kColourOnColour}) {
    const Raster copy = Scaled(source, 13, 7, mode);
    EXPECT_EQ(copy.width, 13);
    EXPECT_EQ(copy.height, 7);
    EXPECT_EQ(copy.pixels, source.pixels);
  }
}

// Four pixels of one grey value each (all four bytes alike) into one.
struct MeanCase {
  std::uint8_t values[4];
  std::uint8_t mean;
};

TEST(ResampleTest, HalftoneRoundsATwoByTwoMeanToNearest) {
  const MeanCase cases[] = {
      {{0, 0, 0, 1}, 0},       // 0.25
      {{0, 0, 1, 1}, 1},       // 0.5 rounds up
      {{0, 1, 1, 1}, 1},       // 0.75
      {{1, 1, 1, 2}, 1},       // 1.25
      {{10, 20, 30, 41}, 25},  // 25.25
      {{0, 0, 0, 255}, 64},    // 63.75
      {{255, 255, 255, 254}, 255},
  };
  for (const MeanCase& test : cases) {
    Raster source = FilledRaster(2, 2, 0);
    for (int p = 0; p < 4; ++p) std::fill_n(source.pixels.begin() + p * 4, 4, test.values[p]);
    const Raster mean = Scaled(source, 1, 1, ResampleMode::kHalftone);
    EXPECT_EQ(mean.pixels, std::vector<std::uint8_t>(4, test.mean)) << int{test.values[3]};
  }
}

struct SizeCase {
  int source_width, source_height, width, height;
};

// Blocks of a power-of-two or an odd number of pixels: their means are exact
// in the fixed-point weights or never an exact half.
TEST(ResampleTest, HalftoneGivesRoundedBlockMeansForIntegerRatios) {
  const SizeCase cases[] = {{12, 12, 6, 6}, {12, 12, 4, 4}, {12, 12, 3, 3}, {12, 12, 6, 3},
                            {12, 12, 12, 3}, {12, 12, 4, 12}, {16, 16, 1, 1}, {9, 9, 1, 1},
                            {15, 5, 1, 1}};
  for (const SizeCase& test : cases) {
    const Raster source = RandomRaster(test.source_width, test.source_height, 2);
    const Raster out = Scaled(source, test.width, test.height, ResampleMode::kHalftone);
    const int bw = test.source_width / test.width, bh = test.source_height / test.height, n = bw * bh;
    for (int y = 0; y < test.height; ++y) {
      for (int x = 0; x < test.width; ++x) {
        for (int c = 0; c < 4; ++c) {
          int sum = 0;
          for (int j = 0; j < bh; ++j) {
            for (int i = 0; i < bw; ++i) sum += At(source, x * bw + i, y * bh + j, c);
          }
          ASSERT_EQ(At(out, x, y, c), (2 * sum + n) / (2 * n))
              << test.source_width << "x" << test.source_height << " to " << test.width << "x"
              << test.height << " at " << x << "," << y << " channel " << c;
        }
      }
    }
  }
}

TEST(ResampleTest, HalftoneEnlargesOnePixelToItsColour) {
  Raster source = FilledRaster(1, 1, 0);
  source.pixels = {12, 34, 56, 78};
  const Raster out = Scaled(source, 7, 5, ResampleMode::kHalftone);
  for (int p = 0; p < 35; ++p) {
    EXPECT_EQ(std::vector<std::uint8_t>(out.pixels.begin() + p * 4, out.pixels.begin() + p * 4 + 4),
              source.pixels);
  }
}

// Two pixels side by side, 10 and 21 in every byte, widened.
TEST(ResampleTest, HalftoneWidensTwoPixelsByCoverage) {
  struct WidenCase {
    int width;
    std::vector<std::uint8_t> row;
  };
  const WidenCase cases[] = {
      {4, {10, 10, 21, 21}},
      {6, {10, 10, 10, 21, 21, 21}},
      {3, {10, 16, 21}},          // the middle pixel covers both halves: 15.5 rounds up
      {5, {10, 10, 16, 21, 21}},  // likewise
  };
  Raster source = FilledRaster(2, 1, 10);
  std::fill_n(source.pixels.begin() + 4, 4, 21);
  for (const WidenCase& test : cases) {
    const Raster out = Scaled(source, test.width, 1, ResampleMode::kHalftone);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < test.width; ++x) row.push_back(At(out, x, 0, 2));
    EXPECT_EQ(row, test.row) << test.width;
  }
}

TEST(ResampleTest, HalftoneDoesNotOverflowOnWhiteAtLargeRatios) {
  const SizeCase cases[] = {{6000, 1, 1, 1}, {1, 6000, 1, 1}, {6000, 3, 7, 1},
                            {1000, 1000, 1, 1}, {997, 991, 3, 2}, {3, 2, 997, 991}};
  for (const SizeCase& test : cases) {
    const Raster out = Scaled(FilledRaster(test.source_width, test.source_height, 255), test.width,
                              test.height, ResampleMode::kHalftone);
    EXPECT_TRUE(std::all_of(out.pixels.begin(), out.pixels.end(), [](std::uint8_t b) { return b == 255; }))
        << test.source_width << "x" << test.source_height << " to " << test.width << "x" << test.height;
  }
}

TEST(ResampleTest, HalftoneMatchesAreaAveragingAtUnevenRatios) {
  // The last two enlarge each source row over several output rows.
  const SizeCase cases[] = {{37, 23, 10, 7}, {23, 17, 40, 31}, {101, 67, 100, 66},
                            {19, 40, 45, 9}, {7, 5, 3, 3},     {53, 3, 20, 29}, {300, 1, 100, 100}};
  for (const SizeCase& test : cases) {
    const Raster source = RandomRaster(test.source_width, test.source_height, 3);
    const Raster out = Scaled(source, test.width, test.height, ResampleMode::kHalftone);
    double worst = 0;
    for (int y = 0; y < test.height; ++y) {
      for (int x = 0; x < test.width; ++x) {
        for (int c = 0; c < 4; ++c) {
          const double exact = ReferenceMean(source, test.width, test.height, x, y, c);
          worst = std::max(worst, std::abs(At(out, x, y, c) - exact));
        }
      }
    }
    EXPECT_LE(worst, 1.0) << test.source_width << "x" << test.source_height << " to " << test.width << "x"
                          << test.height;
  }
}

// Colour-on-colour along each axis: which source column (or row) each output
// one repeats, the one under its centre.
TEST(ResampleTest, ColourOnColourPicksTheSourceUnderEachCentre) {
  struct PickCase {
    int source, target;
    std::vector<int> picked;
  };
  const PickCase cases[] = {
      {5, 2, {1, 3}},       {4, 2, {1, 3}},    {3, 1, {1}},
      {2, 5, {0, 0, 1, 1, 1}}, {2, 4, {0, 0, 1, 1}}, {7, 3, {1, 3, 5}},
  };
  for (const PickCase& test : cases) {
    Raster source = FilledRaster(test.source, test.source, 0);
    for (int y = 0; y < test.source; ++y) {
      for (int x = 0; x < test.source; ++x) {
        std::uint8_t* pixel = source.pixels.data() + (y * test.source + x) * 4;
        pixel[0] = static_cast<std::uint8_t>(x);
        pixel[1] = static_cast<std::uint8_t>(y);
        pixel[2] = 200;
        pixel[3] = 100;
      }
    }
    const Raster out = Scaled(source, test.target, test.target, ResampleMode::kColourOnColour);
    for (int y = 0; y < test.target; ++y) {
      for (int x = 0; x < test.target; ++x) {
        EXPECT_EQ(At(out, x, y, 0), test.picked[x]) << test.source << " to " << test.target << " column " << x;
        EXPECT_EQ(At(out, x, y, 1), test.picked[y]) << test.source << " to " << test.target << " row " << y;
        EXPECT_EQ(At(out, x, y, 2), 200);
        EXPECT_EQ(At(out, x, y, 3), 100);
      }
    }
  }
}

TEST(ResampleTest, RefusesUnusableSizes) {
  struct FailCase {
    Raster source;
    std::int32_t width, height;
    Failure failure;
  };
  const FailCase cases[] = {
      {FilledRaster(4, 4, 0), 0, 4, Failure::kBadHeader},
      {FilledRaster(4, 4, 0), 4, -1, Failure::kBadHeader},
      {FilledRaster(4, 4, 0), 100000, 100000, Failure::kTooLarge},
      {Raster{4, 4, std::vector<std::uint8_t>(63)}, 2, 2, Failure::kBadHeader},
      {Raster{0, 0, {}}, 2, 2, Failure::kBadHeader},
  };
  for (const FailCase& test : cases) {
    for (ResampleMode mode : {ResampleMode::kHalftone, ResampleMode::kColourOnColour}) {
      Result<Raster> result = Resample(test.source, test.width, test.height, mode);
      ASSERT_FALSE(result.ok()) << test.width << "x" << test.height;
      EXPECT_EQ(result.failure(), test.failure) << test.width << "x" << test.height;
    }
  }
}

TEST(ResampleTest, HalftoneAboveSixteenBitsPerPixel) {
  EXPECT_EQ(ResampleModeForDepth(32), ResampleMode::kHalftone);
  EXPECT_EQ(ResampleModeForDepth(24), ResampleMode::kHalftone);
  EXPECT_EQ(ResampleModeForDepth(16), ResampleMode::kColourOnColour);
  EXPECT_EQ(ResampleModeForDepth(8), ResampleMode::kColourOnColour);
  EXPECT_EQ(ResampleModeForDepth(0), ResampleMode::kColourOnColour);
}

}  // namespace
}  // namespace pictorin
