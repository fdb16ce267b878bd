#pragma once
// Plain operations on four-byte rasters shared by the two picture controls.

#include <cstdint>

#include "imaging/picture.h"

namespace pictorin {

// Every pixel blue, green, red of the colour (0x00BBGGRR) and a fourth byte 0.
void Fill(Raster& raster, Colour colour);

// Copies all four bytes of source's pixels with its top-left corner at (x, y)
// of the destination, cut to the destination.
void Blit(const Raster& source, Raster& destination, std::int32_t x, std::int32_t y);

void ClearFourthBytes(Raster& raster);

}  // namespace pictorin
