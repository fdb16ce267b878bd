// PCX files with 8 bits or 1 bit per pixel in one plane: a 128-byte header,
// run-length encoded rows, and for 8 bits a 256-colour table at the end of
// the file after a marker byte 12.
#include <algorithm>

#include "imaging/checked.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kPaletteBytes = 769;  // the marker, then 256 red, green, blue triples
constexpr std::uint8_t kPaletteMarker = 12;
constexpr std::int64_t kLongestRun = 63;    // the most bytes one encoded byte can yield

struct PcxContext {
  std::int64_t width = 0;
  std::int64_t height = 0;
  int bits = 0;                   // 1 or 8
  std::size_t bytes_per_line = 0; // stored row length
  ByteView palette;               // 8 bits: 768 bytes, or empty for a grey ramp
  ByteView data;                  // the encoded rows
  std::size_t next = 0;           // next encoded byte
  std::uint8_t value = 0;         // byte of the current run
  std::size_t run = 0;            // bytes left in the current run
};

// The 256-colour table when the file ends with one; the encoded rows stop before it.
void FindPalette(ByteView bytes, PcxContext& pcx) {
  pcx.data = bytes.subspan(kHeaderBytes);
  if (pcx.bits != 8 || bytes.size() < kHeaderBytes + kPaletteBytes) return;
  const std::size_t marker = bytes.size() - kPaletteBytes;
  if (bytes[marker] != kPaletteMarker) return;
  pcx.palette = bytes.subspan(marker + 1);
  pcx.data = bytes.subspan(kHeaderBytes, marker - kHeaderBytes);
}

Result<PcxContext> ReadHeader(ByteView bytes) {
  if (bytes.size() <= kHeaderBytes) return Failure::kTruncated;
  if (bytes[0] != 0x0A) return Failure::kUnknownFormat;
  if (bytes[1] > 5) return Failure::kBadHeader;
  if (bytes[2] != 1) return Failure::kUnsupportedCompression;
  const std::int64_t left = *ReadU16(bytes, 4), top = *ReadU16(bytes, 6);
  const std::int64_t right = *ReadU16(bytes, 8), bottom = *ReadU16(bytes, 10);
  if (right < left || bottom < top) return Failure::kBadHeader;
  PcxContext pcx;
  pcx.width = right - left + 1;
  pcx.height = bottom - top + 1;
  pcx.bits = bytes[3];
  pcx.bytes_per_line = *ReadU16(bytes, 66);
  if (bytes[65] != 1 || (pcx.bits != 1 && pcx.bits != 8)) return Failure::kUnsupportedBitDepth;
  const std::int64_t row_bytes = pcx.bits == 8 ? pcx.width : (pcx.width + 7) / 8;
  if (static_cast<std::int64_t>(pcx.bytes_per_line) < row_bytes) return Failure::kBadHeader;
  FindPalette(bytes, pcx);
  return pcx;
}

// Starts the next run; false when the encoded data end.
bool NextRun(PcxContext& pcx) {
  if (pcx.next >= pcx.data.size()) return false;
  const std::uint8_t code = pcx.data[pcx.next++];
  pcx.run = 1;
  pcx.value = code;
  if ((code & 0xC0) != 0xC0) return true;
  if (pcx.next >= pcx.data.size()) return false;
  pcx.run = code & 0x3F;
  pcx.value = pcx.data[pcx.next++];
  return true;
}

// Fills row with the next decoded bytes; runs may continue into the next row.
bool DecodeRow(PcxContext& pcx, std::vector<std::uint8_t>& row) {
  for (auto out = row.begin(); out != row.end();) {
    if (pcx.run == 0 && !NextRun(pcx)) return false;
    const std::size_t count = std::min<std::size_t>(pcx.run, row.end() - out);
    out = std::fill_n(out, count, pcx.value);
    pcx.run -= count;
  }
  return true;
}

void ConvertRow(const PcxContext& pcx, const std::vector<std::uint8_t>& row, std::uint8_t* out) {
  for (std::int64_t x = 0; x < pcx.width; ++x, out += 4) {
    if (pcx.bits == 1) {
      std::fill_n(out, 3, (row[x / 8] >> (7 - x % 8) & 1) ? 255 : 0);
    } else if (pcx.palette.empty()) {
      std::fill_n(out, 3, row[x]);
    } else {
      const std::uint8_t* rgb = pcx.palette.data() + row[x] * 3;
      out[0] = rgb[2], out[1] = rgb[1], out[2] = rgb[0];
    }
  }
}

}  // namespace

Result<Raster> DecodePcx(ByteView bytes) {
  auto pcx = ReadHeader(bytes);
  if (!pcx) return pcx.failure();
  // Refuse before allocating when the encoded data cannot yield every row.
  auto stored = CheckedProduct({static_cast<std::int64_t>(pcx->bytes_per_line), pcx->height});
  auto most = CheckedProduct({static_cast<std::int64_t>(pcx->data.size()), kLongestRun});
  if (!stored || !most || *stored > *most) return Failure::kTruncated;
  auto raster = MakeRaster(pcx->width, pcx->height);
  if (!raster) return raster.failure();
  std::vector<std::uint8_t> row(pcx->bytes_per_line);
  const std::size_t out_stride = static_cast<std::size_t>(pcx->width) * 4;
  for (std::int64_t y = 0; y < pcx->height; ++y) {
    if (!DecodeRow(*pcx, row)) return Failure::kTruncated;
    ConvertRow(*pcx, row, raster->pixels.data() + y * out_stride);
  }
  return raster;
}

}  // namespace pictorin
