#include "imaging/picture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "imaging/checked.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

bool StartsWith(ByteView bytes, std::initializer_list<std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool IsGifSignature(ByteView bytes) {
  return bytes.size() >= 6 && StartsWith(bytes, {0x47, 0x49, 0x46, 0x38}) &&
         (bytes[4] == 0x37 || bytes[4] == 0x39) && bytes[5] == 0x61;
}

bool IsPngSignature(ByteView bytes) {
  return bytes.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

// The directory of an icon or cursor file: type, then a count above 0.
bool IsIconDirectory(ByteView bytes, std::uint8_t type) {
  return StartsWith(bytes, {0x00, 0x00, type, 0x00}) && (bytes[4] | bytes[5] << 8) > 0;
}

// Runs a decode, turning exhausted memory into a failure, so that no
// exception leaves the imaging module.
template <typename T, typename F>
Result<T> Guarded(F&& decode) {
  try {
    return decode();
  } catch (const std::bad_alloc&) {
    return Failure::kOutOfMemory;
  }
}

std::uint8_t Blend(std::uint8_t over, std::uint8_t under, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

// Icon pixels over a background: a 1-bit mask keeps the colour where it is 0
// and XORs the background with it where it is 1; alpha blends.
void DrawThroughMask(const StillPicture& still, Colour background, Raster& out) {
  const std::uint8_t bg[3] = {static_cast<std::uint8_t>(background >> 16),
                              static_cast<std::uint8_t>(background >> 8),
                              static_cast<std::uint8_t>(background)};
  const auto& colour = still.colour.pixels;
  for (std::size_t i = 0; i < still.mask.values.size(); ++i) {
    const std::uint8_t m = still.mask.values[i];
    for (int c = 0; c < 3; ++c) {
      const std::uint8_t value = colour[i * 4 + c];
      out.pixels[i * 4 + c] = still.mask.kind == MaskKind::kBits
                                  ? static_cast<std::uint8_t>(m ? bg[c] ^ value : value)
                                  : Blend(value, bg[c], m);
    }
    out.pixels[i * 4 + 3] = 0;
  }
}

// The frame of a still raster: its pixels with transparency 0.
Picture SingleFrame(Raster raster) {
  Picture picture{raster.width, raster.height, {}};
  picture.frames.push_back(Frame{std::move(raster.pixels), kNoColour, 0});
  return picture;
}

void ApplyTransparentColour(Picture& picture, Colour transparent, bool automatic) {
  for (Frame& frame : picture.frames) {
    frame.transparent = automatic ? MakeColour(frame.pixels[2], frame.pixels[1], frame.pixels[0])
                                  : transparent;
  }
}

}  // namespace

Result<Raster> MakeRaster(std::int64_t width, std::int64_t height) {
  auto size = RasterBytes(width, height, 4);
  if (!size) return width < 1 || height < 1 ? Failure::kBadHeader : Failure::kTooLarge;
  return Guarded<Raster>([&]() -> Result<Raster> {
    return Raster{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                  std::vector<std::uint8_t>(*size)};
  });
}

PictureFormat DetectPictureFormat(ByteView bytes) {
  if (bytes.size() < 6) return PictureFormat::kUnknown;
  if (StartsWith(bytes, {0x42, 0x4D})) return PictureFormat::kBmp;
  if (StartsWith(bytes, {0xFF, 0xD8})) return PictureFormat::kJpeg;
  if (IsIconDirectory(bytes, 0x01)) return PictureFormat::kIcon;
  if (IsIconDirectory(bytes, 0x02)) return PictureFormat::kCursor;
  if (IsGifSignature(bytes)) return PictureFormat::kGif;
  if (bytes[0] == 0x0A && bytes[1] <= 5 && bytes[2] == 0x01 && bytes[3] == 0x08) {
    return PictureFormat::kPcx8;
  }
  if (StartsWith(bytes, {0x0A, 0x03, 0x01, 0x01})) return PictureFormat::kPcx1;
  return PictureFormat::kUnknown;
}

Result<StillPicture> LoadStillPicture(ByteView bytes) {
  const PictureFormat format = DetectPictureFormat(bytes);
  auto still = [format](Result<Raster> raster) -> Result<StillPicture> {
    if (!raster) return raster.failure();
    return StillPicture{format, std::move(*raster), {}};
  };
  return Guarded<StillPicture>([&]() -> Result<StillPicture> {
    switch (format) {
      case PictureFormat::kJpeg: return still(DecodeJpeg(bytes));
      case PictureFormat::kBmp: return still(DecodeBmp(bytes));
      case PictureFormat::kIcon:
      case PictureFormat::kCursor: return DecodeIcon(bytes, format);
      case PictureFormat::kGif: return still(DecodeGifFirstImage(bytes));
      case PictureFormat::kPcx8:
      case PictureFormat::kPcx1: return still(DecodePcx(bytes));
      case PictureFormat::kUnknown: break;
    }
    return bytes.empty() ? Failure::kEmpty : Failure::kUnknownFormat;
  });
}

Result<Raster> DrawStillPicture(const StillPicture& still, Colour background) {
  return Guarded<Raster>([&]() -> Result<Raster> {
    if (still.mask.kind == MaskKind::kNone) return still.colour;
    Raster out = still.colour;
    DrawThroughMask(still, background, out);
    return out;
  });
}

Result<Raster> RenderPictureBitmap(ByteView bytes) {
  auto still = LoadStillPicture(bytes);
  if (!still) return still.failure();
  if (still->mask.kind == MaskKind::kNone) return std::move(still->colour);
  return DrawStillPicture(*still, MakeColour(255, 255, 255));
}

Result<Picture> DecodePicture(ByteView bytes, Colour transparent, bool automatic) {
  if (bytes.empty()) return Failure::kEmpty;
  Result<Picture> picture = Guarded<Picture>([&]() -> Result<Picture> {
    if (IsGifSignature(bytes)) return ComposeGifFrames(bytes);
    if (IsPngSignature(bytes)) return DecodePng(bytes);
    auto raster = RenderPictureBitmap(bytes);
    if (!raster) return raster.failure();
    return SingleFrame(std::move(*raster));
  });
  if (!picture) return picture;
  if (picture->width < 1 || picture->height < 1 || picture->frames.empty()) return Failure::kNoImage;
  ApplyTransparentColour(*picture, transparent, automatic);
  return picture;
}

}  // namespace pictorin
