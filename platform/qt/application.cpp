#include "platform/qt/application.h"

#include <cstdio>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/qt/dialogs.h"
#include "platform/qt/display_check.h"
#include "platform/qt/first_paint.h"
#include "platform/qt/fonts.h"
#include "platform/qt/main_window.h"

namespace pictorin {
namespace {

constexpr int kFatalExitStatus = 255;  // exit(-1)
constexpr int kNoDisplayExitStatus = 1;

// Qt's own texts (the file dialogs' buttons and questions) in the user's
// language; our window's texts are Chinese whatever the locale.
void LoadQtTranslations(QApplication& application, QTranslator& translator) {
  if (translator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}

}  // namespace

void PrepareApplication() {
  QGuiApplication::setDesktopFileName(QStringLiteral("pictorin"));
  MapSongFaces();
}

void ShowFatalError(const char* message) {
  const std::string text = std::string("运行时出错!\r\n\r\n错误信息：") + message + "\r\n";
  ShowQtMessage("错误", text, MessageKind::kError);
}

int RunProgram(int argc, char** argv) {
  auto display = std::make_unique<DisplayCheck>();
  if (display->problem()) {
    std::fprintf(stderr, "%s\n", display->problem()->c_str());
    return kNoDisplayExitStatus;
  }
  QApplication application(argc, argv);
  display.reset();  // Qt holds its own connection now
  QDir::setCurrent(QCoreApplication::applicationDirPath());
  PrepareApplication();
  QTranslator translator;
  LoadQtTranslations(application, translator);

  auto window = MainWindow::Make();
  if (!window) {
    ShowFatalError("载入启动窗口失败");
    return kFatalExitStatus;
  }
  QuitAfterFirstPaintIfAsked(*window);
  window->show();
  window->activateWindow();
  return application.exec();
}

}  // namespace pictorin
