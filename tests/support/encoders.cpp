#include "tests/support/encoders.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

namespace pictorin::test {
namespace {

// --- JPEG ---

struct JpegWriter {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error{};
  std::jmp_buf jump{};
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  std::vector<JSAMPLE> row;
  ~JpegWriter() {
    jpeg_destroy_compress(&cinfo);
    std::free(out);
  }
};

void JpegErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegWriter*>(cinfo->client_data)->jump, 1);
}

void JpegSilent(j_common_ptr) {}

J_COLOR_SPACE JpegColourSpace(int components) {
  switch (components) {
    case 1: return JCS_GRAYSCALE;
    case 3: return JCS_RGB;
    case 4: return JCS_CMYK;
    default: return JCS_UNKNOWN;
  }
}

void SetUpJpeg(JpegWriter& writer, const JpegOptions& options) {
  jpeg_create_compress(&writer.cinfo);
  jpeg_mem_dest(&writer.cinfo, &writer.out, &writer.out_size);
  writer.cinfo.image_width = static_cast<JDIMENSION>(options.width);
  writer.cinfo.image_height = static_cast<JDIMENSION>(options.height);
  writer.cinfo.input_components = options.components;
  writer.cinfo.in_color_space = JpegColourSpace(options.components);
  jpeg_set_defaults(&writer.cinfo);
  jpeg_set_quality(&writer.cinfo, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&writer.cinfo);
}

void WriteJpegRows(JpegWriter& writer, const JpegOptions& options) {
  jpeg_start_compress(&writer.cinfo, TRUE);
  for (int y = 0; y < options.height; ++y) {
    for (int x = 0; x < options.width; ++x) {
      for (int c = 0; c < options.components; ++c) {
        writer.row[static_cast<std::size_t>(x * options.components + c)] =
            static_cast<JSAMPLE>(options.sample(x, y, c));
      }
    }
    JSAMPROW row = writer.row.data();
    jpeg_write_scanlines(&writer.cinfo, &row, 1);
  }
  jpeg_finish_compress(&writer.cinfo);
}

bool RunJpegWriter(JpegWriter& writer, const JpegOptions& options) {
  if (setjmp(writer.jump) != 0) return false;
  SetUpJpeg(writer, options);
  WriteJpegRows(writer, options);
  return true;
}

// --- PNG ---

struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::jmp_buf jump{};
  Bytes out;
  std::vector<std::vector<png_byte>> rows;
  std::vector<png_bytep> row_pointers;
  std::vector<png_color> palette;
  ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

void PngError(png_structp png, png_const_charp) {
  std::longjmp(static_cast<PngWriter*>(png_get_error_ptr(png))->jump, 1);
}

void PngSilent(png_structp, png_const_charp) {}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  Bytes& out = static_cast<PngWriter*>(png_get_io_ptr(png))->out;
  out.insert(out.end(), data, data + length);
}

void PngFlush(png_structp) {}

int PngChannels(PngColour colour) {
  switch (colour) {
    case PngColour::kRgb: return 3;
    case PngColour::kGreyAlpha: return 2;
    case PngColour::kRgba: return 4;
    case PngColour::kGrey:
    case PngColour::kPalette: break;
  }
  return 1;
}

// One row of samples packed as the file stores them: sub-byte depths most
// significant bits first, 16-bit samples big-endian.
std::vector<png_byte> PackRow(const PngOptions& options, int y) {
  const int channels = PngChannels(options.colour);
  const std::size_t bits = static_cast<std::size_t>(options.width * channels * options.bit_depth);
  std::vector<png_byte> row((bits + 7) / 8);
  std::size_t bit = 0;
  for (int x = 0; x < options.width; ++x) {
    for (int c = 0; c < channels; ++c, bit += static_cast<std::size_t>(options.bit_depth)) {
      const std::uint16_t value = options.sample(x, y, c);
      if (options.bit_depth == 16) {
        row[bit / 8] = static_cast<png_byte>(value >> 8);
        row[bit / 8 + 1] = static_cast<png_byte>(value);
      } else {
        const int shift = 8 - options.bit_depth - static_cast<int>(bit % 8);
        row[bit / 8] |= static_cast<png_byte>(value << shift);
      }
    }
  }
  return row;
}

void SetPngChunks(PngWriter& writer, const PngOptions& options) {
  if (!writer.palette.empty()) {
    png_set_PLTE(writer.png, writer.info, writer.palette.data(), static_cast<int>(writer.palette.size()));
  }
  if (!options.palette_alpha.empty()) {
    png_set_tRNS(writer.png, writer.info, options.palette_alpha.data(),
                 static_cast<int>(options.palette_alpha.size()), nullptr);
  }
  if (options.background) {
    const PngBackground& bg = *options.background;
    png_color_16 colour{bg.index, bg.red, bg.green, bg.blue, bg.grey};
    png_set_bKGD(writer.png, writer.info, &colour);
  }
}

void WritePng(PngWriter& writer, const PngOptions& options) {
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, PngError, PngSilent);
  if (writer.png == nullptr) std::longjmp(writer.jump, 1);
  writer.info = png_create_info_struct(writer.png);
  if (writer.info == nullptr) png_error(writer.png, "no info struct");
  png_set_benign_errors(writer.png, 1);  // lets tests write indexes beyond a short palette
  png_set_write_fn(writer.png, &writer, PngWrite, PngFlush);
  png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(options.width),
               static_cast<png_uint_32>(options.height), options.bit_depth,
               static_cast<int>(options.colour),
               options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  SetPngChunks(writer, options);
  png_write_info(writer.png, writer.info);
  png_set_interlace_handling(writer.png);
  png_write_image(writer.png, writer.row_pointers.data());
  png_write_end(writer.png, nullptr);
}

bool RunPngWriter(PngWriter& writer, const PngOptions& options) {
  if (setjmp(writer.jump) != 0) return false;
  WritePng(writer, options);
  return true;
}

}  // namespace

Bytes EncodeJpeg(const JpegOptions& options) {
  if (options.width < 1 || options.height < 1 || !options.sample ||
      JpegColourSpace(options.components) == JCS_UNKNOWN) {
    return {};
  }
  JpegWriter writer;
  writer.cinfo.err = jpeg_std_error(&writer.error);
  writer.error.error_exit = JpegErrorExit;
  writer.error.output_message = JpegSilent;
  writer.cinfo.client_data = &writer;
  writer.row.resize(static_cast<std::size_t>(options.width * options.components));
  if (!RunJpegWriter(writer, options)) return {};
  return Bytes(writer.out, writer.out + writer.out_size);
}

Bytes EncodePng(const PngOptions& options) {
  if (options.width < 1 || options.height < 1 || !options.sample) return {};
  PngWriter writer;
  for (int y = 0; y < options.height; ++y) writer.rows.push_back(PackRow(options, y));
  for (auto& row : writer.rows) writer.row_pointers.push_back(row.data());
  for (const PngRgb& entry : options.palette) writer.palette.push_back({entry.red, entry.green, entry.blue});
  if (!RunPngWriter(writer, options)) return {};
  return std::move(writer.out);
}

}  // namespace pictorin::test
