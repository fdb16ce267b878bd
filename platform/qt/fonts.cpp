#include "platform/qt/fonts.h"

#include <QStringList>

namespace pictorin {

void MapSongFaces() {
  // Song faces first, then CJK faces of any style, as Debian names them.
  const QStringList faces = {QStringLiteral("AR PL UMing CN"),     QStringLiteral("AR PL SungtiL GB"),
                             QStringLiteral("Noto Serif CJK SC"),  QStringLiteral("WenQuanYi Micro Hei"),
                             QStringLiteral("WenQuanYi Zen Hei"),  QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("Droid Sans Fallback")};
  QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
  QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
}

QFont SimSunFont() {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

}  // namespace pictorin
