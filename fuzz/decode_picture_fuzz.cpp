// DecodePicture on arbitrary bytes: every format it reaches (GIF with all its
// frames, PNG, and everything RenderPictureBitmap takes).

#include <cstddef>
#include <cstdint>

#include "fuzz/checks.h"
#include "imaging/picture.h"

namespace pictorin::fuzz {
namespace {

void CheckPicture(const Picture& picture, Colour transparent, bool automatic) {
  Require(!picture.frames.empty(), "a picture has a frame");
  const auto size = RasterBytes(picture.width, picture.height, 4);
  Require(size.has_value(), "picture size within the budget");
  for (const Frame& frame : picture.frames) {
    Require(frame.pixels.size() == *size, "each frame holds width × height pixels");
    Require(frame.delay_ms >= 0, "frame delays are not negative");
    Require(automatic ? frame.transparent == MakeColour(frame.pixels[2], frame.pixels[1], frame.pixels[0])
                      : frame.transparent == transparent,
            "the transparent colour is the one asked for");
  }
}

}  // namespace
}  // namespace pictorin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  // The input's length picks the transparent-colour request, so a corpus
  // file stays the picture file it is.
  const bool automatic = size % 2 == 1;
  const Colour transparent = MakeColour(255, 255, 255);
  auto picture = DecodePicture(ByteView(data, size), transparent, automatic);
  if (picture) fuzz::CheckPicture(*picture, transparent, automatic);
  return 0;
}
