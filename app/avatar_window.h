#pragma once
// The main window's application side: its two picture controls and four file
// dialogs made from the layout, the event bindings, and the panels' handlers.

#include <memory>
#include <string>
#include <string_view>

#include "app/platform.h"
#include "controls/cartoon_box.h"
#include "controls/pic_box.h"
#include "controls/property.h"
#include "io/file_dialog.h"

namespace pictorin {

enum class Event { kCreated, kClicked };

class AvatarWindow {
 public:
  // Makes the controls from their layout settings; nothing when one cannot be
  // made (the caller reports the fatal start-up error).
  static std::unique_ptr<AvatarWindow> Make(Platform& platform);

  // Calls the handler bound to the event of the control ("窗口" for the
  // window); events without a handler do nothing.
  void Raise(std::string_view source, Event event);

  // Numbered properties of the controls: 8 and up of the two picture
  // controls and FileName (10) of the dialogs. Numbers 0 to 7 are the window
  // layer's, which the platform holds.
  bool WriteProperty(std::string_view control, int number, const PropertyValue& value);
  std::optional<PropertyValue> ReadProperty(std::string_view control, int number) const;

  CartoonBox& canvas() { return *canvas_; }
  PicBox& box() { return *box_; }

  void OnWindowCreated();
  void OnComposerChangePicture();
  void OnComposerSave();
  void OnRedDiamondBadge();
  void OnIPhoneBadge();
  void OnMemberBadge();
  void OnSvipBadge();
  void OnResizerChangePicture();
  void OnResizerSave();
  void OnLearnMore();

 private:
  struct Dialog {
    std::string_view name;
    FileDialogSettings settings;
  };

  explicit AvatarWindow(Platform& platform) : platform_(platform) {}

  Dialog* FindDialog(std::string_view name);
  const Dialog* FindDialog(std::string_view name) const;
  // Shows the dialog; its accepted full path, or nothing on cancel.
  std::optional<std::string> AskFileName(std::string_view dialog);
  void SaveControl(std::string_view dialog, std::string_view control);
  void ReportSaveFailure(const std::string& name, std::string_view reason);

  Platform& platform_;
  std::unique_ptr<CartoonBox> canvas_;
  std::unique_ptr<PicBox> box_;
  Dialog dialogs_[4];
};

}  // namespace pictorin
