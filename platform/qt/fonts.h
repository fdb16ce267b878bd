#pragma once
// The window's fonts: "宋体" (SimSun) mapped onto an installed Song or other
// CJK face, since Linux desktops rarely have it.

#include <QFont>

namespace pictorin {

// Lets Qt find "宋体" and "SimSun" among the installed faces, for this
// process only; the system's font settings stay as they are.
void MapSongFaces();

// "宋体" at a character height of 12 pixels, normal weight.
QFont SimSunFont();

}  // namespace pictorin
