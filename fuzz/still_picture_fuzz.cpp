// LoadStillPicture and RenderPictureBitmap on arbitrary bytes: JPEG, BMP,
// ICO, CUR, PCX and the first image of a GIF, as the picture box and the
// canvas's background take them.

#include <cstddef>
#include <cstdint>

#include "fuzz/checks.h"
#include "imaging/picture.h"

namespace pictorin::fuzz {
namespace {

void CheckStill(const StillPicture& still) {
  Require(still.format != PictureFormat::kUnknown, "a still picture has a format");
  CheckRaster(still.colour);
  const bool icon = still.format == PictureFormat::kIcon || still.format == PictureFormat::kCursor;
  Require(icon || still.mask.kind == MaskKind::kNone, "only icons and cursors have a mask");
  if (still.mask.kind != MaskKind::kNone) {
    Require(still.mask.values.size() == still.colour.pixels.size() / 4, "one mask value per pixel");
  }
  for (std::size_t i = 3; i < still.colour.pixels.size(); i += 4) {
    Require(still.colour.pixels[i] == 0, "the colour raster is opaque");
  }
}

}  // namespace
}  // namespace pictorin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  const ByteView bytes(data, size);
  auto still = LoadStillPicture(bytes);
  if (!still) return 0;
  fuzz::CheckStill(*still);
  // Decoded a second time only for the inputs that decode at all.
  auto raster = RenderPictureBitmap(bytes);
  fuzz::Require(raster.ok(), "what loads as a still picture renders");
  fuzz::CheckRaster(*raster);
  fuzz::Require(raster->width == still->width() && raster->height == still->height(),
                "the rendered bitmap has the still picture's size");
  auto drawn = DrawStillPicture(*still, MakeColour(12, 34, 56));
  fuzz::Require(drawn.ok(), "a still picture draws over a background");
  fuzz::CheckRaster(*drawn);
  return 0;
}
