#include "app/avatar_window.h"

#include <algorithm>

#include "app/layout.h"
#include "app/panels.h"
#include "io/whole_file.h"

namespace pictorin {
namespace {

constexpr std::string_view kHintCaption = "信息：";
constexpr std::string_view kHintText = "请用100×100的图片打开！\r\n没有的请在工具的右边进行更改！";
constexpr std::string_view kSaveFailedCaption = "保存失败";

struct Binding {
  std::string_view source;
  Event event;
  void (AvatarWindow::*handler)();
};

constexpr Binding kBindings[] = {
    {"窗口", Event::kCreated, &AvatarWindow::OnWindowCreated},
    {"按钮1", Event::kClicked, &AvatarWindow::OnComposerChangePicture},
    {"按钮2", Event::kClicked, &AvatarWindow::OnComposerSave},
    {"按钮3", Event::kClicked, &AvatarWindow::OnIPhoneBadge},
    {"按钮4", Event::kClicked, &AvatarWindow::OnRedDiamondBadge},
    {"按钮5", Event::kClicked, &AvatarWindow::OnMemberBadge},
    {"按钮6", Event::kClicked, &AvatarWindow::OnSvipBadge},
    {"按钮7", Event::kClicked, &AvatarWindow::OnResizerSave},
    {"按钮8", Event::kClicked, &AvatarWindow::OnResizerChangePicture},
    {"按钮9", Event::kClicked, &AvatarWindow::OnLearnMore},
};

}  // namespace

std::unique_ptr<AvatarWindow> AvatarWindow::Make(Platform& platform) {
  std::unique_ptr<AvatarWindow> window(new AvatarWindow(platform));
  window->canvas_ = CartoonBox::Make(CanvasRecord(), platform.HostOf("动画框1"));
  auto box = PicBox::Make(BoxRecord(), platform.HostOf("图片框1"));
  if (!window->canvas_ || !box) return nullptr;
  window->box_ = std::move(*box);
  std::size_t i = 0;
  for (const ControlLayout& control : WindowLayout()) {
    if (control.kind == ControlKind::kFileDialog) window->dialogs_[i++] = {control.name, DialogSettings(control.name)};
  }
  return window;
}

void AvatarWindow::Raise(std::string_view source, Event event) {
  for (const Binding& binding : kBindings) {
    if (binding.source == source && binding.event == event) return (this->*binding.handler)();
  }
}

AvatarWindow::Dialog* AvatarWindow::FindDialog(std::string_view name) {
  auto found = std::find_if(std::begin(dialogs_), std::end(dialogs_), [&](const Dialog& d) { return d.name == name; });
  return found == std::end(dialogs_) ? nullptr : found;
}

const AvatarWindow::Dialog* AvatarWindow::FindDialog(std::string_view name) const {
  return const_cast<AvatarWindow*>(this)->FindDialog(name);
}

bool AvatarWindow::WriteProperty(std::string_view control, int number, const PropertyValue& value) {
  if (number < 8) return false;
  if (control == "动画框1") return canvas_->WriteProperty(number, value);
  if (control == "图片框1") return box_->WriteProperty(number, value);
  Dialog* dialog = FindDialog(control);
  const auto* text = std::get_if<std::string>(&value);
  if (!dialog || number != 10 || !text) return false;
  dialog->settings.file_name = *text;
  return true;
}

std::optional<PropertyValue> AvatarWindow::ReadProperty(std::string_view control, int number) const {
  if (number < 8) return std::nullopt;
  if (control == "动画框1") return canvas_->ReadProperty(number);
  if (control == "图片框1") return box_->ReadProperty(number);
  const Dialog* dialog = FindDialog(control);
  if (!dialog || number != 10) return std::nullopt;
  return dialog->settings.file_name;
}

std::optional<std::string> AvatarWindow::AskFileName(std::string_view name) {
  Dialog* dialog = FindDialog(name);
  if (!platform_.RunFileDialog(dialog->settings)) return std::nullopt;
  return dialog->settings.file_name;
}

// The save flow: the dialog, the control's pixels as shown, the BMP file.
// A save that cannot be made says so and leaves any old file as it was.
void AvatarWindow::SaveControl(std::string_view dialog, std::string_view control) {
  auto name = AskFileName(dialog);
  if (!name) return;
  auto shown = platform_.CaptureControl(control);
  const Bytes saved = shown ? SavedPicture(*shown, platform_.DisplayDepth()) : Bytes{};
  if (saved.empty()) return ReportSaveFailure(*name, "无法取得要保存的图片。");
  if (!WriteWholeFile(*name, {saved})) ReportSaveFailure(*name, "无法写入文件，原有文件保持不变。");
}

void AvatarWindow::ReportSaveFailure(const std::string& name, std::string_view reason) {
  platform_.ShowMessage(kSaveFailedCaption, "保存 " + name + " 失败：" + std::string(reason), MessageKind::kError);
}

void AvatarWindow::OnWindowCreated() { SeedCanvas(*canvas_); }

void AvatarWindow::OnComposerChangePicture() {
  platform_.ShowMessage(kHintCaption, kHintText, MessageKind::kInformation);
  auto name = AskFileName("通用对话框1");
  if (!name) return;
  ChangeCanvasPicture(*canvas_, ReadWholeFile(*name));
}

void AvatarWindow::OnComposerSave() { SaveControl("通用对话框2", "动画框1"); }
void AvatarWindow::OnRedDiamondBadge() { ApplyBadge(*canvas_, Badge::kRedDiamond); }
void AvatarWindow::OnIPhoneBadge() { ApplyBadge(*canvas_, Badge::kIPhone); }
void AvatarWindow::OnMemberBadge() { ApplyBadge(*canvas_, Badge::kMember); }
void AvatarWindow::OnSvipBadge() { ApplyBadge(*canvas_, Badge::kSvip); }

void AvatarWindow::OnResizerChangePicture() {
  auto name = AskFileName("通用对话框4");
  if (!name) return;
  ChangeBoxPicture(*box_, ReadWholeFile(*name));
}

void AvatarWindow::OnResizerSave() { SaveControl("通用对话框3", "图片框1"); }

void AvatarWindow::OnLearnMore() { platform_.OpenWebPage(kMakerWebAddress); }

}  // namespace pictorin
