#include "platform/qt/main_window.h"

#include <algorithm>

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QUrl>

#include "app/layout.h"
#include "assets/builtin.h"
#include "platform/qt/conversions.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/fonts.h"
#include "platform/qt/picture_host.h"
#include "platform/qt/push_button.h"

namespace pictorin {

QPoint FramePosition(const QRect& screen) {
  // C++ division truncates toward zero, as the centring asks.
  return {screen.x() + (screen.width() - kWindowOuterSize.width) / 2,
          screen.y() + (screen.height() - kWindowOuterSize.height) / 2};
}

std::unique_ptr<MainWindow> MainWindow::Make() {
  std::unique_ptr<MainWindow> window(new MainWindow);
  window->app_ = AvatarWindow::Make(*window);
  if (!window->app_) return nullptr;
  window->canvas_->Attach(&window->app_->canvas());
  window->box_->Attach(&window->app_->box());
  window->app_->Raise("窗口", Event::kCreated);
  window->MoveFocus(true);
  return window;
}

// A fixed frame with system menu, minimise and close boxes, no maximise box.
// move() places the frame's top-left corner, so the window manager's own
// margins grow the frame around the 398×186 client area from that corner.
MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setWindowTitle(ToQString(kWindowCaption));
  setWindowIcon(IconOf(WindowIcon()));
  setFixedSize(kWindowClientSize.width, kWindowClientSize.height);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ToQColor(kButtonFaceColour));
  colours.setColor(QPalette::Button, ToQColor(kButtonFaceColour));
  setPalette(colours);
  setAutoFillBackground(true);
  setFont(DefaultGuiFont());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) move(FramePosition(screen->geometry()));
  MakeControls();
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
  // The controls go first: the picture box stops its player before the
  // widgets that it reaches through its host disappear.
  canvas_->Attach(nullptr);
  box_->Attach(nullptr);
  app_.reset();
}

void MainWindow::MakeControls() {
  for (const ControlLayout& layout : WindowLayout()) {
    QWidget* widget = MakeControl(layout);
    if (!widget) continue;
    widget->setObjectName(ToQString(layout.name));
    widget->setGeometry(ToQRect(layout.rect));
    if (!layout.shown) widget->hide();
    controls_.push_back({layout.name, widget});
  }
}

QWidget* MainWindow::MakeControl(const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::kCanvas:
      return canvas_ = new CanvasHost(this);
    case ControlKind::kPictureBox:
      return box_ = new BoxHost(this);
    case ControlKind::kButton:
      return MakeButton(layout);
    case ControlKind::kLabel:
      return MakeLabel(layout);
    case ControlKind::kFileDialog:
      return nullptr;
  }
  return nullptr;
}

QWidget* MainWindow::MakeButton(const ControlLayout& layout) {
  auto* button = new PushButton(ToQString(layout.text), this);
  if (layout.font == ControlFont::kSimSun) button->setFont(SimSunFont());
  const std::string_view name = layout.name;
  connect(button, &QPushButton::clicked, this, [this, name] { app_->Raise(name, Event::kClicked); });
  return button;
}

// Red text straight on the window's background, wrapped, never focused, and
// letting mouse clicks through.
QWidget* MainWindow::MakeLabel(const ControlLayout& layout) {
  auto* label = new QLabel(ToQString(layout.text), this);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, ToQColor(kLabelTextColour));
  label->setPalette(colours);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  label->setFocusPolicy(Qt::NoFocus);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

QWidget* MainWindow::Control(std::string_view name) const {
  auto found = std::find_if(controls_.begin(), controls_.end(), [&](const NamedControl& c) { return c.name == name; });
  return found == controls_.end() ? nullptr : found->widget;
}

// Only the two picture controls have hosts.
ControlHost& MainWindow::HostOf(std::string_view control) {
  if (control == "图片框1") return *box_;
  return *canvas_;
}

void MainWindow::ShowMessage(std::string_view caption, std::string_view text, MessageKind kind) {
  ShowQtMessage(caption, text, kind);
}

bool MainWindow::RunFileDialog(FileDialogSettings& settings) { return RunQtFileDialog(this, settings); }

std::optional<Raster> MainWindow::CaptureControl(std::string_view control) {
  if (control.empty()) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    const QImage shot = screen->grabWindow(0).toImage();
    if (shot.isNull()) return std::nullopt;
    return RasterOf(shot);
  }
  QWidget* widget = Control(control);
  if (!widget) return std::nullopt;
  // Logical pixels, whatever the screen's scale: one image pixel for each
  // pixel the control paints.
  QImage image(widget->size(), QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  image.fill(ToQColor(kButtonFaceColour));
  widget->render(&image);
  return RasterOf(image);
}

int MainWindow::DisplayDepth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 0;
}

void MainWindow::OpenWebPage(std::string_view address) { QDesktopServices::openUrl(QUrl(ToQString(address))); }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  return HandleKey(*static_cast<QKeyEvent*>(event));
}

// Tab and Shift+Tab walk the Tab sequence and Esc closes, each only without
// Ctrl and Alt; every other key goes on to the focused control.
bool MainWindow::HandleKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers();
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const bool shift = modifiers & Qt::ShiftModifier;
  switch (key.key()) {
    case Qt::Key_Tab:
      MoveFocus(!shift);
      return true;
    case Qt::Key_Backtab:
      MoveFocus(false);
      return true;
    case Qt::Key_Escape:
      if (shift) return false;
      close();
      return true;
    default:
      return false;
  }
}

bool MainWindow::focusNextPrevChild(bool next) {
  MoveFocus(next);
  return true;
}

// The next control of the Tab sequence after the focused one that is shown
// and enabled; from no focused control, the first (or, backwards, the last).
void MainWindow::MoveFocus(bool forward) {
  const std::vector<std::string_view> sequence = TabSequence();
  const int count = static_cast<int>(sequence.size());
  const QWidget* focused = focusWidget();
  int at = forward ? -1 : count;
  for (int i = 0; i < count; ++i) {
    if (Control(sequence[i]) == focused) at = i;
  }
  for (int step = 1; step <= count; ++step) {
    QWidget* candidate = Control(sequence[((at + (forward ? step : -step)) % count + count) % count]);
    if (candidate && candidate->isVisibleTo(this) && candidate->isEnabled()) {
      return candidate->setFocus(Qt::TabFocusReason);
    }
  }
}

}  // namespace pictorin
