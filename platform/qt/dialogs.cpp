#include "platform/qt/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "platform/qt/conversions.h"

namespace pictorin {
namespace {

// While a modal box runs Qt keeps every other window from input; afterwards
// the window that was active gets the keyboard again, on the control that
// had the focus.
class ModalScope {
 public:
  ModalScope() : active_(QApplication::activeWindow()), focused_(QApplication::focusWidget()) {}
  ~ModalScope() {
    if (active_) active_->activateWindow();
    if (focused_) focused_->setFocus(Qt::ActiveWindowFocusReason);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  QPointer<QWidget> active_;
  QPointer<QWidget> focused_;
};

// Qt's dialog with the checks it lacks: the question whether to create a
// missing file (open dialogs with the create prompt) and a missing folder.
class FileDialog final : public QFileDialog {
 public:
  FileDialog(QWidget* owner, const FileDialogSettings& settings) : QFileDialog(owner), settings_(settings) {}

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty()) return;
    const QFileInfo file(chosen.first());
    if (!file.exists() && !Allowed(file)) return;
    QFileDialog::accept();
  }

 private:
  bool Allowed(const QFileInfo& file) {
    if (settings_.path_must_exist && !file.dir().exists()) {
      QMessageBox::warning(this, windowTitle(), file.path() + QStringLiteral("\n路径不存在。\n请检查路径是否正确。"));
      return false;
    }
    if (!settings_.prompt_create || acceptMode() != AcceptOpen) return true;
    const QString question = file.fileName() + QStringLiteral("\n该文件不存在。\n要创建该文件吗？");
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }

  const FileDialogSettings& settings_;
};

// A pair's patterns in Qt's notation: in parentheses after the description,
// separated by blanks. A pair without pattern filters by its description.
// The dialog hides the parentheses, so the user sees the description alone.
QStringList NameFilters(const FileDialogSettings& settings) {
  QStringList filters;
  for (const FilterPair& pair : SplitFilterList(FilterList(settings.filter))) {
    const QString description = ToQString(pair.description);
    QString patterns = pair.pattern.empty() ? description : ToQString(pair.pattern);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

// Open dialogs with the create prompt take any name and ask about a missing
// file themselves; without it, must-exist lets Qt refuse a missing file.
// Save dialogs take new names whatever must-exist says.
QFileDialog::FileMode ModeFor(const FileDialogSettings& settings) {
  const bool open = settings.kind == FileDialogSettings::Kind::kOpen;
  if (open && settings.file_must_exist && !settings.prompt_create) return QFileDialog::ExistingFile;
  return QFileDialog::AnyFile;
}

void Configure(QFileDialog& dialog, const FileDialogSettings& settings) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.prompt_overwrite);
  const bool open = settings.kind == FileDialogSettings::Kind::kOpen;
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(ModeFor(settings));
  if (!settings.title.empty()) dialog.setWindowTitle(ToQString(settings.title));
  const QStringList filters = NameFilters(settings);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int selected = SelectedFilter(settings);
    dialog.selectNameFilter(filters.value(selected - 1, filters.first()));
  }
  QString extension = ToQString(settings.default_extension);
  if (extension.startsWith(QLatin1Char('.'))) extension.remove(0, 1);
  if (!extension.isEmpty()) dialog.setDefaultSuffix(extension);
  if (!settings.initial_folder.empty()) dialog.setDirectory(ToQString(settings.initial_folder));
  // The last accepted name, in its folder.
  if (!settings.file_name.empty()) dialog.selectFile(ToQString(settings.file_name));
}

}  // namespace

bool RunQtFileDialog(QWidget* owner, FileDialogSettings& settings) {
  FileDialog dialog(owner, settings);
  Configure(dialog, settings);
  dialog.setWindowModality(Qt::ApplicationModal);
  {
    ModalScope scope;
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  settings.file_name = ToUtf8(QDir::toNativeSeparators(chosen.first()));
  // The accepted file's folder becomes the current one unless told otherwise,
  // so the next dialog without a name of its own starts there.
  if (!settings.no_change_folder) QDir::setCurrent(QFileInfo(chosen.first()).absolutePath());
  return true;
}

void ShowQtMessage(std::string_view caption, std::string_view text, MessageKind kind) {
  const QMessageBox::Icon icon = kind == MessageKind::kError ? QMessageBox::Critical : QMessageBox::NoIcon;
  QMessageBox box(icon, ToQString(caption), ToQtLines(text), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  ModalScope scope;
  box.exec();
}

}  // namespace pictorin
