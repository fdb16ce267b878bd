#pragma once
// For the start-up benchmark: with PICTORIN_QUIT_AFTER_FIRST_PAINT set in the
// environment, the program ends as soon as its window has been painted once.

#include <QWidget>

namespace pictorin {

// Arms the window when the environment asks for it; otherwise does nothing.
void QuitAfterFirstPaintIfAsked(QWidget& window);

}  // namespace pictorin
