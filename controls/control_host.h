#pragma once
// What a picture control needs of the window that shows it. The window layer
// implements this for each control it hosts; tests use a recording host.

#include <cstdint>

#include "imaging/picture.h"

namespace pictorin {

struct Rect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The overlap of two rectangles; empty when they do not meet.
Rect Intersect(const Rect& a, const Rect& b);

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

class ControlHost {
 public:
  virtual ~ControlHost() = default;

  // Adds the area to what the window repaints next; the window then asks the
  // control to paint on its own. Safe to call from any thread.
  virtual void MarkForRepaint(const Rect& area) = 0;

  virtual Size ClientSize() const = 0;

  // The platform's button-face colour, what background kNoColour stands for.
  virtual Colour ButtonFaceColour() const = 0;

  // The display's current colour depth in bits per pixel; 0 when unknown.
  virtual int DisplayDepth() const = 0;

  // Border style 0..5 as the controls define it; the window recomputes its frame.
  virtual void ApplyBorderStyle(int style) = 0;

  // Makes the client area this size (the picture box's picture-sized mode).
  virtual void ResizeClient(Size size) = 0;
};

}  // namespace pictorin
