#pragma once
// The drawn pictures: the four badge overlays, each 100×100 and transparent
// outside its badge box, and the program's logo at any size.

#include "assets/generator/canvas.h"

namespace pictorin::artwork {

Image RedDiamondBadge();  // x 57–97, y 65–95
Image IPhoneBadge();      // x 68–99, y 55–99
Image MemberBadge();      // x 60–97, y 49–98
Image SvipBadge();        // x 8–84, y 0–18

// A blue-to-teal rounded tile with a framed portrait, on a transparent ground.
Image Logo(int size);

}  // namespace pictorin::artwork
