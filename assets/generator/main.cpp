// Draws the built-in pictures and writes them under the assets folder:
//
//   pictorin-asset-generator PORTRAIT_PNG ASSETS_DIR
//
// PORTRAIT_PNG is the source photograph of the two default pictures.

#include <cstdio>
#include <string>

#include "assets/generator/artwork.h"
#include "assets/generator/icc.h"
#include "assets/generator/portrait.h"
#include "assets/generator/writers.h"
#include "io/whole_file.h"

namespace pictorin::artwork {
namespace {

bool Write(const std::string& name, const Bytes& bytes) {
  if (WriteWholeFile(name, {bytes})) return true;
  std::fprintf(stderr, "pictorin-asset-generator: cannot write %s\n", name.c_str());
  return false;
}

bool WriteBadges(const std::string& dir) {
  const std::vector<PngChunk> chunks = {PhysChunk(), IccpChunk(SrgbProfile()), ChrmChunk()};
  const std::vector<PngChunk> without_profile = {PhysChunk(), ChrmChunk()};
  return Write(dir + "/badges/red-diamond-badge.png", EncodePng(RedDiamondBadge(), chunks)) &&
         Write(dir + "/badges/iphone-badge.png", EncodePng(IPhoneBadge(), without_profile)) &&
         Write(dir + "/badges/member-badge.png", EncodePng(MemberBadge(), chunks)) &&
         Write(dir + "/badges/svip-badge.png", EncodePng(SvipBadge(), chunks));
}

bool WriteDefaults(const std::string& source, const std::string& dir) {
  const Result<Raster> portrait = Portrait(ReadWholeFile(source));
  if (!portrait) {
    std::fprintf(stderr, "pictorin-asset-generator: %s: %s\n", source.c_str(),
                 std::string(FailureText(portrait.failure())).c_str());
    return false;
  }
  return Write(dir + "/defaults/default-canvas-picture.jpg", EncodeJpegWithExif(*portrait, 92)) &&
         Write(dir + "/defaults/default-box-picture.bmp", EncodeBmp(*portrait));
}

bool WriteIcons(const std::string& dir) {
  for (int size : {48, 128, 256}) {
    if (!Write(dir + "/icons/pictorin-" + std::to_string(size) + ".png", EncodePng(Logo(size), {}))) return false;
  }
  return Write(dir + "/icons/window-icon.ico", EncodeIcon(Logo(92)));
}

}  // namespace
}  // namespace pictorin::artwork

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pictorin-asset-generator PORTRAIT_PNG ASSETS_DIR\n");
    return 2;
  }
  using namespace pictorin::artwork;
  return WriteBadges(argv[2]) && WriteDefaults(argv[1], argv[2]) && WriteIcons(argv[2]) ? 0 : 1;
}
