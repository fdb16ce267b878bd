// JPEG through libjpeg's 6.2 interface: a silent error manager that jumps out
// of the decode, a memory source that ends truncated files with an EOI marker,
// default decompression parameters but for the output's byte order, one scan
// line at a time into BGR0 pixels.

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstring>
#include <new>
#include <optional>

#include <jpeglib.h>
#include <jerror.h>

#include "imaging/checked.h"
#include "imaging/formats.h"

namespace pictorin {
namespace {

constexpr JOCTET kEndOfImage[] = {0xFF, JPEG_EOI};

// Serves the whole file at the first request; after that only EOI markers.
struct MemorySource {
  jpeg_source_mgr manager{};
  ByteView bytes;
  bool served = false;
};

// Everything one decode touches between setjmp and a possible longjmp lives
// here, outside the frame that calls setjmp, so no destructor is skipped.
struct JpegContext {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  std::jmp_buf jump{};
  int error_code = 0;  // libjpeg's message code of the error that ended the decode
  MemorySource source;
  jpeg_progress_mgr progress{};
  Raster raster;
  ~JpegContext() { jpeg_destroy_decompress(&cinfo); }
};

JpegContext& ContextOf(j_decompress_ptr cinfo) {
  return *static_cast<JpegContext*>(cinfo->client_data);
}

void ErrorExit(j_common_ptr cinfo) {
  auto& context = *static_cast<JpegContext*>(cinfo->client_data);
  context.error_code = cinfo->err->msg_code;
  std::longjmp(context.jump, 1);
}

void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

void Serve(MemorySource& source, ByteView bytes) {
  source.manager.next_input_byte = bytes.data();
  source.manager.bytes_in_buffer = bytes.size();
}

// As libjpeg's file source: no byte at all is an error; at the end of the
// data a warning and a fake EOI, so a truncated file decodes as far as it goes.
boolean FillInputBuffer(j_decompress_ptr cinfo) {
  MemorySource& source = ContextOf(cinfo).source;
  if (source.served) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    Serve(source, kEndOfImage);
    return TRUE;
  }
  if (source.bytes.empty()) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  Serve(source, source.bytes);
  source.served = true;
  return TRUE;
}

// A skip past the end of the data lands on the fake EOI.
void SkipInputData(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr& manager = ContextOf(cinfo).source.manager;
  if (count <= 0) return;
  if (static_cast<unsigned long>(count) > manager.bytes_in_buffer) {
    FillInputBuffer(cinfo);
    return;
  }
  manager.next_input_byte += count;
  manager.bytes_in_buffer -= static_cast<std::size_t>(count);
}

Failure FailureOf(int error_code) {
  switch (error_code) {
    case JERR_INPUT_EMPTY: return Failure::kEmpty;
    case JERR_NO_IMAGE: return Failure::kNoImage;
    case JERR_OUT_OF_MEMORY: return Failure::kOutOfMemory;
    case JERR_NO_BACKING_STORE:  // libjpeg's buffers would exceed the budget
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW: return Failure::kTooLarge;
    default: return Failure::kCorruptData;
  }
}

// libjpeg's own progressive scripts take 6 or 10 scans, and encoders that
// optimise theirs stay within a few dozen. Each scan walks the picture's
// blocks again, so a file of many tiny scans would cost that many passes
// over the picture; past this many it counts as damaged.
constexpr int kMostScans = 100;

// Called by libjpeg as it reads the file, at least once for each scan.
void LimitScans(j_common_ptr common) {
  auto cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number > kMostScans) ERREXIT(cinfo, JERR_BAD_PROGRESSION);
}

void SetUpDecompressor(JpegContext& context) {
  jpeg_create_decompress(&context.cinfo);
  context.cinfo.mem->max_memory_to_use = static_cast<long>(kDecodeBudget);
  context.source.manager.init_source = InitSource;
  context.source.manager.fill_input_buffer = FillInputBuffer;
  context.source.manager.skip_input_data = SkipInputData;
  context.source.manager.resync_to_restart = jpeg_resync_to_restart;
  context.source.manager.term_source = TermSource;
  context.cinfo.src = &context.source.manager;
  context.progress.progress_monitor = LimitScans;
  context.cinfo.progress = &context.progress;
}

// Pictures up to this size always decode, however short their file.
constexpr std::int64_t kAlwaysDecodedPixels = std::int64_t{1} << 22;  // 2048 × 2048
// Huffman coding spends at least one bit on every 8 × 8 block of a picture's
// first scan, so the data of a file of n bytes reach at most 512 n pixels.
constexpr std::int64_t kMostPixelsPerByte = 8 * 64;

// A truncated file decodes to its full size, libjpeg filling the rows that
// its data do not reach. A large picture whose file could not hold even one
// bit for each of its blocks is refused instead: a header of a few bytes
// would otherwise fill a raster of the whole budget. A cut photograph still
// decodes as long as its data cover a part of it, since real pictures take
// well over a bit a block.
bool DataCouldCover(std::int64_t pixels, std::size_t file_bytes) {
  if (pixels <= kAlwaysDecodedPixels) return true;
  const auto reach = CheckedProduct({static_cast<std::int64_t>(file_bytes), kMostPixelsPerByte});
  return !reach || static_cast<std::int64_t>(*reach) >= pixels;
}

