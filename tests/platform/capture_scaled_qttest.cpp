// On a screen scaled by two the controls paint twice as many device pixels,
// yet what is captured and saved is the 100×100 the control painted.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/offline.h"
#include "assets/builtin.h"
#include "tests/platform/window_driver.h"

namespace pictorin::test {
namespace {

TEST(ScaledScreen, CapturesAndSavesAreInLogicalPixels) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  const Badge badges[] = {Badge::kMember};
  Click(*window, "按钮5");
  auto shown = window->CaptureControl("动画框1");
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width, 100);
  EXPECT_EQ(shown->height, 100);

  TempFolder folder;
  const std::string saved = folder.Path("scaled.jpg");
  {
    ModalAnswers answers({TypeFileName(saved)});
    Click(*window, "按钮2");
    ASSERT_EQ(answers.used(), 1u);
  }
  auto expected = ComposeOffline(DefaultCanvasPicture(), badges);
  ASSERT_TRUE(expected);
  EXPECT_EQ(FileBytes(saved), *expected);

  const std::string box = folder.Path("box.jpg");
  ModalAnswers answers({TypeFileName(box)});
  Click(*window, "按钮7");
  ASSERT_EQ(answers.used(), 1u);
  auto resized = ResizeOffline(DefaultBoxPicture());
  ASSERT_TRUE(resized);
  EXPECT_EQ(FileBytes(box), *resized);
}

}  // namespace
}  // namespace pictorin::test
