#include "platform/qt/conversions.h"

#include <bit>
#include <cstring>

#include <QPixmap>

namespace pictorin {

// Qt's 32-bit formats hold 0xAARRGGBB words; on a little-endian machine those
// lie in memory as blue, green, red, alpha, our rasters' byte order.
static_assert(std::endian::native == std::endian::little);

QString ToQtLines(std::string_view utf8) { return ToQString(utf8).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QImage WrapOpaque(Raster& raster) {
  for (std::size_t i = 3; i < raster.pixels.size(); i += 4) raster.pixels[i] = 0xFF;
  return QImage(raster.pixels.data(), raster.width, raster.height, raster.width * 4, QImage::Format_RGB32);
}

std::optional<Raster> RasterOf(const QImage& image) {
  const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
  auto raster = MakeRaster(opaque.width(), opaque.height());
  if (!raster) return std::nullopt;
  const std::size_t row_bytes = static_cast<std::size_t>(opaque.width()) * 4;
  for (int y = 0; y < opaque.height(); ++y) {
    std::memcpy(raster->pixels.data() + y * row_bytes, opaque.constScanLine(y), row_bytes);
  }
  for (std::size_t i = 3; i < raster->pixels.size(); i += 4) raster->pixels[i] = 0;
  return std::move(*raster);
}

QIcon IconOf(ByteView icon_file) {
  auto picture = DecodePicture(icon_file, kNoColour, false);
  if (!picture) return {};
  QImage image(picture->width, picture->height, QImage::Format_ARGB32);
  const std::vector<std::uint8_t>& pixels = picture->frames.front().pixels;
  const std::size_t row_bytes = static_cast<std::size_t>(picture->width) * 4;
  for (int y = 0; y < picture->height; ++y) {
    std::uint8_t* line = image.scanLine(y);
    std::memcpy(line, pixels.data() + y * row_bytes, row_bytes);
    // Our fourth byte counts transparency, Qt's counts opacity.
    for (std::size_t i = 3; i < row_bytes; i += 4) line[i] = static_cast<std::uint8_t>(255 - line[i]);
  }
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace pictorin