// Reads the header and picks the output: RGB and grey files straight as
// blue, green, red, x (libjpeg-turbo's extended colour space, the same values
// as its default RGB output in another order, grey copied to all three);
// CMYK and YCCK files as libjpeg's default CMYK. The output must fit the
// budget as four bytes a pixel, and a large one needs a file that could hold it.
std::optional<Failure> ReadHeader(JpegContext& context) {
  jpeg_decompress_struct& cinfo = context.cinfo;
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.out_color_space == JCS_RGB || cinfo.out_color_space == JCS_GRAYSCALE) {
    cinfo.out_color_space = JCS_EXT_BGRX;
  } else if (cinfo.out_color_space != JCS_CMYK) {
    return Failure::kUnsupportedBitDepth;
  }
  jpeg_calc_output_dimensions(&cinfo);
  if (!RasterBytes(cinfo.output_width, cinfo.output_height, 4)) return Failure::kTooLarge;
  const std::int64_t pixels = std::int64_t{cinfo.output_width} * cinfo.output_height;
  if (!DataCouldCover(pixels, context.source.bytes.size())) return Failure::kTruncated;
  return std::nullopt;
}

// Made after jpeg_start_decompress, so a file whose coefficient buffers
// libjpeg refuses costs no raster. Only reserved: each row's bytes are made
// as it is written, so the picture is touched once, not cleared first.
std::optional<Failure> AllocateRaster(JpegContext& context) {
  const auto size = RasterBytes(context.cinfo.output_width, context.cinfo.output_height, 4);
  if (!size) return Failure::kTooLarge;
  context.raster.width = static_cast<std::int32_t>(context.cinfo.output_width);
  context.raster.height = static_cast<std::int32_t>(context.cinfo.output_height);
  try {
    context.raster.pixels.reserve(*size);
  } catch (const std::bad_alloc&) {
    return Failure::kOutOfMemory;
  }
  return std::nullopt;
}

// libjpeg-turbo leaves the x byte undefined; an opaque raster has 0 there.
// Masking whole pixels lets the compiler do many at a time.
void ClearFourthBytes(std::uint8_t* row, JDIMENSION width) {
  constexpr std::uint8_t kKeep[4] = {0xFF, 0xFF, 0xFF, 0x00};
  std::uint32_t mask;
  std::memcpy(&mask, kKeep, 4);
  for (JDIMENSION x = 0; x < width; ++x, row += 4) {
    std::uint32_t pixel;
    std::memcpy(&pixel, row, 4);
    pixel &= mask;
    std::memcpy(row, &pixel, 4);
  }
}

// CMYK stored inverted (as Adobe's writers do): each colour scaled by K.
void CmykRow(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 4) {
    for (int c = 0; c < 3; ++c) out[2 - c] = static_cast<std::uint8_t>((in[c] * in[3] + 127) / 255);
  }
}

// BGRX rows are decoded straight into the raster; CMYK rows through a
// scratch row. Each row's bytes start as 0.
void ReadScanlines(JpegContext& context) {
  jpeg_decompress_struct& cinfo = context.cinfo;
  const JDIMENSION width = cinfo.output_width;
  const bool direct = cinfo.out_color_space == JCS_EXT_BGRX;
  JSAMPARRAY scratch =
      (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 4, 1);
  std::vector<std::uint8_t>& pixels = context.raster.pixels;
  const std::size_t stride = std::size_t{width} * 4;
  for (JDIMENSION y = 0; y < cinfo.output_height; ++y) {
    pixels.resize(pixels.size() + stride);  // within the reserved capacity
    std::uint8_t* out = pixels.data() + pixels.size() - stride;
    JSAMPROW target = direct ? out : scratch[0];
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (direct) {
      ClearFourthBytes(out, width);
    } else {
      CmykRow(scratch[0], out, width);
    }
  }
  jpeg_finish_decompress(&cinfo);
}

// The one frame that calls setjmp; a libjpeg error comes back here.
std::optional<Failure> RunDecode(JpegContext& context) {
  if (setjmp(context.jump) != 0) return FailureOf(context.error_code);
  SetUpDecompressor(context);
  if (auto failure = ReadHeader(context)) return failure;
  jpeg_start_decompress(&context.cinfo);
  if (auto failure = AllocateRaster(context)) return failure;
  ReadScanlines(context);
  return std::nullopt;
}

}  // namespace

Result<Raster> DecodeJpeg(ByteView bytes) {
  JpegContext context;
  context.cinfo.err = jpeg_std_error(&context.error);
  context.error.error_exit = ErrorExit;
  context.error.emit_message = EmitMessage;
  context.error.output_message = OutputMessage;
  context.cinfo.client_data = &context;
  context.source.bytes = bytes;
  if (auto failure = RunDecode(context)) return *failure;
  return std::move(context.raster);
}

}  // namespace pictorin
