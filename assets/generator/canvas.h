#pragma once
// A supersampled RGBA drawing surface. Shapes are point-in-shape tests and
// paints are colour functions of the position; every sample takes the paint
// where the shape covers it, and each pixel is the mean of its samples, which
// gives antialiased edges.

#include <cstdint>
#include <functional>
#include <vector>

namespace pictorin::artwork {

// Straight (not premultiplied) colour, every channel 0..1.
struct Colour {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
};

// 0xRRGGBB as a colour.
Colour Hex(std::uint32_t rgb, double alpha = 1);

struct Point {
  double x = 0;
  double y = 0;
};

using Inside = std::function<bool(Point)>;
using Paint = std::function<Colour(Point)>;

// One pixel of a resolved picture, straight alpha (0 transparent).
struct Rgba {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // rows top to bottom
};

// Coordinates are in pixels of the resolved picture, (0, 0) its top-left
// corner; a pixel's samples sit at the centres of an oversample² grid.
class Canvas {
 public:
  Canvas(int width, int height, int oversample = 8);

  // Paints over whatever the samples inside the shape hold.
  void Fill(const Inside& inside, const Paint& paint);
  void Fill(const Inside& inside, Colour colour);

  // Each pixel the mean of its samples; fully transparent pixels are black.
  Image Resolve() const;

 private:
  int width_;
  int height_;
  int oversample_;
  std::vector<Colour> samples_;  // premultiplied
};

}  // namespace pictorin::artwork
