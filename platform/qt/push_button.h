#pragma once
// The window's push buttons: never a default button, their text centred and
// wrapped onto more lines where one does not hold it.

#include <QPushButton>

namespace pictorin {

class PushButton final : public QPushButton {
 public:
  PushButton(const QString& text, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace pictorin
