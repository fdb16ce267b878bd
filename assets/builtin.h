#pragma once
// The pictures built into the program. Each is a whole file exactly as it
// would lie on disk, so it travels through the same decoders as a file the
// user picks. The bytes live for the whole run and never change.

#include <span>
#include <string_view>

#include "imaging/bytes.h"

namespace pictorin {

// The four badge overlays: 100×100 RGBA PNG, transparent outside the badge.
ByteView RedDiamondBadge();
ByteView IPhoneBadge();
ByteView MemberBadge();
ByteView SvipBadge();

// The canvas's first background, a 100×100 JPEG portrait.
ByteView DefaultCanvasPicture();
// The picture box's first picture, a 100×100 24-bit BMP portrait.
ByteView DefaultBoxPicture();

// The window's icon file: one 92×92 image of 32 bits per pixel.
ByteView WindowIcon();

struct BuiltinPicture {
  std::string_view file_name;
  ByteView bytes;
};

// Every built-in picture with the file name it is exported under.
std::span<const BuiltinPicture> BuiltinPictures();

}  // namespace pictorin
