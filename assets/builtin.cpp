#include "assets/builtin.h"

#include <array>

#include "assets/embedded.h"

namespace pictorin {

ByteView RedDiamondBadge() { return embedded::kRedDiamondBadge; }
ByteView IPhoneBadge() { return embedded::kIPhoneBadge; }
ByteView MemberBadge() { return embedded::kMemberBadge; }
ByteView SvipBadge() { return embedded::kSvipBadge; }
ByteView DefaultCanvasPicture() { return embedded::kDefaultCanvasPicture; }
ByteView DefaultBoxPicture() { return embedded::kDefaultBoxPicture; }
ByteView WindowIcon() { return embedded::kWindowIcon; }

std::span<const BuiltinPicture> BuiltinPictures() {
  static const std::array<BuiltinPicture, 7> pictures = {{
      {"red-diamond-badge.png", RedDiamondBadge()},
      {"iphone-badge.png", IPhoneBadge()},
      {"member-badge.png", MemberBadge()},
      {"svip-badge.png", SvipBadge()},
      {"default-canvas-picture.jpg", DefaultCanvasPicture()},
      {"default-box-picture.bmp", DefaultBoxPicture()},
      {"window-icon.ico", WindowIcon()},
  }};
  return pictures;
}

}  // namespace pictorin
