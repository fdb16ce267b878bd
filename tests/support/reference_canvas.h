#pragma once
// The canvas's painting done the plain way: the background layer, then every
// object from the bottom up by the blend rule. Tests compare the canvas
// against it; the benchmark measures against it.

#include <vector>

#include "controls/control_host.h"
#include "imaging/picture.h"

namespace pictorin::test {

struct PlacedPicture {
  Rect area;        // top-left corner and the picture's size
  Picture picture;  // its first frame is drawn
};

// Composes the box (inside the background layer) and returns it, fourth bytes 0.
Raster ReferenceCompose(const Raster& background, const std::vector<PlacedPicture>& objects, const Rect& box);

}  // namespace pictorin::test
