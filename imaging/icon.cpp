// Icon and cursor files: a directory of entries, each a bitmap (colour image
// and 1-bit AND mask, or colour with alpha at 32 bits) or a PNG file.
#include <algorithm>
#include <array>

#include "imaging/checked.h"
#include "imaging/dib.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// The first entry 32 pixels wide with at least 16 colours, else the last one.
std::size_t ChooseEntry(ByteView entries, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i * kEntryBytes] == 32 && entries[i * kEntryBytes + 2] >= 16) return i;
  }
  return count - 1;
}

// The image data of the chosen entry.
Result<ByteView> ChosenEntryData(ByteView bytes) {
  if (bytes.size() < kDirectoryBytes) return Failure::kTruncated;
  const std::uint16_t type = *ReadU16(bytes, 2), count = *ReadU16(bytes, 4);
  const bool wrong = *ReadU16(bytes, 0) != 0 || (type != 1 && type != 2) || count == 0;
  if (wrong) return Failure::kBadHeader;
  auto directory = CheckedProduct({count, kEntryBytes});
  if (!directory || !InBounds(bytes, kDirectoryBytes, *directory)) return Failure::kTruncated;
  const std::size_t entry = kDirectoryBytes + ChooseEntry(bytes.subspan(kDirectoryBytes), count) * kEntryBytes;
  const std::uint32_t size = *ReadU32(bytes, entry + 8), offset = *ReadU32(bytes, entry + 12);
  if (!InBounds(bytes, offset, size)) return Failure::kTruncated;
  return bytes.subspan(offset, size);
}

// An entry's bitmap: the colour image, bottom-up, then the AND mask. The
// header's height counts both.
struct IconDib {
  Dib colours;
  Dib mask;
};

Result<IconDib> ReadIconDib(ByteView entry) {
  if (entry.size() < kInfoHeaderBytes) return Failure::kTruncated;
  const std::uint32_t header_bytes = *ReadU32(entry, 0);
  const std::int64_t width = *ReadI32(entry, 4), height = *ReadI32(entry, 8) / 2;
  const std::uint16_t bits = *ReadU16(entry, 14);
  if (header_bytes < kInfoHeaderBytes || width < 1 || height < 1) return Failure::kBadHeader;
  if (*ReadU32(entry, 16) != 0) return Failure::kUnsupportedCompression;
  if (!RasterBytes(width, height, 5)) return Failure::kTooLarge;  // colour raster and mask
  auto entries = DibColourTableEntries(bits, *ReadU32(entry, 32));
  if (!entries) return entries.failure();
  auto table_bytes = CheckedProduct({*entries, 4});
  if (!table_bytes || !InBounds(entry, header_bytes, *table_bytes)) return Failure::kTruncated;
  const ByteView rows = entry.subspan(header_bytes + *table_bytes);
  auto stride = DibStride(width, bits);
  auto image_bytes = stride ? CheckedProduct({static_cast<std::int64_t>(*stride), height}) : std::nullopt;
  if (!image_bytes || !InBounds(rows, 0, *image_bytes)) return Failure::kTruncated;
  return IconDib{Dib{width, height, bits, true, entry.subspan(header_bytes, *table_bytes), rows},
                 Dib{width, height, 1, true, {}, rows.subspan(*image_bytes)}};
}

bool AnyNonZero(const std::vector<std::uint8_t>& values) {
  return std::any_of(values.begin(), values.end(), [](std::uint8_t v) { return v != 0; });
}

// 32-bit entries are drawn through their alpha, unless every alpha byte is 0:
// older 32-bit icons leave alpha unset and rely on the AND mask.
Result<IconMask> ReadMask(const IconDib& dib) {
  if (dib.colours.bits == 32) {
    auto alpha = ReadDibValues(dib.colours);
    if (!alpha) return alpha.failure();
    if (AnyNonZero(*alpha)) return IconMask{MaskKind::kAlpha, std::move(*alpha)};
  }
  auto bits = ReadDibValues(dib.mask);
  if (!bits) return bits.failure();
  return IconMask{MaskKind::kBits, std::move(*bits)};
}

Result<StillPicture> DecodeDibEntry(ByteView entry, PictureFormat format) {
  auto dib = ReadIconDib(entry);
  if (!dib) return dib.failure();
  auto mask = ReadMask(*dib);
  if (!mask) return mask.failure();
  auto colour = ReadDibColours(dib->colours);
  if (!colour) return colour.failure();
  return StillPicture{format, std::move(*colour), std::move(*mask)};
}

// A PNG entry: its colours opaque, its alpha (255 − transparency) as the mask.
Result<StillPicture> DecodePngEntry(ByteView entry, PictureFormat format) {
  auto png = DecodePng(entry);
  if (!png) return png.failure();
  if (png->frames.empty()) return Failure::kNoImage;
  auto mask_bytes = RasterBytes(png->width, png->height, 1);
  if (!mask_bytes) return Failure::kTooLarge;
  StillPicture still{format, Raster{png->width, png->height, std::move(png->frames.front().pixels)},
                     IconMask{MaskKind::kAlpha, std::vector<std::uint8_t>(*mask_bytes)}};
  for (std::size_t i = 0; i < *mask_bytes; ++i) {
    std::uint8_t& transparency = still.colour.pixels[i * 4 + 3];
    still.mask.values[i] = static_cast<std::uint8_t>(255 - transparency);
    transparency = 0;
  }
  return still;
}

bool IsPng(ByteView entry) {
  return entry.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), entry.begin());
}

}  // namespace

Result<StillPicture> DecodeIcon(ByteView bytes, PictureFormat format) {
  auto entry = ChosenEntryData(bytes);
  if (!entry) return entry.failure();
  return IsPng(*entry) ? DecodePngEntry(*entry, format) : DecodeDibEntry(*entry, format);
}

}  // namespace pictorin
