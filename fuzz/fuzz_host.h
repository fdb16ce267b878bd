#pragma once
// The window side of a control under fuzzing: a fixed 100×100 client area on
// a true-colour display. Requests to resize or repaint change nothing, so a
// record cannot make the next paint large.

#include "controls/control_host.h"

namespace pictorin::fuzz {

class FuzzHost : public ControlHost {
 public:
  void MarkForRepaint(const Rect&) override {}
  Size ClientSize() const override { return {100, 100}; }
  Colour ButtonFaceColour() const override { return MakeColour(240, 240, 240); }
  int DisplayDepth() const override { return 32; }
  void ApplyBorderStyle(int) override {}
  void ResizeClient(Size) override {}
};

}  // namespace pictorin::fuzz
