#pragma once
// The panels' work without a window, for pictorin-cli: the controls made from
// the window layout's records, shown at their layout size on a display of
// 32 bits per pixel, and saved as the window would save them.

#include <span>

#include "app/panels.h"
#include "imaging/bytes.h"
#include "imaging/result.h"

namespace pictorin {

// The file the composer saves after the window starts, PHOTO is loaded with
// 按钮1 and the badges are pressed in order. Fails when the photo yields no
// picture for the canvas.
Result<Bytes> ComposeOffline(ByteView photo, std::span<const Badge> badges);

// The file the resizer saves after the picture is loaded with 按钮8; an
// animated GIF as its first image drawn by the player. Fails when the box
// cannot show the picture (PNG among such files).
Result<Bytes> ResizeOffline(ByteView picture);

}  // namespace pictorin
