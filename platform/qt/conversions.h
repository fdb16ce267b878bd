#pragma once
// Moving texts, rectangles and rasters between our types and Qt's.

#include <optional>
#include <string>
#include <string_view>

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>

#include "controls/control_host.h"
#include "imaging/bytes.h"
#include "imaging/picture.h"

namespace pictorin {

inline QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// Our message texts break lines with "\r\n"; Qt's labels want "\n" alone.
QString ToQtLines(std::string_view utf8);

inline QRect ToQRect(const Rect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }
inline Rect ToRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

inline QColor ToQColor(Colour colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                static_cast<int>(colour >> 16 & 0xFF));
}

// An opaque raster (blue, green, red, unused) as an image that shares its
// pixels: the raster must outlive the image. Sets every fourth byte to 255,
// which the image format takes for opaque.
QImage WrapOpaque(Raster& raster);

// An image's pixels as an opaque raster, top-down, each fourth byte 0.
std::optional<Raster> RasterOf(const QImage& image);

// The icon of an icon file decoded by our own reader; a null icon when the
// bytes hold no picture.
QIcon IconOf(ByteView icon_file);

}  // namespace pictorin
