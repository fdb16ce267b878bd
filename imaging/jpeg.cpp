// JPEG through libjpeg's 6.2 interface: a silent error manager that jumps out
// of the decode, a memory source that ends truncated files with an EOI marker,
// default decompression parameters, one scan line at a time into BGR0 pixels.

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
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

void SetUpDecompressor(JpegContext& context) {
  jpeg_create_decompress(&context.cinfo);
  context.cinfo.mem->max_memory_to_use = static_cast<long>(kDecodeBudget);
  context.source.manager.init_source = InitSource;
  context.source.manager.fill_input_buffer = FillInputBuffer;
  context.source.manager.skip_input_data = SkipInputData;
  context.source.manager.resync_to_restart = jpeg_resync_to_restart;
  context.source.manager.term_source = TermSource;
  context.cinfo.src = &context.source.manager;
}

// Reads the header; the output must fit the budget as four bytes a pixel.
std::optional<Failure> ReadHeader(JpegContext& context) {
  jpeg_read_header(&context.cinfo, TRUE);
  jpeg_calc_output_dimensions(&context.cinfo);
  const int components = context.cinfo.output_components;
  if (components != 1 && components != 3 && components != 4) return Failure::kUnsupportedBitDepth;
  if (!RasterBytes(context.cinfo.output_width, context.cinfo.output_height, 4)) return Failure::kTooLarge;
  return std::nullopt;
}

// Made after jpeg_start_decompress, so a file whose coefficient buffers
// libjpeg refuses costs no raster.
std::optional<Failure> AllocateRaster(JpegContext& context) {
  auto raster = MakeRaster(context.cinfo.output_width, context.cinfo.output_height);
  if (!raster) return raster.failure();
  context.raster = std::move(*raster);
  return std::nullopt;
}

// One decoded row into BGR0: RGB, grey to all three channels, or CMYK stored
// inverted (as Adobe's writers do) with each colour scaled by K.
void ConvertRow(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width, int components) {
  switch (components) {
    case 3:
      for (JDIMENSION x = 0; x < width; ++x, in += 3, out += 4) out[0] = in[2], out[1] = in[1], out[2] = in[0];
      break;
    case 1:
      for (JDIMENSION x = 0; x < width; ++x, ++in, out += 4) out[0] = out[1] = out[2] = in[0];
      break;
    default:
      for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 4) {
        for (int c = 0; c < 3; ++c) out[2 - c] = static_cast<std::uint8_t>((in[c] * in[3] + 127) / 255);
      }
  }
}

void ReadScanlines(JpegContext& context) {
  jpeg_decompress_struct& cinfo = context.cinfo;
  const JDIMENSION width = cinfo.output_width;
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              width * static_cast<JDIMENSION>(cinfo.output_components), 1);
  std::uint8_t* out = context.raster.pixels.data();
  for (JDIMENSION y = 0; y < cinfo.output_height; ++y, out += std::size_t{width} * 4) {
    jpeg_read_scanlines(&cinfo, row, 1);
    ConvertRow(row[0], out, width, cinfo.output_components);
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
