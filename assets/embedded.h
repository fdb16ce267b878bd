#pragma once
// The committed picture files as arrays, made by the build (embed.cmake).

#include <cstdint>

#include "imaging/bytes.h"

namespace pictorin::embedded {

extern const ByteView kRedDiamondBadge;
extern const ByteView kIPhoneBadge;
extern const ByteView kMemberBadge;
extern const ByteView kSvipBadge;
extern const ByteView kDefaultCanvasPicture;
extern const ByteView kDefaultBoxPicture;
extern const ByteView kWindowIcon;

}  // namespace pictorin::embedded
