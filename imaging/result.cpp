#include "imaging/result.h"

namespace pictorin {

std::string_view FailureText(Failure failure) {
  switch (failure) {
    case Failure::kEmpty: return "the file is empty";
    case Failure::kUnknownFormat: return "not a picture in a format this program reads";
    case Failure::kTruncated: return "the picture data end early";
    case Failure::kBadHeader: return "the picture's header is damaged";
    case Failure::kUnsupportedCompression: return "the picture's compression is not supported";
    case Failure::kUnsupportedBitDepth: return "the picture's pixel depth is not supported";
    case Failure::kTooLarge: return "the picture is too large";
    case Failure::kCorruptData: return "the picture's image data are damaged";
    case Failure::kNoImage: return "the file holds no image";
    case Failure::kOutOfMemory: return "out of memory";
  }
  return "unknown failure";
}

}  // namespace pictorin
