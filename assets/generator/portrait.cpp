#include "assets/generator/portrait.h"

#include <algorithm>

#include "imaging/resample.h"

namespace pictorin::artwork {
namespace {

// Head and shoulders in the 512×512 source: a square from the hair's top
// down to the shoulders, centred on the face.
constexpr std::int32_t kCropLeft = 80;
constexpr std::int32_t kCropTop = 4;
constexpr std::int32_t kCropSide = 296;

}  // namespace

Result<Raster> Portrait(ByteView source_png) {
  Result<Picture> picture = DecodePicture(source_png, kNoColour, false);
  if (!picture) return picture.failure();
  if (picture->width < kCropLeft + kCropSide || picture->height < kCropTop + kCropSide) {
    return Failure::kBadHeader;
  }
  Result<Raster> crop = MakeRaster(kCropSide, kCropSide);
  if (!crop) return crop;
  const std::vector<std::uint8_t>& pixels = picture->frames.front().pixels;
  for (std::int32_t y = 0; y < kCropSide; ++y) {
    const auto from = pixels.begin() + ((static_cast<std::ptrdiff_t>(kCropTop) + y) * picture->width + kCropLeft) * 4;
    std::copy(from, from + kCropSide * 4, crop->pixels.begin() + static_cast<std::ptrdiff_t>(y) * kCropSide * 4);
  }
  Result<Raster> portrait = Resample(*crop, 100, 100, ResampleMode::kHalftone);
  if (!portrait) return portrait;
  for (std::size_t p = 3; p < portrait->pixels.size(); p += 4) portrait->pixels[p] = 0;  // opaque
  return portrait;
}

}  // namespace pictorin::artwork
