// The yardstick for the window's start-up: the smallest Qt Widgets program
// with one window of the same size, quitting after its first paint the same
// way when PICTORIN_QUIT_AFTER_FIRST_PAINT is set.

#include <QApplication>
#include <QWidget>

#include "platform/qt/first_paint.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(398, 186);
  window.setWindowTitle(QStringLiteral("minimal"));
  pictorin::QuitAfterFirstPaintIfAsked(window);
  window.show();
  return application.exec();
}
