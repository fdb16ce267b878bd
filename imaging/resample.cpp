#include "imaging/resample.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/checked.h"

// Halftone scales in two passes per output row: the source rows it covers are
// summed with their vertical weights into one row of 32-bit sums, which is cut
// to 8.8 fixed point; the horizontal weights then sum that row into pixels.
// Weights are 16-bit fixed point summing to exactly 1 per output pixel, so
// the vertical sums stay below 255 × 2^16 and the horizontal ones below 2^32.
// Power-of-two ratios give exact rounded means; at other ratios the weights'
// rounding moves a mean by a small fraction of a level, so an exact half may
// round either way.
//
// Colour-on-colour takes for output pixel i the source pixel under its centre,
// floor((2i + 1) × source ÷ (2 × target)), on each axis.

namespace pictorin {
namespace {

constexpr int kWeightBits = 16;
constexpr std::int64_t kWeightOne = std::int64_t{1} << kWeightBits;
constexpr int kFractionBits = 8;  // kept between the two passes

// Per output pixel of one axis: the first source pixel it covers and the
// weights of the source pixels it covers, weights[begin[i]] to weights[begin[i + 1]).
struct AxisWeights {
  std::vector<std::int32_t> first;
  std::vector<std::size_t> begin;
  std::vector<std::uint32_t> weights;
};

// Source pixel j spans [j × target, (j + 1) × target) and output pixel i spans
// [i × source, (i + 1) × source), both in units of 1 ÷ (source × target) of the
// axis, so overlaps are exact integers summing to source. Sides are within the
// decode budget, so these products fit in 64 bits.
AxisWeights AreaWeights(std::int64_t source, std::int64_t target) {
  AxisWeights axis;
  axis.first.reserve(static_cast<std::size_t>(target));
  axis.begin.reserve(static_cast<std::size_t>(target) + 1);
  axis.weights.reserve(static_cast<std::size_t>(source + target));
  axis.begin.push_back(0);
  for (std::int64_t i = 0; i < target; ++i) {
    const std::int64_t low = i * source;
    const std::int64_t high = low + source;
    axis.first.push_back(static_cast<std::int32_t>(low / target));
    std::int64_t covered = 0;
    std::int64_t fixed_before = 0;
    for (std::int64_t j = low / target; j * target < high; ++j) {
      covered += std::min(high, (j + 1) * target) - std::max(low, j * target);
      // Rounding the running total, not each weight, keeps the sum exact.
      const std::int64_t fixed = (covered * kWeightOne + source / 2) / source;
      axis.weights.push_back(static_cast<std::uint32_t>(fixed - fixed_before));
      fixed_before = fixed;
    }
    axis.begin.push_back(axis.weights.size());
  }
  return axis;
}

// Sums the source rows that output row i covers into 8.8 fixed-point means.
void SumRows(const Raster& source, const AxisWeights& rows, std::size_t i,
             std::vector<std::uint32_t>& sums, std::vector<std::uint16_t>& means) {
  const std::size_t stride = sums.size();
  const std::uint8_t* row = source.pixels.data() + static_cast<std::size_t>(rows.first[i]) * stride;
  std::uint32_t* __restrict out = sums.data();
  const std::uint32_t first_weight = rows.weights[rows.begin[i]];
  for (std::size_t k = 0; k < stride; ++k) out[k] = first_weight * row[k];
  for (std::size_t t = rows.begin[i] + 1; t < rows.begin[i + 1]; ++t) {
    row += stride;
    const std::uint32_t weight = rows.weights[t];
    for (std::size_t k = 0; k < stride; ++k) out[k] += weight * row[k];
  }
  constexpr std::uint32_t kHalf = 1u << (kWeightBits - kFractionBits - 1);
  std::uint16_t* __restrict mean = means.data();
  for (std::size_t k = 0; k < stride; ++k) {
    mean[k] = static_cast<std::uint16_t>((out[k] + kHalf) >> (kWeightBits - kFractionBits));
  }
}

// Sums one row of 8.8 means across into the output row's pixels.
void SumColumns(const std::vector<std::uint16_t>& means, const AxisWeights& columns,
                std::uint8_t* out, std::size_t width) {
  constexpr int kShift = kWeightBits + kFractionBits;
  constexpr std::uint32_t kHalf = 1u << (kShift - 1);
  for (std::size_t x = 0; x < width; ++x) {
    const std::uint16_t* in = means.data() + static_cast<std::size_t>(columns.first[x]) * 4;
    std::uint32_t sum[4] = {kHalf, kHalf, kHalf, kHalf};
    for (std::size_t t = columns.begin[x]; t < columns.begin[x + 1]; ++t, in += 4) {
      const std::uint32_t weight = columns.weights[t];
      for (int c = 0; c < 4; ++c) sum[c] += weight * in[c];
    }
    for (int c = 0; c < 4; ++c) out[x * 4 + c] = static_cast<std::uint8_t>(sum[c] >> kShift);
  }
}

// True when output row y takes the same source rows with the same weights
// as the row above it, and so comes out the same.
bool SameAsRowAbove(const AxisWeights& rows, std::size_t y) {
  if (y == 0 || rows.first[y] != rows.first[y - 1]) return false;
  const auto weights = rows.weights.begin();
  return std::equal(weights + static_cast<std::ptrdiff_t>(rows.begin[y]),
                    weights + static_cast<std::ptrdiff_t>(rows.begin[y + 1]),
                    weights + static_cast<std::ptrdiff_t>(rows.begin[y - 1]),
                    weights + static_cast<std::ptrdiff_t>(rows.begin[y]));
}

// When enlarging, the output rows that lie inside one source row repeat the
// row above; they are copied, so that the cost follows the source's rows
// rather than the output's height times the source's width.
void Halftone(const Raster& source, Raster& target) {
  const AxisWeights columns = AreaWeights(source.width, target.width);
  const AxisWeights rows = AreaWeights(source.height, target.height);
  const std::size_t source_stride = *RasterBytes(source.width, 1, 4);
  const std::size_t target_stride = *RasterBytes(target.width, 1, 4);
  std::vector<std::uint32_t> sums(source_stride);
  std::vector<std::uint16_t> means(source_stride);
  for (std::size_t y = 0; y < static_cast<std::size_t>(target.height); ++y) {
    std::uint8_t* out = target.pixels.data() + y * target_stride;
    if (SameAsRowAbove(rows, y)) {
      std::memcpy(out, out - target_stride, target_stride);
      continue;
    }
    SumRows(source, rows, y, sums, means);
    SumColumns(means, columns, out, static_cast<std::size_t>(target.width));
  }
}

// The source pixel under the centre of each output pixel of one axis.
std::vector<std::int32_t> CentreSources(std::int64_t source, std::int64_t target) {
  std::vector<std::int32_t> picked(static_cast<std::size_t>(target));
  for (std::int64_t i = 0; i < target; ++i) {
    picked[static_cast<std::size_t>(i)] = static_cast<std::int32_t>((2 * i + 1) * source / (2 * target));
  }
  return picked;
}

void ColourOnColour(const Raster& source, Raster& target) {
  const std::vector<std::int32_t> columns = CentreSources(source.width, target.width);
  const std::vector<std::int32_t> rows = CentreSources(source.height, target.height);
  const std::size_t source_stride = *RasterBytes(source.width, 1, 4);
  const std::size_t target_stride = *RasterBytes(target.width, 1, 4);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const std::uint8_t* in = source.pixels.data() + static_cast<std::size_t>(rows[y]) * source_stride;
    std::uint8_t* out = target.pixels.data() + y * target_stride;
    for (std::size_t x = 0; x < columns.size(); ++x) {
      std::memcpy(out + x * 4, in + static_cast<std::size_t>(columns[x]) * 4, 4);
    }
  }
}

bool IsWellFormed(const Raster& raster) {
  const auto size = RasterBytes(raster.width, raster.height, 4);
  return size && *size == raster.pixels.size();
}

}  // namespace

ResampleMode ResampleModeForDepth(int bits_per_pixel) {
  return bits_per_pixel > 16 ? ResampleMode::kHalftone : ResampleMode::kColourOnColour;
}

Result<Raster> Resample(const Raster& source, std::int32_t width, std::int32_t height, ResampleMode mode) {
  if (!IsWellFormed(source)) return Failure::kBadHeader;
  try {
    if (width == source.width && height == source.height) return source;
    Result<Raster> target = MakeRaster(width, height);
    if (!target) return target;
    if (mode == ResampleMode::kHalftone) {
      Halftone(source, *target);
    } else {
      ColourOnColour(source, *target);
    }
    return target;
  } catch (const std::bad_alloc&) {
    return Failure::kOutOfMemory;
  }
}

}  // namespace pictorin
