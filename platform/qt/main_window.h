#pragma once
// 窗口, the program's one window on Qt: a fixed frame holding the layout's
// controls, the key handling of the window, and the platform services the
// handlers ask for.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QWidget>

#include "app/avatar_window.h"
#include "app/layout.h"
#include "app/platform.h"

namespace pictorin {

class BoxHost;
class CanvasHost;

// Where the window's outer frame goes on a screen: centred, each coordinate
// truncated toward zero, negative on a screen smaller than the window.
QPoint FramePosition(const QRect& screen);

class MainWindow final : public QWidget, public Platform {
 public:
  // The window, hidden, with its controls made and its created event raised;
  // nothing when the controls cannot be made.
  static std::unique_ptr<MainWindow> Make();
  ~MainWindow() override;

  AvatarWindow& app() { return *app_; }

  // The widget of the named control; none for the file dialogs, which have no
  // window, and for names the layout does not hold.
  QWidget* Control(std::string_view name) const;

  ControlHost& HostOf(std::string_view control) override;
  void ShowMessage(std::string_view caption, std::string_view text, MessageKind kind) override;
  bool RunFileDialog(FileDialogSettings& settings) override;
  std::optional<Raster> CaptureControl(std::string_view control) override;
  int DisplayDepth() const override;
  void OpenWebPage(std::string_view address) override;

 protected:
  // Sees every key press meant for this window or its controls first.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Qt's own focus moves (a focused control hidden, say) follow our Tab sequence too.
  bool focusNextPrevChild(bool next) override;

 private:
  struct NamedControl {
    std::string_view name;
    QWidget* widget;
  };

  MainWindow();

  void MakeControls();
  QWidget* MakeControl(const ControlLayout& layout);
  QWidget* MakeButton(const ControlLayout& layout);
  QWidget* MakeLabel(const ControlLayout& layout);
  bool HandleKey(const QKeyEvent& key);
  void MoveFocus(bool forward);

  std::vector<NamedControl> controls_;
  CanvasHost* canvas_ = nullptr;
  BoxHost* box_ = nullptr;
  std::unique_ptr<AvatarWindow> app_;
};

}  // namespace pictorin
