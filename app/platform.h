#pragma once
// What the application asks of the window system. The Qt implementation lives
// in platform/; a Win32 one can stand beside it without touching app/.

#include <optional>
#include <string>
#include <string_view>

#include "controls/control_host.h"
#include "imaging/picture.h"
#include "io/file_dialog.h"

namespace pictorin {

enum class MessageKind { kInformation, kError };

class Platform {
 public:
  virtual ~Platform() = default;

  // The host through which the named control (动画框1, 图片框1) reaches its window.
  virtual ControlHost& HostOf(std::string_view control) = 0;

  // A modal message box with one OK button; returns when it is closed.
  virtual void ShowMessage(std::string_view caption, std::string_view text, MessageKind kind) = 0;

  // Runs the system dialog the settings describe, modally, the window disabled
  // meanwhile. On OK, settings.file_name holds the accepted full path and the
  // result is true; on cancel nothing changes.
  virtual bool RunFileDialog(FileDialogSettings& settings) = 0;

  // The named control's pixels as it shows them now, at its size in logical
  // pixels: top-down, four bytes a pixel. Nothing when there is no such
  // control. An empty name captures the whole primary screen.
  virtual std::optional<Raster> CaptureControl(std::string_view control) = 0;

  // The display's current colour depth in bits per pixel; 0 when unknown.
  virtual int DisplayDepth() const = 0;

  // Hands the address to the desktop's default browser; the result is ignored.
  virtual void OpenWebPage(std::string_view address) = 0;
};

}  // namespace pictorin
