#include "platform/qt/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace pictorin {
namespace {

// The window's paint event comes before its controls' in the same pass; the
// quit is queued behind that pass and the flush to the screen.
class FirstPaintWatch final : public QObject {
 public:
  explicit FirstPaintWatch(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return false;
  }
};

}  // namespace

void QuitAfterFirstPaintIfAsked(QWidget& window) {
  if (qEnvironmentVariableIsSet("PICTORIN_QUIT_AFTER_FIRST_PAINT")) new FirstPaintWatch(window);
}

}  // namespace pictorin
