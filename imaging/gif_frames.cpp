#include "imaging/formats.h"

namespace pictorin {

Result<Raster> DecodeGifFirstImage(ByteView) { return Failure::kUnknownFormat; }
Result<Picture> ComposeGifFrames(ByteView) { return Failure::kUnknownFormat; }

}  // namespace pictorin
