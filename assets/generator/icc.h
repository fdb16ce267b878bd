#pragma once
// A small ICC version 2 display profile for sRGB, built from the standard's
// primaries, white point and tone curve.

#include "imaging/bytes.h"

namespace pictorin::artwork {

Bytes SrgbProfile();

}  // namespace pictorin::artwork
