#pragma once
// The main window's fixed layout: its own settings, the sixteen controls in
// creation order, the Tab sequence, and the settings of the controls that
// carry records or dialog settings.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "controls/control_host.h"
#include "imaging/bytes.h"
#include "imaging/picture.h"
#include "io/file_dialog.h"

namespace pictorin {

// The window: a fixed frame whose outer size is 404×215, that is a client
// area of 398×186 under a title bar and frame of the usual size.
inline constexpr Size kWindowOuterSize{404, 215};
inline constexpr Size kWindowClientSize{398, 186};
inline constexpr std::string_view kWindowCaption = "Pictorin   Pictorin 开发组制作 联系电话：555-0142      ";

// The button-face colour the window and its controls show. It is fixed, so
// that what the window saves is the same on every desktop and in pictorin-cli.
inline constexpr Colour kButtonFaceColour = MakeColour(240, 240, 240);

// The maker's web page that 按钮9 opens.
inline constexpr std::string_view kMakerWebAddress = "https://www.example.com/pictorin/";

enum class ControlKind { kCanvas, kPictureBox, kButton, kFileDialog, kLabel };
enum class ControlFont { kDefaultGui, kSimSun };

struct ControlLayout {
  std::string_view name;
  ControlKind kind;
  Rect rect;  // in the window's client area; empty for the dialogs
  std::string_view text;
  ControlFont font;
  bool shown;
  bool tab_stop;
};

// The label's colour: red.
inline constexpr Colour kLabelTextColour = MakeColour(255, 0, 0);

std::span<const ControlLayout> WindowLayout();

const ControlLayout* FindControl(std::string_view name);

// The creation order restricted to the tab stops.
std::vector<std::string_view> TabSequence();

// The settings records of 动画框1 and 图片框1, with their default pictures.
Bytes CanvasRecord();
Bytes BoxRecord();

// The settings of 通用对话框1 to 通用对话框4; the defaults for any other name.
FileDialogSettings DialogSettings(std::string_view name);

}  // namespace pictorin
