#include "imaging/formats.h"

namespace pictorin {

Result<Raster> DecodeJpeg(ByteView) { return Failure::kUnknownFormat; }

}  // namespace pictorin
