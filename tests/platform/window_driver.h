#pragma once
// Driving the real window in tests: showing it, pressing keys, and answering
// the modal boxes its handlers open.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "imaging/bytes.h"
#include "platform/qt/main_window.h"

namespace pictorin::test {

// The window as the program shows it, active, with the focus on 动画框1.
std::unique_ptr<MainWindow> ShowWindow();

// The named control's widget; fails the test when there is none.
QWidget& ControlOf(const MainWindow& window, std::string_view name);

// Answers the modal boxes that open from now on, one answer each, in order.
// One at a time: a second one alive would answer the same boxes.
// Each answer runs from the box's own event loop. A box left without answer
// is closed, and unanswered() tells.
class ModalAnswers {
 public:
  using Answer = std::function<void(QWidget& modal)>;
  explicit ModalAnswers(std::vector<Answer> answers);
  ~ModalAnswers();
  ModalAnswers(const ModalAnswers&) = delete;
  ModalAnswers& operator=(const ModalAnswers&) = delete;

  // How many answers were used.
  std::size_t used() const { return next_; }
  // Whether a box opened that had no answer left.
  bool unanswered() const { return unanswered_; }

 private:
  void Poll();

  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  bool unanswered_ = false;
  QPointer<QWidget> answered_;
  QTimer timer_;
};

// Answers: type the name into a file dialog and press Enter.
ModalAnswers::Answer TypeFileName(std::string name);
// Cancel a file dialog.
ModalAnswers::Answer CancelDialog();
// Press the message box's button of that role (OK, Yes, No), recording its
// caption and text first.
struct SeenMessage {
  std::string caption;
  std::string text;
};
ModalAnswers::Answer PressMessageButton(int standard_button, SeenMessage* seen = nullptr);
// Record what the file dialog shows, then cancel it.
struct SeenDialog {
  std::string file_name;
  std::string directory;
  std::vector<std::string> name_filters;
  std::string selected_filter;
  bool open = false;
};
ModalAnswers::Answer InspectAndCancel(SeenDialog& seen);

// Clicks the named control with the mouse.
void Click(MainWindow& window, std::string_view button);

// A fresh empty folder for one test's files, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string Path(std::string_view name) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The file's bytes; empty when it is missing.
Bytes FileBytes(const std::string& path);
bool Exists(const std::string& path);

}  // namespace pictorin::test
