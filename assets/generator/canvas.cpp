#include "assets/generator/canvas.h"

#include <cmath>

namespace pictorin::artwork {
namespace {

std::uint8_t Level(double value) {
  return static_cast<std::uint8_t>(std::lround(std::fmin(1.0, std::fmax(0.0, value)) * 255));
}

}  // namespace

Colour Hex(std::uint32_t rgb, double alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Canvas::Canvas(int width, int height, int oversample)
    : width_(width),
      height_(height),
      oversample_(oversample),
      samples_(static_cast<std::size_t>(width * oversample) * (height * oversample), Colour{0, 0, 0, 0}) {}

void Canvas::Fill(const Inside& inside, const Paint& paint) {
  const int columns = width_ * oversample_;
  const int rows = height_ * oversample_;
  for (int sy = 0; sy < rows; ++sy) {
    for (int sx = 0; sx < columns; ++sx) {
      const Point at{(sx + 0.5) / oversample_, (sy + 0.5) / oversample_};
      if (!inside(at)) continue;
      const Colour over = paint(at);
      Colour& under = samples_[static_cast<std::size_t>(sy) * columns + sx];
      const double keep = 1 - over.alpha;
      under = {over.red * over.alpha + under.red * keep, over.green * over.alpha + under.green * keep,
               over.blue * over.alpha + under.blue * keep, over.alpha + under.alpha * keep};
    }
  }
}

void Canvas::Fill(const Inside& inside, Colour colour) {
  Fill(inside, [colour](Point) { return colour; });
}

Image Canvas::Resolve() const {
  Image image{width_, height_, std::vector<Rgba>(static_cast<std::size_t>(width_) * height_)};
  const int columns = width_ * oversample_;
  const double count = oversample_ * oversample_;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      Colour sum{0, 0, 0, 0};
      for (int j = 0; j < oversample_; ++j) {
        for (int i = 0; i < oversample_; ++i) {
          const Colour& s = samples_[static_cast<std::size_t>(y * oversample_ + j) * columns + x * oversample_ + i];
          sum = {sum.red + s.red, sum.green + s.green, sum.blue + s.blue, sum.alpha + s.alpha};
        }
      }
      const std::uint8_t alpha = Level(sum.alpha / count);
      if (alpha == 0) continue;
      image.pixels[static_cast<std::size_t>(y) * width_ + x] = {
          Level(sum.red / sum.alpha), Level(sum.green / sum.alpha), Level(sum.blue / sum.alpha), alpha};
    }
  }
  return image;
}

}  // namespace pictorin::artwork
