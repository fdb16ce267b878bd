#include "imaging/formats.h"

namespace pictorin {

Result<Picture> DecodePng(ByteView) { return Failure::kUnknownFormat; }

}  // namespace pictorin
