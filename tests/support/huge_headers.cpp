#include "tests/support/huge_headers.h"

#include <zlib.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "tests/support/encoders.h"
#include "tests/support/gif_builder.h"
#include "tests/support/little_endian.h"

namespace pictorin::test {
namespace {

void AppendU32BigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A 14-byte file header and a 40-byte information header, then data bytes,
// of which the colour table is the first 4 × 2^bits for bits up to 8.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint16_t bits, std::size_t data) {
  Bytes bmp = {'B', 'M'};
  AppendU32(bmp, static_cast<std::uint32_t>(54 + data));
  AppendU32(bmp, 0);
  AppendU32(bmp, 54 + (bits <= 8 ? 4u << bits : 0u));
  for (std::uint32_t field : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
    AppendU32(bmp, field);
  }
  AppendU16(bmp, 1);
  AppendU16(bmp, bits);
  for (int i = 0; i < 6; ++i) AppendU32(bmp, 0);
  bmp.resize(bmp.size() + data, 0x5A);
  return bmp;
}

// A 128-byte header with the edges, then a few run-length coded bytes.
Bytes Pcx(std::uint8_t bits, std::uint16_t right, std::uint16_t bottom, std::uint16_t bytes_per_line) {
  constexpr std::uint8_t kRuns[] = {0xFF, 0x00, 0xFF, 0x00, 0xC1, 0x07};
  Bytes pcx(128 + sizeof kRuns, 0);
  std::copy(std::begin(kRuns), std::end(kRuns), pcx.begin() + 128);
  pcx[0] = 0x0A, pcx[1] = bits == 1 ? 3 : 5, pcx[2] = 1, pcx[3] = bits;
  pcx[8] = static_cast<std::uint8_t>(right), pcx[9] = static_cast<std::uint8_t>(right >> 8);
  pcx[10] = static_cast<std::uint8_t>(bottom), pcx[11] = static_cast<std::uint8_t>(bottom >> 8);
  pcx[65] = 1;
  pcx[66] = static_cast<std::uint8_t>(bytes_per_line), pcx[67] = static_cast<std::uint8_t>(bytes_per_line >> 8);
  return pcx;
}

// An icon directory of one entry that holds size bytes at offset 22, then
// the bytes given.
Bytes Icon(std::uint32_t size, const Bytes& entry) {
  Bytes icon;
  for (std::uint16_t field : {0, 1, 1}) AppendU16(icon, field);
  icon.insert(icon.end(), {0, 0, 0, 0});  // 256 × 256, no colour count
  AppendU16(icon, 1);
  AppendU16(icon, 32);
  AppendU32(icon, size);
  AppendU32(icon, 22);
  icon.insert(icon.end(), entry.begin(), entry.end());
  return icon;
}

// An icon entry's bitmap header; the height counts the colour image and the mask.
Bytes IconBitmap(std::int32_t width, std::int32_t height) {
  Bytes header;
  for (std::uint32_t field : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height * 2)}) {
    AppendU32(header, field);
  }
  AppendU16(header, 1);
  AppendU16(header, 32);
  for (int i = 0; i < 6; ++i) AppendU32(header, 0);
  header.resize(header.size() + 64, 0x33);
  return header;
}

void AppendChunk(Bytes& png, const std::string& type, const Bytes& data) {
  AppendU32BigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  AppendU32BigEndian(png, static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

// An RGBA PNG with correct checksums whose image data are 64 zero bytes, compressed.
Bytes Png(std::uint32_t width, std::uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  AppendU32BigEndian(header, width);
  AppendU32BigEndian(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  const Bytes rows(64, 0);
  Bytes data(compressBound(rows.size()));
  uLongf length = data.size();
  compress(data.data(), &length, rows.data(), rows.size());
  data.resize(length);
  AppendChunk(png, "IDAT", data);
  AppendChunk(png, "IEND", {});
  return png;
}

// A small baseline JPEG whose frame header declares another size.
Bytes Jpeg(int width, int height) {
  Bytes jpeg = EncodeJpeg({.width = 16, .height = 16, .sample = [](int x, int y, int c) {
                             return static_cast<std::uint16_t>((x * 16 + y * 4 + c * 80) & 0xFF);
                           }});
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8), jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8), jpeg[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  }
  return jpeg;
}

// A logical screen of the size with several 1 × 1 images.
Bytes Gif(int width, int height) {
  const std::vector<Colour> table = {0, 0x00FFFFFF};
  GifBuilder gif(width, height, table);
  GifImageSpec image;
  image.width = image.height = 1;
  image.indices = {1};
  image.min_code_size = 2;
  for (int i = 0; i < 4; ++i) gif.Control(0, 1).Image(image);
  return gif.Trailer().bytes();
}

}  // namespace

std::vector<HugeHeaderCase> HugeHeaderCases() {
  return {
      {"bmp_100000x100000_32_bits", Bmp(100000, 100000, 32, 16), Failure::kTruncated},
      {"bmp_100000x-100000_8_bits", Bmp(100000, -100000, 8, 1024 + 16), Failure::kTruncated},
      {"gif_screen_65535x65535_4_images", Gif(65535, 65535), Failure::kTooLarge},
      {"pcx_8_bits_edges_0_to_65535", Pcx(8, 0xFFFF, 0xFFFF, 0xFFFF), Failure::kBadHeader},
      {"pcx_1_bit_edges_0_to_65535", Pcx(1, 0xFFFF, 0xFFFF, 0xFFFF), Failure::kTruncated},
      {"ico_entry_of_4_gib", Icon(0xFFFFFFF0, IconBitmap(16, 16)), Failure::kTruncated},
      {"ico_bitmap_65536x65536", Icon(104, IconBitmap(65536, 65536)), Failure::kTooLarge},
      {"ico_bitmap_8000x8000", Icon(104, IconBitmap(8000, 8000)), Failure::kTruncated},
      {"png_ihdr_2^31-1_squared", Png(0x7FFFFFFF, 0x7FFFFFFF), Failure::kCorruptData},
      {"png_16000x16000_64_bytes_of_rows", Png(16000, 16000), Failure::kCorruptData},
      {"jpeg_65500x65500", Jpeg(65500, 65500), Failure::kTooLarge},
      {"jpeg_16000x16000_in_a_small_file", Jpeg(16000, 16000), Failure::kTruncated},
  };
}

}  // namespace pictorin::test
