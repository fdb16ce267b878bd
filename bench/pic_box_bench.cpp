// The picture box: repainting a stretched 6000 × 4000 photograph against a
// 100 × 100 picture (the scaled picture is kept, so both should cost about a
// copy of the client area), and the process CPU time that playing a
// 100 × 100 animation at 20 frames per second takes.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "controls/pic_box.h"
#include "tests/controls/test_host.h"
#include "tests/support/gif_builder.h"

namespace pictorin {
namespace {

void PutI32(Bytes& bytes, std::int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A 24-bit bottom-up BMP of a colour pattern.
Bytes PatternBmp(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes bytes = {'B', 'M'};
  for (std::int32_t v : {54 + stride * height, 0, 54, 40, width, height}) PutI32(bytes, v);
  bytes.insert(bytes.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) PutI32(bytes, 0);
  bytes.reserve(bytes.size() + static_cast<std::size_t>(stride) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bytes.insert(bytes.end(), {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    }
    bytes.insert(bytes.end(), stride - width * 3, 0);
  }
  return bytes;
}

std::unique_ptr<PicBox> StretchingBox(test::TestHost& host, const Bytes& picture) {
  auto box = PicBox::Make({}, host);
  if (!box) std::abort();
  (*box)->WriteProperty(PicBox::kShowMode, std::int32_t{1});
  (*box)->WriteProperty(PicBox::kPictureFile, picture);
  return std::move(*box);
}

void BM_Repaint(benchmark::State& state) {
  test::TestHost host;
  auto box = StretchingBox(host, PatternBmp(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
  if (!box->Paint()) std::abort();  // the first paint scales the picture
  for (auto _ : state) {
    auto shown = box->Paint();
    benchmark::DoNotOptimize(shown);
  }
}
BENCHMARK(BM_Repaint)->Args({100, 100})->Args({6000, 4000})->Unit(benchmark::kMicrosecond);

// Twenty full 100 × 100 frames of 256 colours, each shown 50 ms.
Bytes Animation() {
  std::vector<Colour> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(MakeColour(i, 255 - i, i / 2));
  test::GifBuilder gif(100, 100, palette);
  gif.LoopCount(0);
  for (int frame = 0; frame < 20; ++frame) {
    test::GifImageSpec image;
    image.width = image.height = 100;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) image.indices.push_back(static_cast<std::uint8_t>((x * y + frame * 13) >> 2));
    }
    gif.Control(0, 5).Image(image);
  }
  return gif.Trailer().bytes();
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Plays for three seconds; this thread paints on every repaint request, as
// the window would. Reports the process CPU time as a share of one core.
void BM_PlayAnimation(benchmark::State& state) {
  const Bytes gif = Animation();
  for (auto _ : state) {
    test::TestHost host;
    auto box = PicBox::Make({}, host);
    if (!box) std::abort();
    (*box)->WriteProperty(PicBox::kShowMode, std::int32_t{1});
    (*box)->WriteProperty(PicBox::kPictureFile, gif);
    const double cpu_start = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(3);
    std::size_t painted = 0;
    for (std::size_t marks = host.mark_count(); std::chrono::steady_clock::now() < end; ++painted) {
      auto shown = (*box)->Paint();
      benchmark::DoNotOptimize(shown);
      host.WaitForMarks(++marks, std::chrono::seconds(1));
    }
    box->reset();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["cpu_percent_of_one_core"] = 100 * (ProcessCpuSeconds() - cpu_start) / wall;
    state.counters["paints_per_second"] = painted / wall;
  }
}
BENCHMARK(BM_PlayAnimation)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pictorin

BENCHMARK_MAIN();
