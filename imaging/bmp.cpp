// BMP files: a 14-byte file header, a 40-byte information header, a colour
// table at offset 54 for 1, 4 and 8 bits, and uncompressed pixel rows.
#include "imaging/checked.h"
#include "imaging/dib.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

constexpr std::size_t kHeaderBytes = 54;

struct BmpHeader {
  std::uint32_t pixel_offset = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows stored top-down
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
};

Result<BmpHeader> ReadHeader(ByteView bytes) {
  if (bytes.size() < kHeaderBytes) return Failure::kTruncated;
  if (bytes[0] != 'B' || bytes[1] != 'M') return Failure::kUnknownFormat;
  return BmpHeader{*ReadU32(bytes, 10), *ReadI32(bytes, 18), *ReadI32(bytes, 22),
                   *ReadU16(bytes, 28), *ReadU32(bytes, 30), *ReadU32(bytes, 46)};
}

}  // namespace

Result<Raster> DecodeBmp(ByteView bytes) {
  auto header = ReadHeader(bytes);
  if (!header) return header.failure();
  if (header->compression != 0) return Failure::kUnsupportedCompression;
  auto entries = DibColourTableEntries(header->bits, header->colours_used);
  if (!entries) return entries.failure();
  auto table_bytes = CheckedProduct({*entries, 4});
  if (!table_bytes || !InBounds(bytes, kHeaderBytes, *table_bytes)) return Failure::kTruncated;
  if (header->pixel_offset < kHeaderBytes + *table_bytes) return Failure::kBadHeader;
  if (!InBounds(bytes, header->pixel_offset, 0)) return Failure::kTruncated;
  // Widened before taking the magnitude, so that INT32_MIN cannot overflow.
  const std::int64_t width = header->width, height = header->height;
  const Dib dib{width < 0 ? -width : width, height < 0 ? -height : height, header->bits, height > 0,
                bytes.subspan(kHeaderBytes, *table_bytes), bytes.subspan(header->pixel_offset)};
  return ReadDibColours(dib);
}

}  // namespace pictorin
