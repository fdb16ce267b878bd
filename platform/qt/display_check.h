#pragma once
// Whether the program can open a display, checked before Qt starts, which
// would otherwise abort with a long message of its own.

#include <optional>
#include <string>

namespace pictorin {

// One line saying why no display can be opened and what to do instead;
// nothing when Qt's platform (X or Wayland, or one that needs no display,
// such as offscreen) can start.
std::optional<std::string> DisplayProblem();

}  // namespace pictorin
