// PNG through libpng: a silent error handler that jumps out of the decode,
// bytes served from memory, a background chunk composited over, 16-bit
// samples stripped, interlaced files merged pass by pass, and the rows turned
// into blue, green, red, transparency (255 − alpha).

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <optional>

#include <png.h>

#include "imaging/checked.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

using Bgr = std::array<std::uint8_t, 3>;

// Everything one decode touches between setjmp and a possible longjmp lives
// here, outside the frame that calls setjmp, so no destructor is skipped.
struct PngContext {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::jmp_buf jump{};
  ByteView bytes;
  std::size_t offset = 0;
  bool ran_out = false;  // the data ended before libpng had what it needed
  std::size_t width = 0;
  std::size_t height = 0;
  int pixel_bits = 0;                 // of the rows libpng delivers, after its transformations
  std::array<Bgr, 256> colours{};     // for indexed rows: palette or grey ramp, the rest black
  std::vector<std::uint8_t> rows;     // rows as delivered: one, or all of an interlaced file
  std::vector<std::uint8_t> pixels;   // the frame
  ~PngContext() { png_destroy_read_struct(&png, &info, nullptr); }
};

PngContext& ContextOf(png_structp png) { return *static_cast<PngContext*>(png_get_error_ptr(png)); }

void ErrorFunction(png_structp png, png_const_charp) { std::longjmp(ContextOf(png).jump, 1); }

void WarningFunction(png_structp, png_const_charp) {}

// Serves the requested count in order; a request past the end is an error.
void ReadFunction(png_structp png, png_bytep data, png_size_t count) {
  PngContext& context = *static_cast<PngContext*>(png_get_io_ptr(png));
  if (!InBounds(context.bytes, context.offset, count)) {
    context.ran_out = true;
    png_error(png, "read past the end of the data");
  }
  std::memcpy(data, context.bytes.data() + context.offset, count);
  context.offset += count;
}

// Makes sure count bytes exist, growing geometrically but never past limit,
// so storage follows the rows that actually arrive.
void GrowTo(std::vector<std::uint8_t>& buffer, std::size_t count, std::size_t limit) {
  if (count > buffer.capacity()) buffer.reserve(std::min(limit, std::max(count, buffer.capacity() * 2)));
  if (count > buffer.size()) buffer.resize(count);
}

std::size_t RowBytes(const PngContext& context) { return png_get_rowbytes(context.png, context.info); }

// Indexed rows of 1, 2, 4 or 8 bits: the first 2^bits palette entries, or
// without a palette the grey ramp i × (255 div (2^bits − 1)).
void FillColours(PngContext& context) {
  const int count = 1 << context.pixel_bits;
  png_colorp palette = nullptr;
  int palette_size = 0;
  if (png_get_color_type(context.png, context.info) == PNG_COLOR_TYPE_PALETTE &&
      png_get_PLTE(context.png, context.info, &palette, &palette_size) != 0) {
    for (int i = 0; i < std::min(count, palette_size); ++i) {
      context.colours[i] = {palette[i].blue, palette[i].green, palette[i].red};
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * (255 / (count - 1)));
    context.colours[i] = {grey, grey, grey};
  }
}

