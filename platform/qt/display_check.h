#pragma once
// Whether the program can open a display, checked before Qt starts, which
// would otherwise abort with a long message of its own.

#include <optional>
#include <string>

struct xcb_connection_t;

namespace pictorin {

class DisplayCheck {
 public:
  // Checks now. An X connection that opens is held until the check goes: an
  // X server whose last client hangs up resets itself, and Qt's own
  // connection would wait for that.
  DisplayCheck();
  ~DisplayCheck();
  DisplayCheck(const DisplayCheck&) = delete;
  DisplayCheck& operator=(const DisplayCheck&) = delete;

  // One line saying why no display can be opened and what to do instead;
  // nothing when Qt's platform (X or Wayland, or one that needs no display,
  // such as offscreen) can start.
  const std::optional<std::string>& problem() const { return problem_; }

 private:
  std::optional<std::string> Check();
  bool XDisplayOpens(const std::string& display);

  xcb_connection_t* x_connection_ = nullptr;
  std::optional<std::string> problem_;
};

}  // namespace pictorin
