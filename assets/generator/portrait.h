#pragma once
// The default pictures' portrait: the source photograph cropped to head and
// shoulders and scaled to 100×100 with the program's own halftone resampler.

#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin::artwork {

// An opaque 100×100 raster from the bytes of the 512×512 source PNG.
Result<Raster> Portrait(ByteView source_png);

}  // namespace pictorin::artwork