void RequestTransformations(PngContext& context) {
  png_color_16p background = nullptr;
  if (png_get_bKGD(context.png, context.info, &background) != 0) {
    png_set_background(context.png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
  }
  if (png_get_bit_depth(context.png, context.info) == 16) png_set_strip_16(context.png);
  if (png_get_interlace_type(context.png, context.info) != PNG_INTERLACE_NONE) {
    png_set_interlace_handling(context.png);
  }
  png_read_update_info(context.png, context.info);
}

std::optional<Failure> ReadInfo(PngContext& context) {
  png_set_read_fn(context.png, &context, ReadFunction);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Mutated chunks keep their old checksums; taking them as they are lets
  // the fuzzer reach the fields behind the checksum tests.
  png_set_crc_action(context.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
  png_set_option(context.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
  png_read_info(context.png, context.info);
  context.width = png_get_image_width(context.png, context.info);
  context.height = png_get_image_height(context.png, context.info);
  if (!RasterBytes(context.width, context.height, 4)) return Failure::kTooLarge;
  RequestTransformations(context);
  context.pixel_bits = png_get_channels(context.png, context.info) * png_get_bit_depth(context.png, context.info);
  switch (context.pixel_bits) {
    case 1: case 2: case 4: case 8: FillColours(context); break;
    case 16: case 24: case 32: break;
    default: return Failure::kUnsupportedBitDepth;
  }
  return std::nullopt;
}

// One delivered row into four bytes a pixel. 16 bits a pixel is grey with
// alpha, which like RGBA keeps its alpha as transparency.
void ConvertRow(const PngContext& context, const std::uint8_t* in, std::uint8_t* out) {
  const std::size_t width = context.width;
  switch (context.pixel_bits) {
    case 32:
      for (std::size_t x = 0; x < width; ++x, in += 4, out += 4) {
        out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = static_cast<std::uint8_t>(255 - in[3]);
      }
      return;
    case 24:
      for (std::size_t x = 0; x < width; ++x, in += 3, out += 4) out[0] = in[2], out[1] = in[1], out[2] = in[0];
      return;
    case 16:
      for (std::size_t x = 0; x < width; ++x, in += 2, out += 4) {
        out[0] = out[1] = out[2] = in[0], out[3] = static_cast<std::uint8_t>(255 - in[1]);
      }
      return;
  }
  const int bits = context.pixel_bits;
  for (std::size_t x = 0; x < width; ++x, out += 4) {
    const std::size_t bit = x * static_cast<std::size_t>(bits);
    const int index = (in[bit / 8] >> (8 - bits - static_cast<int>(bit % 8))) & ((1 << bits) - 1);
    std::copy(context.colours[index].begin(), context.colours[index].end(), out);
  }
}

// Not interlaced: each row is converted as it arrives.
void ReadRows(PngContext& context) {
  const std::size_t stride = context.width * 4;
  context.rows.resize(RowBytes(context));
  for (std::size_t y = 0; y < context.height; ++y) {
    png_read_row(context.png, context.rows.data(), nullptr);
    GrowTo(context.pixels, (y + 1) * stride, context.height * stride);
    ConvertRow(context, context.rows.data(), context.pixels.data() + y * stride);
  }
}

// Interlaced: every pass merges into the rows read so far; a row's storage
// is made when a pass first brings it pixels.
void ReadPasses(PngContext& context) {
  const std::size_t row_bytes = RowBytes(context);
  for (int pass = 0; pass < PNG_INTERLACE_ADAM7_PASSES; ++pass) {
    for (std::size_t y = 0; y < context.height; ++y) {
      if (PNG_ROW_IN_INTERLACE_PASS(y, pass)) GrowTo(context.rows, (y + 1) * row_bytes, context.height * row_bytes);
      const bool stored = (y + 1) * row_bytes <= context.rows.size();
      png_read_row(context.png, stored ? context.rows.data() + y * row_bytes : nullptr, nullptr);
    }
  }
  const std::size_t stride = context.width * 4;
  context.pixels.resize(context.height * stride);
  for (std::size_t y = 0; y < context.height; ++y) {
    ConvertRow(context, context.rows.data() + y * row_bytes, context.pixels.data() + y * stride);
  }
}

// The one frame that calls setjmp; a libpng error comes back here.
std::optional<Failure> RunDecode(PngContext& context) {
  if (setjmp(context.jump) != 0) return context.ran_out ? Failure::kTruncated : Failure::kCorruptData;
  if (auto failure = ReadInfo(context)) return failure;
  if (png_get_interlace_type(context.png, context.info) == PNG_INTERLACE_NONE) {
    ReadRows(context);
  } else {
    ReadPasses(context);
  }
  png_read_end(context.png, context.info);
  return std::nullopt;
}

}  // namespace

Result<Picture> DecodePng(ByteView bytes) {
  PngContext context;
  context.bytes = bytes;
  context.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, ErrorFunction, WarningFunction);
  if (context.png == nullptr) return Failure::kOutOfMemory;
  context.info = png_create_info_struct(context.png);
  if (context.info == nullptr) return Failure::kOutOfMemory;
  if (auto failure = RunDecode(context)) return *failure;
  Picture picture{static_cast<std::int32_t>(context.width), static_cast<std::int32_t>(context.height), {}};
  picture.frames.push_back(Frame{std::move(context.pixels), kNoColour, 0});
  return picture;
}

}  // namespace pictorin
