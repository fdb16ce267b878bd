#include "imaging/formats.h"

namespace pictorin {

Result<Raster> DecodeBmp(ByteView) { return Failure::kUnknownFormat; }

}  // namespace pictorin
