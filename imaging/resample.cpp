#include "imaging/resample.h"

namespace pictorin {

ResampleMode ResampleModeForDepth(int bits_per_pixel) {
  return bits_per_pixel > 16 ? ResampleMode::kHalftone : ResampleMode::kColourOnColour;
}

Result<Raster> Resample(const Raster&, std::int32_t, std::int32_t, ResampleMode) { return Failure::kUnknownFormat; }

}  // namespace pictorin
