#include "imaging/formats.h"

namespace pictorin {

Result<StillPicture> DecodeIcon(ByteView, PictureFormat) { return Failure::kUnknownFormat; }

}  // namespace pictorin
