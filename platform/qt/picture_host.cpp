#include "platform/qt/picture_host.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>

#include "app/layout.h"
#include "platform/qt/conversions.h"

namespace pictorin {
namespace {

struct FrameStyle {
  int shape;
  int line_width;
};

// Border styles 0..5 as edges of the same widths: none, a sunken client edge
// (2), a raised dialog frame (3), a thin sunken edge (1), both of the first
// two as one raised edge (5), a one-pixel line (1).
constexpr FrameStyle kFrameStyles[] = {
    {QFrame::NoFrame, 0},
    {QFrame::Panel | QFrame::Sunken, 2},
    {QFrame::Panel | QFrame::Raised, 3},
    {QFrame::Panel | QFrame::Sunken, 1},
    {QFrame::Panel | QFrame::Raised, 5},
    {QFrame::Box | QFrame::Plain, 1},
};

}  // namespace

PictureHost::PictureHost(QWidget* parent) : QFrame(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFrameStyle(QFrame::NoFrame);
}

void PictureHost::MarkForRepaint(const Rect& area) {
  if (QThread::currentThread() == thread()) return RepaintClient(area);
  // Posted to this widget: Qt drops the call if the widget is gone by then.
  QMetaObject::invokeMethod(this, [this, area] { RepaintClient(area); }, Qt::QueuedConnection);
}

void PictureHost::RepaintClient(const Rect& area) {
  update(ToQRect(area).translated(contentsRect().topLeft()).intersected(contentsRect()));
}

Size PictureHost::ClientSize() const {
  const QRect client = contentsRect();
  return {client.width(), client.height()};
}

Colour PictureHost::ButtonFaceColour() const { return kButtonFaceColour; }

int PictureHost::DisplayDepth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 0;
}

void PictureHost::ApplyBorderStyle(int style) {
  const FrameStyle& frame = kFrameStyles[style >= 0 && style <= 5 ? style : 0];
  setFrameStyle(frame.shape);
  setLineWidth(frame.line_width);
  NoticeClientSize();
  update();
}

void PictureHost::ResizeClient(Size size) {
  const int border = 2 * frameWidth();
  resize(size.width + border, size.height + border);
}

void PictureHost::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  NoticeClientSize();
}

void PictureHost::RememberClientSize() { told_size_ = ClientSize(); }

void PictureHost::NoticeClientSize() {
  const Size size = ClientSize();
  if (size == told_size_) return;
  told_size_ = size;
  ClientResized();
}

void PictureHost::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (frameWidth() > 0) PaintFrame(painter);
  const QRect client = contentsRect();
  const QRect box = event->rect().intersected(client).translated(-client.topLeft());
  if (box.isEmpty()) return;
  Painted painted = PaintClient(ToRect(box));
  if (painted.raster.pixels.empty()) return painter.fillRect(box.translated(client.topLeft()), ToQColor(kButtonFaceColour));
  painter.drawImage(client.topLeft() + QPoint(painted.at.x, painted.at.y), WrapOpaque(painted.raster));
}

// The border in the button face, with the frame's lines over it.
void PictureHost::PaintFrame(QPainter& painter) {
  painter.save();
  painter.setClipRegion(QRegion(rect()).subtracted(contentsRect()));
  painter.fillRect(rect(), ToQColor(kButtonFaceColour));
  painter.restore();
  drawFrame(&painter);
}

CanvasHost::CanvasHost(QWidget* parent) : PictureHost(parent) { setFocusPolicy(Qt::StrongFocus); }

PictureHost::Painted CanvasHost::PaintClient(const Rect& box) {
  if (!canvas_) return {};
  const Size client = ClientSize();
  return {Intersect(box, {0, 0, client.width, client.height}), canvas_->Paint(box)};
}

void CanvasHost::ClientResized() {
  if (canvas_) canvas_->Resized();
}

BoxHost::BoxHost(QWidget* parent) : PictureHost(parent) { setFocusPolicy(Qt::NoFocus); }

PictureHost::Painted BoxHost::PaintClient(const Rect&) {
  if (!box_) return {};
  auto shown = box_->Paint();
  if (!shown) return {};
  return {{0, 0, shown->width, shown->height}, std::move(*shown)};
}

}  // namespace pictorin
