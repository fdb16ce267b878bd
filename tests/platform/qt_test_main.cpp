// The window tests run on Qt's offscreen platform, whatever display the
// shell has, so that they neither need a screen nor take the desktop's focus.

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/application.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef PICTORIN_TEST_SCALE_FACTOR
  qputenv("QT_SCALE_FACTOR", PICTORIN_TEST_SCALE_FACTOR);
#endif
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  pictorin::PrepareApplication();
  return RUN_ALL_TESTS();
}
