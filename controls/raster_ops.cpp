#include "controls/raster_ops.h"

#include <algorithm>
#include <cstring>

#include "controls/control_host.h"

namespace pictorin {

void Fill(Raster& raster, Colour colour) {
  const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                 static_cast<std::uint8_t>(colour), 0};
  for (std::size_t i = 0; i < raster.pixels.size(); i += 4) std::memcpy(&raster.pixels[i], pixel, 4);
}

void Blit(const Raster& source, Raster& destination, std::int32_t x, std::int32_t y) {
  const Rect part = Intersect({x, y, source.width, source.height}, {0, 0, destination.width, destination.height});
  for (std::int32_t row = part.y; row < part.y + part.height; ++row) {
    const std::uint8_t* from = source.pixels.data() + (static_cast<std::size_t>(row - y) * source.width +
                                                       static_cast<std::size_t>(part.x - x)) * 4;
    std::uint8_t* to = destination.pixels.data() +
                       (static_cast<std::size_t>(row) * destination.width + static_cast<std::size_t>(part.x)) * 4;
    std::memcpy(to, from, static_cast<std::size_t>(part.width) * 4);
  }
}

void ClearFourthBytes(Raster& raster) {
  for (std::size_t i = 3; i < raster.pixels.size(); i += 4) raster.pixels[i] = 0;
}

}  // namespace pictorin
