#pragma once
// What every decoded picture must satisfy, checked on each fuzz input: a
// broken invariant aborts, so the fuzzer reports it like a crash.

#include <cstdio>
#include <cstdlib>

#include "imaging/checked.h"
#include "imaging/picture.h"

namespace pictorin::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// Both sides at least 1 and the pixels exactly width × height × 4 bytes.
inline void CheckRaster(const Raster& raster) {
  const auto size = RasterBytes(raster.width, raster.height, 4);
  Require(size.has_value(), "raster size within the budget");
  Require(raster.pixels.size() == *size, "raster holds width × height pixels");
}

}  // namespace pictorin::fuzz
