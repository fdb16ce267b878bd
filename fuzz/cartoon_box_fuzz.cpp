// The canvas's settings record: CartoonBox::Make reads it and lays out its
// background picture; a canvas that is made is painted once.

#include <cstddef>
#include <cstdint>

#include "controls/cartoon_box.h"
#include "fuzz/checks.h"
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  fuzz::FuzzHost host;
  auto box = CartoonBox::Make(ByteView(data, size), host);
  if (!box) return 0;
  const Raster painted = box->Paint({0, 0, 100, 100});
  fuzz::CheckRaster(painted);
  fuzz::Require(painted.width == 100 && painted.height == 100, "a paint covers the client area");
  return 0;
}
