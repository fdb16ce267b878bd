// Scaling a 6000×4000 photograph-like raster to 100×100 and 1000×1000, beside
// libjpeg's decode of the same picture as a quality-90 JPEG.
//
// With PICTORIN_BENCH_PPM set to a file name, the raster is also written there
// as a binary PPM, so that bench/resample_reference.sh can time other scalers
// on the very same pixels.

#include <benchmark/benchmark.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/resample.h"
#include "io/whole_file.h"
#include "tests/support/encoders.h"

namespace pictorin {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth shading with a few hard-edged shapes and a little grain: costs the
// scaler what a photograph does and compresses like one. The shading is a
// product of a column and a row term, tabled to keep the set-up short.
std::uint8_t PhotoSample(int x, int y, int c, double across, double down) {
  const double u = x / static_cast<double>(kWidth);
  const double v = y / static_cast<double>(kHeight);
  double value = 90 + 60 * across * down + 50 * v;
  const double dx = u - 0.55, dy = v - 0.45;
  if (dx * dx + dy * dy < 0.04) value += 70 - 40 * c;
  if (((x / 400) + (y / 300)) % 7 == 0) value -= 35;
  const unsigned hash = static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^
                        static_cast<unsigned>(c) * 83492791u;
  value += static_cast<int>(hash % 13) - 6;
  return static_cast<std::uint8_t>(std::lround(std::fmin(255, std::fmax(0, value))));
}

const Raster& Photo() {
  static const Raster photo = [] {
    std::vector<double> across(kWidth * 3), down(kHeight * 3);
    for (int c = 0; c < 3; ++c) {
      for (int x = 0; x < kWidth; ++x) across[x * 3 + c] = std::sin(3.1 * x / kWidth + 1.7 * c);
      for (int y = 0; y < kHeight; ++y) down[y * 3 + c] = std::cos(2.3 * y / kHeight - 0.9 * c);
    }
    Raster raster = *MakeRaster(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        std::uint8_t* pixel = raster.pixels.data() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
        for (int c = 0; c < 3; ++c) {  // red, green, blue into blue, green, red
          pixel[2 - c] = PhotoSample(x, y, c, across[x * 3 + c], down[y * 3 + c]);
        }
      }
    }
    return raster;
  }();
  return photo;
}

Bytes PhotoAsPpm() {
  const std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  const Raster& photo = Photo();
  Bytes ppm(header.begin(), header.end());
  ppm.reserve(header.size() + photo.pixels.size() / 4 * 3);
  for (std::size_t p = 0; p < photo.pixels.size(); p += 4) {
    ppm.insert(ppm.end(), {photo.pixels[p + 2], photo.pixels[p + 1], photo.pixels[p]});
  }
  return ppm;
}

const Bytes& PhotoAsJpeg() {
  static const Bytes jpeg = [] {
    const Raster& photo = Photo();
    return test::EncodeJpeg({.width = kWidth,
                             .height = kHeight,
                             .quality = 90,
                             .sample = [&photo](int x, int y, int c) -> std::uint16_t {
                               return photo.pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4 + 2 - c];
                             }});
  }();
  return jpeg;
}

void BM_Resample(benchmark::State& state, std::int32_t side, ResampleMode mode) {
  const Raster& photo = Photo();
  for (auto _ : state) {
    Result<Raster> scaled = Resample(photo, side, side, mode);
    if (!scaled) state.SkipWithError("resample failed");
    benchmark::DoNotOptimize(scaled);
  }
}

struct JpegReader {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  std::jmp_buf jump{};
  ~JpegReader() { jpeg_destroy_decompress(&cinfo); }
};

void JumpOut(j_common_ptr cinfo) { std::longjmp(static_cast<JpegReader*>(cinfo->client_data)->jump, 1); }

// libjpeg alone, with default parameters, into one RGB buffer.
bool DecodeWithLibjpeg(const Bytes& jpeg, std::vector<JSAMPLE>& out) {
  JpegReader reader;
  reader.cinfo.err = jpeg_std_error(&reader.error);
  reader.error.error_exit = JumpOut;
  reader.cinfo.client_data = &reader;
  if (setjmp(reader.jump) != 0) return false;
  jpeg_create_decompress(&reader.cinfo);
  jpeg_mem_src(&reader.cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&reader.cinfo, TRUE);
  jpeg_start_decompress(&reader.cinfo);
  const std::size_t stride = static_cast<std::size_t>(reader.cinfo.output_width) * reader.cinfo.output_components;
  out.resize(stride * reader.cinfo.output_height);
  while (reader.cinfo.output_scanline < reader.cinfo.output_height) {
    JSAMPROW row = out.data() + reader.cinfo.output_scanline * stride;
    jpeg_read_scanlines(&reader.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&reader.cinfo);
  return true;
}

void BM_LibjpegDecode(benchmark::State& state) {
  const Bytes& jpeg = PhotoAsJpeg();
  std::vector<JSAMPLE> pixels;
  for (auto _ : state) {
    if (!DecodeWithLibjpeg(jpeg, pixels)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}

BENCHMARK_CAPTURE(BM_Resample, halftone_100, 100, ResampleMode::kHalftone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resample, halftone_1000, 1000, ResampleMode::kHalftone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resample, colour_on_colour_100, 100, ResampleMode::kColourOnColour)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resample, colour_on_colour_1000, 1000, ResampleMode::kColourOnColour)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pictorin

int main(int argc, char** argv) {
  if (const char* ppm = std::getenv("PICTORIN_BENCH_PPM")) {
    if (!pictorin::WriteWholeFile(ppm, {pictorin::PhotoAsPpm()})) {
      std::fprintf(stderr, "cannot write %s\n", ppm);
      return 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
