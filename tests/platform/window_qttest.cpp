// The window as the layout makes it: geometry, texts, fonts, the window's own
// settings, and its key handling.

#include <gtest/gtest.h>

#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include "app/layout.h"
#include "app/offline.h"
#include "assets/builtin.h"
#include "platform/qt/application.h"
#include "platform/qt/conversions.h"
#include "platform/qt/picture_host.h"
#include "tests/platform/window_driver.h"

namespace pictorin::test {
namespace {

Bytes Shown(MainWindow& window, std::string_view control) {
  auto raster = window.CaptureControl(control);
  return raster ? SavedPicture(*raster, 32) : Bytes{};
}

std::string Focused() {
  QWidget* focused = QApplication::focusWidget();
  return focused ? ToUtf8(focused->objectName()) : "";
}

TEST(WindowLayout, EveryControlHasItsRectangleTextAndVisibility) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  for (const ControlLayout& layout : WindowLayout()) {
    SCOPED_TRACE(std::string(layout.name));
    QWidget* widget = window->Control(layout.name);
    if (layout.kind == ControlKind::kFileDialog) {
      EXPECT_EQ(widget, nullptr);
      continue;
    }
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window.get());
    EXPECT_EQ(widget->geometry(), ToQRect(layout.rect));
    EXPECT_EQ(widget->isVisible(), layout.shown);
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, layout.tab_stop);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(ToUtf8(button->text()), layout.text);
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(ToUtf8(label->text()), layout.text);
    }
  }
}

TEST(WindowLayout, SimSunButtonsUseA12PixelCjkFace) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  for (const ControlLayout& layout : WindowLayout()) {
    if (layout.kind != ControlKind::kButton) continue;
    SCOPED_TRACE(std::string(layout.name));
    const QFont font = ControlOf(*window, layout.name).font();
    if (layout.font == ControlFont::kSimSun) {
      EXPECT_EQ(font.pixelSize(), 12);
      // Mapped onto an installed face that has the Chinese characters.
      EXPECT_TRUE(QFontMetrics(font).inFontUcs4(U'图')) << ToUtf8(QFontInfo(font).family());
      EXPECT_NE(QFontInfo(font).family(), QStringLiteral("宋体"));
    } else {
      EXPECT_EQ(font, window->font());
    }
  }
}

TEST(WindowLayout, LabelIsRedWrappedClippedAndLetsClicksThrough) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  auto& label = static_cast<QLabel&>(ControlOf(*window, "透明标签1"));
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_TRUE(label.wordWrap());
  EXPECT_FALSE(label.autoFillBackground());
  EXPECT_GT(label.geometry().right(), window->rect().right());  // the window clips it
  Click(*window, "透明标签1");
  EXPECT_EQ(Focused(), "动画框1");
}

TEST(MainWindowSettings, FixedClientAreaCaptionBackgroundAndNoMaximise) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->size(), QSize(398, 186));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(ToUtf8(window->windowTitle()), kWindowCaption);
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->palette().color(QPalette::Window), ToQColor(kButtonFaceColour));
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(window->windowIcon().availableSizes().value(0), QSize(92, 92));
}

TEST(MainWindowSettings, FrameIsCentredOnTheWholePrimaryScreen) {
  struct Case {
    QRect screen;
    QPoint frame;
  };
  const Case cases[] = {
      {{0, 0, 1024, 768}, {310, 276}},
      {{0, 0, 1366, 768}, {481, 276}},
      {{0, 0, 399, 200}, {-2, -7}},  // truncated toward zero, negative as it comes
      {{1920, 0, 1024, 768}, {2230, 276}},
  };
  for (const Case& c : cases) EXPECT_EQ(FramePosition(c.screen), c.frame) << c.screen.width();

  auto window = MainWindow::Make();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->pos(), FramePosition(QGuiApplication::primaryScreen()->geometry()));
}

TEST(MainWindowSettings, CreatedEventHasRunBeforeTheFirstPaint) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  ASSERT_EQ(window->app().canvas().objects().size(), 1u);
  auto untouched = ComposeOffline(DefaultCanvasPicture(), {});
  ASSERT_TRUE(untouched);
  const QImage on_screen = window->grab().toImage();  // what was painted
  auto canvas = RasterOf(on_screen.copy(ControlOf(*window, "动画框1").geometry()));
  ASSERT_TRUE(canvas);
  EXPECT_EQ(SavedPicture(*canvas, 32), *untouched);
}

TEST(KeyHandling, TabVisitsTheSequenceAndComesBack) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(Focused(), "动画框1");
  const std::vector<std::string> expected = {"按钮1", "按钮2", "按钮3", "按钮4", "按钮5",
                                             "按钮6", "按钮8", "按钮7", "按钮9", "动画框1"};
  std::vector<std::string> visited;
  for (int i = 0; i < 10; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(Focused());
  }
  EXPECT_EQ(visited, expected);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), "按钮9");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), "按钮7");
}

TEST(KeyHandling, TabPassesOverHiddenAndDisabledControls) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  ControlOf(*window, "按钮1").setEnabled(false);
  ControlOf(*window, "按钮2").hide();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Focused(), "按钮3");
  // Hiding the focused control moves the focus along our sequence too.
  ControlOf(*window, "按钮3").hide();
  EXPECT_EQ(Focused(), "按钮4");
}

