#include "platform/qt/push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace pictorin {

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAutoDefault(false);
  setDefault(false);
  setFocusPolicy(Qt::StrongFocus);
}

// The style draws the button without its text; the text follows, wrapped
// where it does not fit the button's contents rectangle.
void PushButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  const QRect text_box = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  painter.drawItemText(text_box, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                       QPalette::ButtonText);
}

}  // namespace pictorin
