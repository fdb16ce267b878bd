// A full 100×100 paint of the canvas after N badge presses, beside the plain
// compositor that blends every object from the bottom.

#include <benchmark/benchmark.h>

#include <memory>

#include "controls/cartoon_box.h"
#include "tests/support/encoders.h"
#include "tests/support/reference_canvas.h"

namespace pictorin {
namespace {

class FixedHost : public ControlHost {
 public:
  void MarkForRepaint(const Rect&) override {}
  Size ClientSize() const override { return {100, 100}; }
  Colour ButtonFaceColour() const override { return MakeColour(240, 240, 240); }
  int DisplayDepth() const override { return 32; }
  void ApplyBorderStyle(int) override {}
  void ResizeClient(Size) override {}
};

// An opaque photograph-like picture, and a badge opaque only in its box with
// a soft rim, both 100×100 PNGs.
Bytes Photo() {
  test::PngOptions options;
  options.width = options.height = 100;
  options.sample = [](int x, int y, int c) -> std::uint16_t {
    return c == 3 ? 255 : static_cast<std::uint8_t>(x * (c + 1) + y * 2);
  };
  return test::EncodePng(options);
}

Bytes Badge() {
  test::PngOptions options;
  options.width = options.height = 100;
  options.sample = [](int x, int y, int c) -> std::uint16_t {
    const bool inside = x >= 57 && x <= 97 && y >= 65 && y <= 95;
    const bool rim = inside && (x == 57 || x == 97 || y == 65 || y == 95);
    if (c == 3) return inside ? (rim ? 128 : 255) : 0;
    return c == 2 ? 220 : 40;
  };
  return test::EncodePng(options);
}

struct Stack {
  FixedHost host;
  std::unique_ptr<CartoonBox> box;
  std::vector<test::PlacedPicture> objects;
  Raster background;
};

// The canvas as the composer leaves it: the seed object, then two objects per press.
std::unique_ptr<Stack> Pressed(int presses) {
  auto stack = std::make_unique<Stack>();
  CartoonBoxSettings settings;
  settings.back_color = 0;
  stack->box = CartoonBox::Make(WriteCartoonBoxRecord(settings), stack->host);
  stack->background = stack->box->Paint({0, 0, 100, 100});
  const Bytes photo = Photo(), badge = Badge();
  auto add = [&](const Bytes& bytes) {
    stack->box->SetObjectPicture(stack->box->CreateObject(0, 0), bytes);
    stack->objects.push_back({{0, 0, 100, 100}, std::move(*DecodePicture(bytes, kNoColour, false))});
  };
  add(photo);
  for (int i = 0; i < presses; ++i) {
    add(photo);
    add(badge);
  }
  return stack;
}

void BM_CanvasPaint(benchmark::State& state) {
  auto stack = Pressed(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(stack->box->Paint({0, 0, 100, 100}));
}

void BM_PlainCompositor(benchmark::State& state) {
  auto stack = Pressed(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(test::ReferenceCompose(stack->background, stack->objects, {0, 0, 100, 100}));
}

BENCHMARK(BM_CanvasPaint)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCompositor)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pictorin

BENCHMARK_MAIN();
