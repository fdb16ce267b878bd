// Decoding a 4000 × 3000 photo-like baseline JPEG: DecodePicture against a
// plain libjpeg decode of the same bytes into one RGB buffer. Target: ours
// at most 1.10 times the plain decode. The plain decode into a BGRX buffer
// shows what four bytes a pixel cost by themselves.

#include <algorithm>
#include <cstdio>  // jpeglib.h uses FILE
#include <vector>

#include <jpeglib.h>

#include <benchmark/benchmark.h>

#include "imaging/picture.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

// Smooth gradients with per-pixel noise, so the file has a photo's detail.
std::uint16_t PhotoSample(int x, int y, int c) {
  const unsigned hash = (static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^
                         static_cast<unsigned>(c) * 83492791u) * 2654435761u;
  const int noise = static_cast<int>(hash >> 28) - 8;
  const int gradient = (x * 255 / 4000 * (c + 1) + y * 255 / 3000 * (3 - c)) / 4;
  return static_cast<std::uint16_t>(std::clamp(gradient + noise, 0, 255));
}

const Bytes& PhotoJpeg() {
  static const Bytes bytes =
      test::EncodeJpeg({.width = 4000, .height = 3000, .components = 3, .quality = 90, .sample = PhotoSample});
  return bytes;
}

void BM_DecodePicture(benchmark::State& state) {
  const Bytes& bytes = PhotoJpeg();
  for (auto _ : state) {
    auto picture = DecodePicture(bytes, kNoColour, false);
    if (!picture) state.SkipWithError("the photo did not decode");
    benchmark::DoNotOptimize(picture);
  }
}

// The whole picture through libjpeg into one buffer of its output pixels.
std::vector<std::uint8_t> PlainDecode(const Bytes& bytes, J_COLOR_SPACE colour_space) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = colour_space;
  jpeg_start_decompress(&cinfo);
  const std::size_t stride = std::size_t{cinfo.output_width} * static_cast<std::size_t>(cinfo.output_components);
  std::vector<std::uint8_t> pixels(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return pixels;
}

void BM_PlainLibjpeg(benchmark::State& state) {
  const Bytes& bytes = PhotoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(PlainDecode(bytes, JCS_RGB));
}

void BM_PlainLibjpegBgrx(benchmark::State& state) {
  const Bytes& bytes = PhotoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(PlainDecode(bytes, JCS_EXT_BGRX));
}

BENCHMARK(BM_DecodePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLibjpegBgrx)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pictorin

BENCHMARK_MAIN();
