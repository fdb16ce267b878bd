#include "platform/qt/fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QStringList>

namespace pictorin {

void MapSongFaces() {
  // WenQuanYi Micro Hei first: it draws the small Chinese texts clearly and
  // costs the least memory to load (AR PL UMing's bitmap tables alone add a
  // megabyte and more); the Song faces where it is missing.
  const QStringList faces = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"),
                             QStringLiteral("AR PL SungtiL GB"),    QStringLiteral("Noto Serif CJK SC"),
                             QStringLiteral("WenQuanYi Zen Hei"),   QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("Droid Sans Fallback")};
  QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
  QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
}

QFont DefaultGuiFont() {
  QFont font = QApplication::font();
  // The face the default family resolves to: a generic name such as
  // "Sans Serif" is no face of its own and would leave "宋体" to draw all.
  font.setFamilies({QFontInfo(font).family(), QStringLiteral("宋体")});
  return font;
}

QFont SimSunFont() {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

}  // namespace pictorin
