#include "imaging/formats.h"

namespace pictorin {

Result<Raster> DecodePcx(ByteView) { return Failure::kUnknownFormat; }

}  // namespace pictorin