TEST(KeyHandling, TabWithCtrlOrAltDoesNotMoveTheFocus) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::AltModifier);
  EXPECT_EQ(Focused(), "动画框1");
}

TEST(KeyHandling, EscClosesAndTheLoopEndsWithStatusZero) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  QTest::keyClick(&ControlOf(*window, "动画框1"), Qt::Key_Escape, Qt::ShiftModifier);
  QTest::keyClick(&ControlOf(*window, "动画框1"), Qt::Key_Escape, Qt::ControlModifier);
  QTest::keyClick(&ControlOf(*window, "动画框1"), Qt::Key_Escape, Qt::AltModifier);
  ASSERT_TRUE(window->isVisible());
  ControlOf(*window, "按钮5").setFocus();
  QTimer::singleShot(0, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(window->isVisible());
}

TEST(KeyHandling, EnterAndF1ChangeNothing) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  for (const char* control : {"动画框1", "按钮6", "按钮1"}) {
    SCOPED_TRACE(control);
    ControlOf(*window, control).setFocus();
    const Bytes before = Shown(*window, "动画框1");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1}) {
      ModalAnswers answers({});  // any box that opened would be closed and counted
      QTest::keyClick(QApplication::focusWidget(), key);
      QTest::qWait(30);
      EXPECT_FALSE(answers.unanswered());
    }
    EXPECT_EQ(Focused(), control);
    EXPECT_EQ(Shown(*window, "动画框1"), before);
    EXPECT_EQ(window->app().canvas().objects().size(), 1u);
    EXPECT_TRUE(window->isVisible());
  }
}

TEST(KeyHandling, SpaceOnABadgeButtonAppliesTheBadge) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  ControlOf(*window, "按钮6").setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  const Badge svip[] = {Badge::kSvip};
  auto expected = ComposeOffline(DefaultCanvasPicture(), svip);
  ASSERT_TRUE(expected);
  EXPECT_EQ(Shown(*window, "动画框1"), *expected);
}

TEST(KeyHandling, FocusReturnsToTheLastControlWhenTheWindowIsActivatedAgain) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  ControlOf(*window, "按钮5").setFocus();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(Focused(), "按钮5");
}

// The picture box's player asks for repaints from its own thread.
TEST(PictureHosts, RepaintRequestsFromAnotherThreadArePainted) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  auto& box = static_cast<PictureHost&>(ControlOf(*window, "图片框1"));
  QTest::qWait(20);
  int paints = 0;
  struct PaintCounter : QObject {
    int* count;
    explicit PaintCounter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter(&paints);
  box.installEventFilter(&counter);
  std::thread player([&box] { box.MarkForRepaint({0, 0, 100, 100}); });
  player.join();
  EXPECT_TRUE(QTest::qWaitFor([&] { return paints > 0; }, 2000));
}

TEST(PictureHosts, BorderStylesShrinkTheClientAreaByTheirEdges) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  auto& host = static_cast<PictureHost&>(ControlOf(*window, "动画框1"));
  const int edge[] = {0, 2, 3, 1, 5, 1};
  for (int style = 5; style >= 0; --style) {
    SCOPED_TRACE(style);
    ASSERT_TRUE(window->app().WriteProperty("动画框1", 8, std::int32_t{style}));
    const int client = 100 - 2 * edge[style];
    EXPECT_EQ(host.ClientSize(), (Size{client, client}));
    // The canvas lays its background onto the new client area.
    const Raster painted = window->app().canvas().Paint({0, 0, 100, 100});
    EXPECT_EQ(painted.width, client);
    auto captured = window->CaptureControl("动画框1");
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->width, 100);  // the border is part of the control's picture
  }
  auto untouched = ComposeOffline(DefaultCanvasPicture(), {});
  ASSERT_TRUE(untouched);
  EXPECT_EQ(Shown(*window, "动画框1"), *untouched);
}

TEST(FatalError, TheBoxHasTheTitleTextAndErrorIcon) {
  SeenMessage seen;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalAnswers answers({[&](QWidget& modal) {
    icon = static_cast<QMessageBox&>(modal).icon();
    PressMessageButton(QMessageBox::Ok, &seen)(modal);
  }});
  ShowFatalError("载入启动窗口失败");
  EXPECT_EQ(answers.used(), 1u);
  EXPECT_EQ(seen.caption, "错误");
  EXPECT_EQ(seen.text, "运行时出错!\n\n错误信息：载入启动窗口失败\n");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(Capture, UnknownControlsAndDialogsGiveNothingAndAnEmptyNameTheScreen) {
  auto window = ShowWindow();
  ASSERT_TRUE(window);
  EXPECT_FALSE(window->CaptureControl("按钮10"));
  EXPECT_FALSE(window->CaptureControl("通用对话框1"));
  auto screen = window->CaptureControl("");
  ASSERT_TRUE(screen);
  const QSize size = QGuiApplication::primaryScreen()->size() * QGuiApplication::primaryScreen()->devicePixelRatio();
  EXPECT_EQ(QSize(screen->width, screen->height), size);
  auto button = window->CaptureControl("按钮9");
  ASSERT_TRUE(button);
  EXPECT_EQ(QSize(button->width, button->height), QSize(96, 32));
}

}  // namespace
}  // namespace pictorin::test
