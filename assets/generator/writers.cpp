#include "assets/generator/writers.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace pictorin::artwork {
namespace {

// The generator is a tool run by hand: a library that refuses ends the run.
[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "pictorin-asset-generator: %s\n", what);
  std::exit(1);
}

void PutBig32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutLittle(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes Deflate(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    Fail("zlib refused the profile");
  }
  out.resize(size);
  return out;
}

// --- PNG ---

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

[[noreturn]] void PngError(png_structp, png_const_charp message) { Fail(message); }

struct PngWriter {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, nullptr);
  png_infop info = png_create_info_struct(png);
  ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

// --- JPEG ---

struct JpegWriter {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error{};
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  ~JpegWriter() {
    jpeg_destroy_compress(&cinfo);
    std::free(out);
  }
};

[[noreturn]] void JpegError(j_common_ptr) { Fail("libjpeg refused the picture"); }

// "Exif", then a little-endian TIFF header and IFD0 with one entry: the
// orientation, 1 (rows top to bottom, columns left to right).
Bytes ExifSegment() {
  Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
  PutLittle(exif, 8, 4);       // IFD0 right after the header
  PutLittle(exif, 1, 2);       // one entry
  PutLittle(exif, 0x0112, 2);  // orientation
  PutLittle(exif, 3, 2);       // SHORT
  PutLittle(exif, 1, 4);       // one value
  PutLittle(exif, 1, 4);       // the value, padded to four bytes
  PutLittle(exif, 0, 4);       // no further IFD
  return exif;
}

void SetUpJpeg(JpegWriter& writer, const Raster& raster, int quality) {
  writer.cinfo.err = jpeg_std_error(&writer.error);
  writer.error.error_exit = JpegError;
  jpeg_create_compress(&writer.cinfo);
  jpeg_mem_dest(&writer.cinfo, &writer.out, &writer.out_size);
  writer.cinfo.image_width = static_cast<JDIMENSION>(raster.width);
  writer.cinfo.image_height = static_cast<JDIMENSION>(raster.height);
  writer.cinfo.input_components = 3;
  writer.cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&writer.cinfo);
  jpeg_set_quality(&writer.cinfo, quality, TRUE);
  writer.cinfo.write_JFIF_header = FALSE;
  writer.cinfo.optimize_coding = TRUE;
  for (int c = 0; c < 3; ++c) {  // no chroma subsampling: the picture is small
    writer.cinfo.comp_info[c].h_samp_factor = 1;
    writer.cinfo.comp_info[c].v_samp_factor = 1;
  }
}

// --- ICO ---

constexpr int kIconHeaderSize = 6 + 16 + 40;

std::size_t MaskStride(int width) { return static_cast<std::size_t>((width + 31) / 32 * 4); }

void PutIconHeaders(Bytes& out, const Image& image, std::uint32_t image_bytes) {
  PutLittle(out, 0, 2);
  PutLittle(out, 1, 2);  // icon
  PutLittle(out, 1, 2);  // one image
  out.push_back(static_cast<std::uint8_t>(image.width));
  out.push_back(static_cast<std::uint8_t>(image.height));
  PutLittle(out, 0, 2);   // no palette, reserved
  PutLittle(out, 1, 2);   // planes
  PutLittle(out, 32, 2);  // bits per pixel
  PutLittle(out, 40 + image_bytes, 4);
  PutLittle(out, 6 + 16, 4);
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint32_t>(image.width), 4);
  PutLittle(out, static_cast<std::uint32_t>(image.height * 2), 4);  // colour rows and mask rows
  PutLittle(out, 1, 2);
  PutLittle(out, 32, 2);
  PutLittle(out, 0, 4);
  PutLittle(out, image_bytes, 4);
  for (int i = 0; i < 4; ++i) PutLittle(out, 0, 4);
}

}  // namespace

PngChunk PhysChunk() {
  Bytes data;
  PutBig32(data, 2835);
  PutBig32(data, 2835);
  data.push_back(1);  // the unit is the metre
  return {"pHYs", data};
}

