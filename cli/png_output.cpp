#include "cli/png_output.h"

#include <png.h>

#include <vector>

namespace pictorin::cli {
namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// Encodes rows of 8-bit RGB (channels 3) or RGBA (channels 4) samples.
// The rows come from the caller's pixel layout through convert(row, out).
template <typename Convert>
Bytes EncodePng(std::int32_t width, std::int32_t height, int channels, Convert convert) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return {};
  }
  std::vector<png_byte> row(static_cast<std::size_t>(width) * channels);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendToBytes, FlushNothing);
  png_set_IHDR(png, info, width, height, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (std::int32_t y = 0; y < height; ++y) {
    convert(y, row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace

Bytes EncodeFramePng(std::int32_t width, std::int32_t height, const Frame& frame) {
  return EncodePng(width, height, 4, [&](std::int32_t y, png_byte* out) {
    const std::uint8_t* in = frame.pixels.data() + static_cast<std::size_t>(y) * width * 4;
    for (std::int32_t x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = static_cast<png_byte>(255 - in[3]);
    }
  });
}

Bytes EncodeRasterPng(const Raster& raster) {
  return EncodePng(raster.width, raster.height, 3, [&](std::int32_t y, png_byte* out) {
    const std::uint8_t* in = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width * 4;
    for (std::int32_t x = 0; x < raster.width; ++x, in += 4, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  });
}

}  // namespace pictorin::cli
