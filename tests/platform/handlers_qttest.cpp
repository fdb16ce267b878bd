// The handlers end to end through the real window: its buttons, Qt's file
// dialog and message boxes, answered the way a user would answer them.

#include <gtest/gtest.h>

#include <filesystem>

#include <QDesktopServices>
#include <QMessageBox>
#include <QTest>
#include <QUrl>

#include "app/layout.h"
#include "app/offline.h"
#include "assets/builtin.h"
#include "io/snapshot.h"
#include "io/whole_file.h"
#include "platform/qt/conversions.h"
#include "tests/platform/window_driver.h"
#include "tests/support/encoders.h"

namespace pictorin::test {
namespace {

constexpr const char* kHintText = "请用100×100的图片打开！\n没有的请在工具的右边进行更改！";

// A photo with a different colour in each corner region, so that stretching,
// cropping and placement all show in the saved pixels.
Bytes Photo(int width, int height) {
  return EncodeJpeg({.width = width, .height = height, .quality = 95, .sample = [](int x, int y, int c) {
                       return static_cast<std::uint16_t>((x * 7 + y * 3 + c * 80) % 256);
                     }});
}

// A BMP of that size, written as the snapshot encoder writes one.
Bytes Bitmap(int width, int height) {
  Raster raster{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  for (std::size_t i = 0; i < raster.pixels.size(); ++i) raster.pixels[i] = static_cast<std::uint8_t>(i * 13 % 251);
  return EncodeSnapshot(raster, 0, 0, 32);
}

void WriteFile(const std::string& path, const Bytes& bytes) { ASSERT_TRUE(WriteWholeFile(path, {bytes})); }

class Handlers : public testing::Test {
 protected:
  void SetUp() override {
    window_ = ShowWindow();
    ASSERT_TRUE(window_);
  }

  // Loads the file with 按钮1, the hint box answered with OK.
  void LoadIntoComposer(const std::string& path) {
    ModalAnswers answers({PressMessageButton(QMessageBox::Ok), TypeFileName(path)});
    Click(*window_, "按钮1");
    EXPECT_EQ(answers.used(), 2u);
    EXPECT_FALSE(answers.unanswered());
  }

  void Save(std::string_view button, const std::string& path) {
    ModalAnswers answers({TypeFileName(path)});
    Click(*window_, button);
    EXPECT_EQ(answers.used(), 1u);
    EXPECT_FALSE(answers.unanswered());
  }

  Bytes CanvasShown() {
    auto raster = window_->CaptureControl("动画框1");
    return raster ? SavedPicture(*raster, 32) : Bytes{};
  }

  std::unique_ptr<MainWindow> window_;
  TempFolder folder_;
};

TEST_F(Handlers, SavingAtOnceGivesTheDefaultPictureAsShown) {
  const std::string saved = folder_.Path("avatar.jpg");
  Save("按钮2", saved);
  auto expected = ComposeOffline(DefaultCanvasPicture(), {});
  ASSERT_TRUE(expected);
  EXPECT_EQ(FileBytes(saved).size(), 30054u);
  EXPECT_EQ(FileBytes(saved), *expected);
}

TEST_F(Handlers, EachBadgeOverALoadedPhotoSavesWhatTheOfflineComposerSaves) {
  const std::string photo = folder_.Path("photo.jpg");
  WriteFile(photo, Photo(100, 100));
  LoadIntoComposer(photo);
  std::vector<Badge> pressed;
  for (const BadgeInfo& badge : Badges()) {
    SCOPED_TRACE(std::string(badge.cli_name));
    Click(*window_, badge.button);
    pressed.push_back(badge.badge);
    const std::string saved = folder_.Path(std::string(badge.cli_name) + ".jpg");
    Save("按钮2", saved);
    auto expected = ComposeOffline(FileBytes(photo), pressed);
    ASSERT_TRUE(expected);
    EXPECT_EQ(FileBytes(saved), *expected);
  }
}

TEST_F(Handlers, TheHintBoxComesFirstWithItsCaptionAndText) {
  SeenMessage hint;
  ModalAnswers answers({PressMessageButton(QMessageBox::Ok, &hint), CancelDialog()});
  Click(*window_, "按钮1");
  EXPECT_EQ(answers.used(), 2u);
  EXPECT_EQ(hint.caption, "信息：");
  EXPECT_EQ(hint.text, kHintText);
}

TEST_F(Handlers, ResizerSavesWhatTheOfflineResizerSaves) {
  struct Case {
    const char* name;
    Bytes picture;
  };
  const Case cases[] = {
      {"wide.jpg", Photo(400, 300)},
      {"small.bmp", Bitmap(50, 50)},
      {"odd.jpg", Photo(37, 81)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string picture = folder_.Path(c.name);
    WriteFile(picture, c.picture);
    {
      ModalAnswers answers({TypeFileName(picture)});
      Click(*window_, "按钮8");
      EXPECT_EQ(answers.used(), 1u);
    }
    const std::string saved = folder_.Path(std::string("resized-") + c.name);
    Save("按钮7", saved);
    auto expected = ResizeOffline(c.picture);
    ASSERT_TRUE(expected);
    EXPECT_EQ(FileBytes(saved), *expected);
  }
}

TEST_F(Handlers, ResizerSavesTheDefaultBoxPictureAtOnce) {
  const std::string saved = folder_.Path("box.jpg");
  Save("按钮7", saved);
  auto expected = ResizeOffline(DefaultBoxPicture());
  ASSERT_TRUE(expected);
  EXPECT_EQ(FileBytes(saved), *expected);
}

TEST_F(Handlers, CancellingChangesAndWritesNothing) {
  const Bytes before = CanvasShown();
  {
    ModalAnswers answers({PressMessageButton(QMessageBox::Ok), CancelDialog()});
    Click(*window_, "按钮1");
    EXPECT_EQ(answers.used(), 2u);
  }
  {
    ModalAnswers answers({CancelDialog()});
    Click(*window_, "按钮8");
    EXPECT_EQ(answers.used(), 1u);
  }
  for (const char* save : {"按钮2", "按钮7"}) {
    ModalAnswers answers({CancelDialog()});
    Click(*window_, save);
    EXPECT_EQ(answers.used(), 1u);
  }
  EXPECT_EQ(CanvasShown(), before);
  EXPECT_EQ(window_->app().canvas().objects().size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(Handlers, ANameTypedWithoutExtensionGetsJpgAndHoldsBmpData) {
  Save("按钮2", folder_.Path("avatar"));
  const Bytes saved = FileBytes(folder_.Path("avatar.jpg"));
  ASSERT_EQ(saved.size(), 30054u);
  EXPECT_EQ(saved[0], 'B');
  EXPECT_EQ(saved[1], 'M');
}

TEST_F(Handlers, DialogsOfferTheLayoutsFiltersAndRememberTheLastName) {
  SeenDialog first;
  {
    ModalAnswers answers({PressMessageButton(QMessageBox::Ok), InspectAndCancel(first)});
    Click(*window_, "按钮1");
  }
  EXPECT_TRUE(first.open);
  EXPECT_EQ(first.name_filters, (std::vector<std::string>{"图片文件(*.jpg) (*.jpg)", "*.gif (*.gif)"}));
  EXPECT_EQ(first.selected_filter, "图片文件(*.jpg)");  // what the dialog shows: the description
  EXPECT_EQ(first.file_name, "");

  const std::string saved = folder_.Path("first.jpg");
  Save("按钮2", saved);
  SeenDialog again;
  {
    ModalAnswers answers({InspectAndCancel(again)});
    Click(*window_, "按钮2");
  }
  EXPECT_FALSE(again.open);
  EXPECT_EQ(again.name_filters, (std::vector<std::string>{"图片文件(*.jpg) (*.jpg)"}));
  EXPECT_EQ(again.file_name, "first.jpg");
  EXPECT_EQ(again.directory, folder_.path());
  // The other save dialog keeps its own name.
  SeenDialog other;
  {
    ModalAnswers answers({InspectAndCancel(other)});
    Click(*window_, "按钮7");
  }
  EXPECT_EQ(other.file_name, "");
}

TEST_F(Handlers, OpeningAMissingFileAsksWhetherToCreateIt) {
  const std::string missing = folder_.Path("missing.jpg");
  SeenMessage question;
  {
    // No: the dialog stays open, and is cancelled then.
    ModalAnswers answers({PressMessageButton(QMessageBox::Ok), TypeFileName(missing),
                          PressMessageButton(QMessageBox::No, &question), CancelDialog()});
    Click(*window_, "按钮1");
    EXPECT_EQ(answers.used(), 4u);
    EXPECT_FALSE(answers.unanswered());
  }
  EXPECT_NE(question.text.find("missing.jpg"), std::string::npos);
  EXPECT_EQ(window_->app().canvas().settings().pic.size(), DefaultCanvasPicture().size());
  {
    // Yes: accepted; the file cannot be read, so the background goes empty.
    ModalAnswers answers({PressMessageButton(QMessageBox::Ok), TypeFileName(missing),
                          PressMessageButton(QMessageBox::Yes)});
    Click(*window_, "按钮1");
    EXPECT_EQ(answers.used(), 3u);
  }
  EXPECT_TRUE(window_->app().canvas().settings().pic.empty());
  EXPECT_FALSE(Exists(missing));
}

TEST_F(Handlers, ResizerOpenDialogAlsoAsksBeforeTakingAMissingFile) {
  ModalAnswers answers({TypeFileName(folder_.Path("nothing.bmp")), PressMessageButton(QMessageBox::No),
                        CancelDialog()});
  Click(*window_, "按钮8");
  EXPECT_EQ(answers.used(), 3u);
  EXPECT_FALSE(answers.unanswered());
}

TEST_F(Handlers, SavingOverAnExistingFileAsksFirst) {
  const std::string saved = folder_.Path("old.jpg");
  WriteFile(saved, Bytes{1, 2, 3});
  {
    ModalAnswers answers({TypeFileName(saved), PressMessageButton(QMessageBox::No), CancelDialog()});
    Click(*window_, "按钮2");
    EXPECT_EQ(answers.used(), 3u);
  }
  EXPECT_EQ(FileBytes(saved), (Bytes{1, 2, 3}));
  {
    ModalAnswers answers({TypeFileName(saved), PressMessageButton(QMessageBox::Yes)});
    Click(*window_, "按钮2");
    EXPECT_EQ(answers.used(), 2u);
  }
  EXPECT_EQ(FileBytes(saved).size(), 30054u);
}

TEST_F(Handlers, TheWindowTakesNoInputWhileADialogRunsAndGetsItsFocusBack) {
  ControlOf(*window_, "按钮2").setFocus();
  {
    ModalAnswers answers({[this](QWidget& dialog) {
      Click(*window_, "按钮6");  // blocked by the dialog
      QTest::keyClick(&dialog, Qt::Key_Escape);
    }});
    QTest::keyClick(&ControlOf(*window_, "按钮2"), Qt::Key_Space);
    EXPECT_EQ(answers.used(), 1u);
  }
  EXPECT_EQ(window_->app().canvas().objects().size(), 1u);
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget(); }, 1000));
  EXPECT_EQ(ToUtf8(QApplication::focusWidget()->objectName()), "按钮2");
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  std::vector<std::string> opened;
 public slots:
  void Open(const QUrl& url) { opened.push_back(ToUtf8(url.toString())); }
};

TEST_F(Handlers, TheWebButtonHandsTheMakersAddressToTheDesktop) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
  ModalAnswers answers({});
  Click(*window_, "按钮9");
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  EXPECT_EQ(catcher.opened, std::vector<std::string>{std::string(kMakerWebAddress)});
  EXPECT_FALSE(answers.unanswered());
}

}  // namespace
}  // namespace pictorin::test

#include "handlers_qttest.moc"
