// The picture box's settings record: PicBox::Make reads it and shows its
// picture. A still picture is painted once; an animated GIF is not, since
// its first paint would start the player's thread.

#include <cstddef>
#include <cstdint>

#include "controls/pic_box.h"
#include "fuzz/checks.h"
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  fuzz::FuzzHost host;
  auto box = PicBox::Make(ByteView(data, size), host);
  if (!box || (*box)->animated()) return 0;
  auto painted = (*box)->Paint();
  fuzz::Require(painted.ok(), "a 100×100 box paints");
  fuzz::CheckRaster(*painted);
  return 0;
}