PngChunk IccpChunk(const Bytes& profile) {
  Bytes data = {'s', 'R', 'G', 'B', 0, 0};  // name, terminator, deflate
  const Bytes packed = Deflate(profile);
  data.insert(data.end(), packed.begin(), packed.end());
  return {"iCCP", data};
}

PngChunk ChrmChunk() {
  Bytes data;
  for (std::uint32_t value : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u}) {
    PutBig32(data, value);
  }
  return {"cHRM", data};
}

Bytes EncodePng(const Image& image, const std::vector<PngChunk>& chunks) {
  Bytes out;
  PngWriter writer;
  png_set_write_fn(writer.png, &out, AppendToBytes, nullptr);
  png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(writer.png, 9);
  png_write_info(writer.png, writer.info);
  for (const PngChunk& chunk : chunks) {
    png_write_chunk(writer.png, reinterpret_cast<png_const_bytep>(chunk.name.c_str()), chunk.data.data(),
                    chunk.data.size());
  }
  for (int y = 0; y < image.height; ++y) {
    png_write_row(writer.png, reinterpret_cast<png_const_bytep>(&image.pixels[static_cast<std::size_t>(y) * image.width]));
  }
  png_write_end(writer.png, nullptr);
  return out;
}

Bytes EncodeJpegWithExif(const Raster& raster, int quality) {
  JpegWriter writer;
  SetUpJpeg(writer, raster, quality);
  jpeg_start_compress(&writer.cinfo, TRUE);
  const Bytes exif = ExifSegment();
  jpeg_write_marker(&writer.cinfo, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
  std::vector<JSAMPLE> row(static_cast<std::size_t>(raster.width) * 3);
  for (int y = 0; y < raster.height; ++y) {
    const std::uint8_t* in = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width * 4;
    for (int x = 0; x < raster.width; ++x) {
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = in[x * 4 + 2 - c];  // blue, green, red to RGB
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&writer.cinfo, rows, 1);
  }
  jpeg_finish_compress(&writer.cinfo);
  return Bytes(writer.out, writer.out + writer.out_size);
}

Bytes EncodeBmp(const Raster& raster) {
  const std::size_t stride = static_cast<std::size_t>((raster.width * 24 + 31) / 32 * 4);
  const auto image_size = static_cast<std::uint32_t>(stride * raster.height);
  Bytes out = {'B', 'M'};
  PutLittle(out, 54 + image_size, 4);
  PutLittle(out, 0, 4);
  PutLittle(out, 54, 4);
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint32_t>(raster.width), 4);
  PutLittle(out, static_cast<std::uint32_t>(raster.height), 4);  // positive: bottom-up
  PutLittle(out, 1, 2);
  PutLittle(out, 24, 2);
  PutLittle(out, 0, 4);
  PutLittle(out, image_size, 4);
  for (int i = 0; i < 4; ++i) PutLittle(out, 0, 4);
  for (int y = raster.height - 1; y >= 0; --y) {
    const std::uint8_t* in = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width * 4;
    for (int x = 0; x < raster.width; ++x) out.insert(out.end(), in + x * 4, in + x * 4 + 3);
    out.resize(out.size() + stride - static_cast<std::size_t>(raster.width) * 3, 0);
  }
  return out;
}

Bytes EncodeIcon(const Image& image) {
  const std::size_t mask_stride = MaskStride(image.width);
  const auto image_bytes =
      static_cast<std::uint32_t>(image.pixels.size() * 4 + mask_stride * image.height);
  Bytes out;
  out.reserve(kIconHeaderSize + image_bytes);
  PutIconHeaders(out, image, image_bytes);
  Bytes mask(mask_stride * image.height, 0);
  for (int y = image.height - 1, row = 0; y >= 0; --y, ++row) {
    for (int x = 0; x < image.width; ++x) {
      const Rgba& p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      out.insert(out.end(), {p.blue, p.green, p.red, p.alpha});
      // Set where nothing is drawn, so readers without alpha leave the ground alone.
      if (p.alpha == 0) mask[row * mask_stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

}  // namespace pictorin::artwork
