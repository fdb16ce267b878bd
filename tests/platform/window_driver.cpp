#include "tests/platform/window_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/conversions.h"

namespace pictorin::test {

std::unique_ptr<MainWindow> ShowWindow() {
  auto window = MainWindow::Make();
  if (!window) return nullptr;
  window->show();
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  return window;
}

QWidget& ControlOf(const MainWindow& window, std::string_view name) {
  QWidget* widget = window.Control(name);
  EXPECT_NE(widget, nullptr) << name;
  return *widget;
}

ModalAnswers::ModalAnswers(std::vector<Answer> answers) : answers_(std::move(answers)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start(10);
}

ModalAnswers::~ModalAnswers() { timer_.stop(); }

// The answer runs from a timer of its own, so that a box it opens in turn
// finds this poll free to answer it.
void ModalAnswers::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == answered_) return;
  answered_ = modal;
  if (next_ >= answers_.size()) {
    unanswered_ = true;
    QTimer::singleShot(0, modal, &QWidget::close);
    return;
  }
  Answer& answer = answers_[next_++];
  QPointer<QWidget> target = modal;
  QTimer::singleShot(0, modal, [&answer, target] {
    if (target) answer(*target);
  });
}

ModalAnswers::Answer TypeFileName(std::string name) {
  return [name](QWidget& modal) {
    auto* dialog = qobject_cast<QFileDialog*>(&modal);
    ASSERT_NE(dialog, nullptr) << "expected a file dialog, got " << modal.metaObject()->className();
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setText(ToQString(name));
    QTest::keyClick(edit, Qt::Key_Return);
  };
}

ModalAnswers::Answer CancelDialog() {
  return [](QWidget& modal) {
    ASSERT_NE(qobject_cast<QFileDialog*>(&modal), nullptr) << modal.metaObject()->className();
    QTest::keyClick(&modal, Qt::Key_Escape);
  };
}

ModalAnswers::Answer PressMessageButton(int standard_button, SeenMessage* seen) {
  return [standard_button, seen](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << modal.metaObject()->className();
    if (seen) *seen = {ToUtf8(box->windowTitle()), ToUtf8(box->text())};
    QAbstractButton* button = box->button(static_cast<QMessageBox::StandardButton>(standard_button));
    ASSERT_NE(button, nullptr);
    button->click();
  };
}

ModalAnswers::Answer InspectAndCancel(SeenDialog& seen) {
  return [&seen](QWidget& modal) {
    auto* dialog = qobject_cast<QFileDialog*>(&modal);
    ASSERT_NE(dialog, nullptr) << modal.metaObject()->className();
    seen.open = dialog->acceptMode() == QFileDialog::AcceptOpen;
    seen.file_name = ToUtf8(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text());
    seen.directory = ToUtf8(dialog->directory().absolutePath());
    for (const QString& filter : dialog->nameFilters()) seen.name_filters.push_back(ToUtf8(filter));
    seen.selected_filter = ToUtf8(dialog->selectedNameFilter());
    dialog->reject();
  };
}

// Through the window system, as a user's click comes: a window blocked by a
// modal box does not get it.
void Click(MainWindow& window, std::string_view button) {
  const QWidget& target = ControlOf(window, button);
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, target.mapTo(&window, target.rect().center()));
}

TempFolder::TempFolder() {
  QTemporaryDir dir;
  dir.setAutoRemove(false);
  path_ = ToUtf8(dir.path());
}

TempFolder::~TempFolder() { std::filesystem::remove_all(path_); }

std::string TempFolder::Path(std::string_view name) const { return path_ + "/" + std::string(name); }

Bytes FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace pictorin::test
