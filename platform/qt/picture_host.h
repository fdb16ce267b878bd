#pragma once
// The child widgets that host the two picture controls. Each paints its
// control's raster straight onto the screen (no erase, opaque) and turns the
// control's repaint requests, from any thread, into repaints of the widget.

#include <QFrame>

#include "controls/cartoon_box.h"
#include "controls/control_host.h"
#include "controls/pic_box.h"

namespace pictorin {

class PictureHost : public QFrame, public ControlHost {
 public:
  explicit PictureHost(QWidget* parent);

  void MarkForRepaint(const Rect& area) override;
  Size ClientSize() const override;
  Colour ButtonFaceColour() const override;
  int DisplayDepth() const override;
  void ApplyBorderStyle(int style) override;
  void ResizeClient(Size size) override;

 protected:
  // What the control paints for a box of its client area: the pixels and the
  // client-area rectangle they cover; an empty raster when it paints nothing.
  struct Painted {
    Rect at;
    Raster raster;
  };
  virtual Painted PaintClient(const Rect& box) = 0;
  // The client area has a new size.
  virtual void ClientResized() {}
  // Takes the current client size as the one the control knows.
  void RememberClientSize();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RepaintClient(const Rect& area);
  void PaintFrame(QPainter& painter);
  void NoticeClientSize();

  Size told_size_;
};

// 动画框1: takes the keyboard focus, tells the canvas when its size changes.
class CanvasHost final : public PictureHost {
 public:
  explicit CanvasHost(QWidget* parent);
  // The control to paint; none until the window's controls are made.
  void Attach(CartoonBox* canvas) {
    canvas_ = canvas;
    RememberClientSize();
  }

 private:
  Painted PaintClient(const Rect& box) override;
  void ClientResized() override;

  CartoonBox* canvas_ = nullptr;
};

// 图片框1: never takes the focus.
class BoxHost final : public PictureHost {
 public:
  explicit BoxHost(QWidget* parent);
  void Attach(PicBox* box) { box_ = box; }

 private:
  Painted PaintClient(const Rect& box) override;

  PicBox* box_ = nullptr;
};

}  // namespace pictorin
