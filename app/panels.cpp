#include "app/panels.h"

#include "assets/builtin.h"
#include "io/snapshot.h"

namespace pictorin {
namespace {

constexpr int kPic = 10;
constexpr int kPicDrawMode = 11;
constexpr int kPictureFile = 10;

constexpr BadgeInfo kBadges[] = {
    {Badge::kRedDiamond, "red-diamond", "按钮4", RedDiamondBadge},
    {Badge::kIPhone, "iphone", "按钮3", IPhoneBadge},
    {Badge::kMember, "member", "按钮5", MemberBadge},
    {Badge::kSvip, "svip", "按钮6", SvipBadge},
};

// A copy of the canvas's background picture bytes.
Bytes CurrentPicture(const CartoonBox& canvas) { return std::get<Bytes>(*canvas.ReadProperty(kPic)); }

}  // namespace

std::span<const BadgeInfo> Badges() { return kBadges; }

const BadgeInfo& InfoOf(Badge badge) { return kBadges[static_cast<int>(badge)]; }

void SeedCanvas(CartoonBox& canvas) {
  const std::int32_t seed = canvas.CreateObject(0, 0);
  canvas.SetObjectPicture(seed, CurrentPicture(canvas));
  canvas.WriteProperty(kPicDrawMode, 1);
}

void ChangeCanvasPicture(CartoonBox& canvas, ByteView bytes) {
  canvas.WriteProperty(kPic, Bytes(bytes.begin(), bytes.end()));
}

void ApplyBadge(CartoonBox& canvas, Badge badge) {
  const std::int32_t copy = canvas.CreateObject(0, 0);
  canvas.SetObjectPicture(copy, CurrentPicture(canvas));
  const std::int32_t overlay = canvas.CreateObject(0, 0);
  canvas.SetObjectPicture(overlay, InfoOf(badge).overlay());
}

void ChangeBoxPicture(PicBox& box, ByteView bytes) {
  box.WriteProperty(kPictureFile, Bytes(bytes.begin(), bytes.end()));
}

Bytes SavedPicture(const Raster& shown, int display_depth) {
  return EncodeSnapshot(shown, kSavedPictureSize, kSavedPictureSize, display_depth);
}

}  // namespace pictorin
