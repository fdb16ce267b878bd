#include "tests/support/reference_canvas.h"

#include <cstring>

#include "imaging/checked.h"

namespace pictorin::test {
namespace {

void BlendOnto(std::uint8_t* d, const std::uint8_t* s, Colour transparent) {
  if (transparent != kNoColour && MakeColour(s[2], s[1], s[0]) == transparent) return;
  const int l = s[3];
  if (l <= 0) {
    std::memcpy(d, s, 4);
  } else if (l < 255) {
    for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(d[c] + MulDiv(s[c] - d[c], 255 - l, 255));
  }
}

}  // namespace

Raster ReferenceCompose(const Raster& background, const std::vector<PlacedPicture>& objects, const Rect& box) {
  Raster out{box.width, box.height, std::vector<std::uint8_t>(static_cast<std::size_t>(box.width) * box.height * 4)};
  for (int y = 0; y < box.height; ++y) {
    for (int x = 0; x < box.width; ++x) {
      std::uint8_t* d = &out.pixels[(static_cast<std::size_t>(y) * box.width + x) * 4];
      std::memcpy(d, &background.pixels[(static_cast<std::size_t>(y + box.y) * background.width + x + box.x) * 4], 4);
      for (const PlacedPicture& object : objects) {
        const int sx = x + box.x - object.area.x, sy = y + box.y - object.area.y;
        if (sx < 0 || sy < 0 || sx >= object.area.width || sy >= object.area.height) continue;
        const Frame& frame = object.picture.frames[0];
        BlendOnto(d, &frame.pixels[(static_cast<std::size_t>(sy) * object.area.width + sx) * 4], frame.transparent);
      }
      d[3] = 0;
    }
  }
  return out;
}

}  // namespace pictorin::test
