#pragma once
// The window's fonts: "宋体" (SimSun) mapped onto an installed CJK face,
// since Linux desktops rarely have it.

#include <QFont>

namespace pictorin {

// Lets Qt find "宋体" and "SimSun" among the installed faces, for this
// process only; the system's font settings stay as they are.
void MapSongFaces();

// The default GUI font: the desktop's default face, and "宋体" for the
// characters it lacks, as Chinese desktops show such text. One CJK face then
// serves the whole window.
QFont DefaultGuiFont();

// "宋体" at a character height of 12 pixels, normal weight.
QFont SimSunFont();

}  // namespace pictorin
