#pragma once
// The two panels' steps on their controls. The window's handlers and
// pictorin-cli both go through these, so a saved file is the same either way.

#include <span>
#include <string_view>

#include "controls/cartoon_box.h"
#include "controls/pic_box.h"
#include "imaging/bytes.h"

namespace pictorin {

enum class Badge { kRedDiamond, kIPhone, kMember, kSvip };

struct BadgeInfo {
  Badge badge;
  std::string_view cli_name;  // as pictorin-cli compose --badge takes it
  std::string_view button;    // the button that lays it
  ByteView (*overlay)();
};

std::span<const BadgeInfo> Badges();
const BadgeInfo& InfoOf(Badge badge);

// The window-created step: a first object showing the default picture at
// (0, 0), then the background stretched onto the canvas.
void SeedCanvas(CartoonBox& canvas);

// The composer's change-picture step: the file's bytes become the background.
void ChangeCanvasPicture(CartoonBox& canvas, ByteView bytes);

// A badge press: a copy of the current picture at its natural size, then the
// badge over it, both at (0, 0).
void ApplyBadge(CartoonBox& canvas, Badge badge);

// The resizer's change-picture step.
void ChangeBoxPicture(PicBox& box, ByteView bytes);

// The saved file for a control's shown 100×100 pixels: a 24-bit BMP.
inline constexpr int kSavedPictureSize = 100;
Bytes SavedPicture(const Raster& shown, int display_depth);

}  // namespace pictorin
