#include "app/layout.h"

#include <algorithm>

#include "assets/builtin.h"
#include "controls/cartoon_box.h"
#include "controls/record_writer.h"

namespace pictorin {
namespace {

using enum ControlKind;
using enum ControlFont;

constexpr ControlLayout kLayout[] = {
    {"动画框1", kCanvas, {7, 9, 100, 100}, "", kDefaultGui, true, true},
    {"按钮1", kButton, {20, 113, 60, 23}, "更改图片", kSimSun, true, true},
    {"按钮2", kButton, {20, 136, 60, 23}, "保存图片", kSimSun, true, true},
    {"通用对话框1", kFileDialog, {}, "", kDefaultGui, false, false},
    {"通用对话框2", kFileDialog, {}, "", kDefaultGui, false, false},
    {"按钮3", kButton, {128, 32, 88, 24}, "iPhone头像", kDefaultGui, true, true},
    {"按钮4", kButton, {128, 8, 88, 24}, "情侣红钻头像", kDefaultGui, true, true},
    {"按钮5", kButton, {128, 56, 88, 24}, "QQ会员头像", kDefaultGui, true, true},
    {"按钮6", kButton, {128, 80, 88, 24}, "SVIP头像", kDefaultGui, true, true},
    {"图片框1", kPictureBox, {288, 8, 100, 100}, "", kDefaultGui, true, false},
    {"按钮8", kButton, {312, 112, 60, 23}, "更改图片", kSimSun, true, true},
    {"按钮7", kButton, {312, 135, 60, 23}, "保存图片", kSimSun, true, true},
    {"通用对话框4", kFileDialog, {}, "", kDefaultGui, false, false},
    {"通用对话框3", kFileDialog, {}, "", kDefaultGui, false, false},
    {"透明标签1", kLabel, {8, 168, 424, 16}, "请用100×100的图片打开！没有的请在工具的右边进行更改在保存打开！", kDefaultGui,
     true, false},
    {"按钮9", kButton, {122, 115, 96, 32}, "学习更多QQ技术", kDefaultGui, true, true},
};

constexpr std::string_view kOpenFilter = "图片文件(*.jpg)|*.jpg|*.gif";
constexpr std::string_view kSaveFilter = "图片文件(*.jpg)|*.jpg";

}  // namespace

std::span<const ControlLayout> WindowLayout() { return kLayout; }

const ControlLayout* FindControl(std::string_view name) {
  auto found = std::find_if(std::begin(kLayout), std::end(kLayout),
                            [&](const ControlLayout& control) { return control.name == name; });
  return found == std::end(kLayout) ? nullptr : found;
}

std::vector<std::string_view> TabSequence() {
  std::vector<std::string_view> sequence;
  for (const ControlLayout& control : kLayout) {
    if (control.tab_stop) sequence.push_back(control.name);
  }
  return sequence;
}

Bytes CanvasRecord() {
  CartoonBoxSettings settings;
  settings.pic.assign(DefaultCanvasPicture().begin(), DefaultCanvasPicture().end());
  settings.pic_draw_mode = 1;
  settings.pen_color = 0x000000FF;
  settings.text_color = 0x000000FF;
  return WriteCartoonBoxRecord(settings);
}

Bytes BoxRecord() {
  return RecordWriter()
      .Int(2)                                          // version
      .Int(0)                                          // BorderStyle: none
      .Int(static_cast<std::int32_t>(kNoColour))       // BackgroundColor: button face
      .Int(1)                                          // ShowMode: stretched
      .Int(1)                                          // PlayAnimation: on
      .Blob(DefaultBoxPicture())                       // PictureFile
      .Text("")                                        // PictureSource
      .Text("")                                        // PictureSourceItem
      .Take();
}

FileDialogSettings DialogSettings(std::string_view name) {
  FileDialogSettings settings;
  const bool open = name == "通用对话框1" || name == "通用对话框4";
  const bool save = name == "通用对话框2" || name == "通用对话框3";
  if (!open && !save) return settings;
  settings.kind = open ? FileDialogSettings::Kind::kOpen : FileDialogSettings::Kind::kSave;
  settings.filter = open ? kOpenFilter : kSaveFilter;
  settings.default_extension = ".jpg";
  settings.prompt_create = open;
  return settings;
}

}  // namespace pictorin
