#pragma once
// The modal boxes the handlers run: file dialogs on Qt's own dialog, so they
// behave alike on every desktop, and message boxes with one OK button.

#include <string_view>

#include <QWidget>

#include "app/platform.h"
#include "io/file_dialog.h"

namespace pictorin {

// Runs the dialog the settings describe over the owner, which takes no input
// meanwhile and has its focused control back afterwards. On OK the settings'
// file_name holds the accepted full path and the result is true.
bool RunQtFileDialog(QWidget* owner, FileDialogSettings& settings);

// An application-modal box without owner; returns when it is closed.
void ShowQtMessage(std::string_view caption, std::string_view text, MessageKind kind);

}  // namespace pictorin
