// The GIF reader in looping mode, as the picture box's player drives it: the
// first image, a rewind, then a bounded number of turns, each image drawn
// onto the off-screen canvas.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "controls/gif_player.h"
#include "fuzz/checks.h"
#include "imaging/gif.h"

namespace pictorin::fuzz {
namespace {

constexpr int kTurns = 8;
// The canvas is made only for screens up to this many pixels, so that an
// input costs its images, not a screen-sized fill.
constexpr std::size_t kMostCanvasPixels = std::size_t{1} << 20;

void CheckImage(const GifImage& image) {
  Require(image.width >= 0 && image.width <= 0xFFFF && image.height >= 0 && image.height <= 0xFFFF,
          "image sides are 16-bit values");
  const auto pixels = CheckedProduct({image.width, image.height});
  Require(pixels && image.indices.size() <= *pixels, "no more indices than pixels");
  Require(image.disposal >= 0 && image.disposal <= 7, "disposal method 0..7");
  std::size_t rows = 0;
  for (std::int32_t y = 0; y < image.height; ++y) rows += image.Row(y).size();
  Require(rows == image.indices.size(), "the rows hold every index once");
}

std::optional<Raster> MakeCanvas(const GifReader& reader) {
  const auto pixels = CheckedProduct({reader.screen_width(), reader.screen_height()});
  if (!pixels || *pixels > kMostCanvasPixels) return std::nullopt;
  auto canvas = MakeRaster(reader.screen_width(), reader.screen_height());
  if (!canvas) return std::nullopt;
  return std::move(*canvas);
}

void Play(GifReader& reader) {
  std::optional<Raster> canvas = MakeCanvas(reader);
  const std::size_t screen_bytes = RasterBytes(reader.screen_width(), reader.screen_height(), 4).value_or(0);
  for (int turn = 0; turn < kTurns; ++turn) {
    auto image = reader.NextImage(kDecodeBudget - screen_bytes);
    if (turn == 0 && !reader.AtLastByte()) reader.Rewind();
    if (!image) continue;
    CheckImage(*image);
    if (canvas) DrawGifImage(*image, image->left, image->top, true, *canvas);
  }
}

}  // namespace
}  // namespace pictorin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  auto reader = GifReader::Open(ByteView(data, size), true);
  if (reader) fuzz::Play(*reader);
  return 0;
}
