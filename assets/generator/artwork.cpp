#include "assets/generator/artwork.h"

#include "assets/generator/font.h"
#include "assets/generator/shapes.h"

namespace pictorin::artwork {
namespace {

constexpr int kSide = 100;
const Colour kWhite = Hex(0xFFFFFF);

// Points within width / 2 of the closed outline, kept inside the shape.
Inside InnerRim(const Path& outline, double width) {
  return And(Polygon(outline), Stroke(Join(outline, {outline.front()}), width));
}

// A four-pointed glint.
Inside Sparkle(Point centre, double radius) {
  const double waist = radius * 0.22;
  return Polygon({{centre.x, centre.y - radius},
                  {centre.x + waist, centre.y - waist},
                  {centre.x + radius, centre.y},
                  {centre.x + waist, centre.y + waist},
                  {centre.x, centre.y + radius},
                  {centre.x - waist, centre.y + waist},
                  {centre.x - radius, centre.y},
                  {centre.x - waist, centre.y - waist}});
}

}  // namespace

// A cut gem seen from the side: a five-facet crown over a three-facet
// pavilion, lit from the top left, bearing a white S.
Image RedDiamondBadge() {
  Canvas canvas(kSide, kSide);
  const double left = 57.15, right = 97.85, top = 65.15, bottom = 95.85, girdle = 74.4, middle = 77.5;
  const Point a{66.1, top}, m{middle, top}, c{88.9, top};
  const Point g0{left, girdle}, g1{67.3, girdle}, g2{87.7, girdle}, g3{right, girdle}, tip{middle, bottom};
  const struct {
    Path corners;
    std::uint32_t colour;
  } facets[] = {
      {{a, g0, g1}, 0xFF7A88}, {{a, g1, m}, 0xFF4F63}, {{m, g1, g2}, 0xF0334A}, {{m, g2, c}, 0xD91F38},
      {{c, g2, g3}, 0xB8142D}, {{g0, g1, tip}, 0xE02840}, {{g1, g2, tip}, 0xC81A33}, {{g2, g3, tip}, 0xA00F26},
  };
  for (const auto& facet : facets) canvas.Fill(Polygon(facet.corners), Hex(facet.colour));
  const Path outline = {a, c, g3, tip, g0};
  canvas.Fill(InnerRim(outline, 1.6), Hex(0x7A0A1C));
  const TextStyle style{.height = 14.5, .gap = 0, .slant = 0};
  const double width = TextWidth("S", style);
  const Point origin{middle - width / 2, 71.2};
  canvas.Fill(Strokes(TextPaths("S", {origin.x + 0.7, origin.y + 0.7}, style), 3.4), Hex(0x6E0718, 0.55));
  canvas.Fill(Strokes(TextPaths("S", origin, style), 3.4), kWhite);
  canvas.Fill(Sparkle({63.6, 70.6}, 2.6), Hex(0xFFFFFF, 0.9));
  return canvas.Resolve();
}

// A dark handset with rounded corners, a lit blue screen with a sheen, the
// earpiece above it and the round button below.
Image IPhoneBadge() {
  Canvas canvas(kSide, kSide);
  const double left = 68.15, right = 99.85, top = 55.15, bottom = 99.85, middle = (left + right) / 2;
  canvas.Fill(RoundedRect(left, top, right, bottom, 6),
              Linear({left, top}, Hex(0x3A3F47), {right, bottom}, Hex(0x121417)));
  canvas.Fill(Minus(RoundedRect(left, top, right, bottom, 6), RoundedRect(left + 0.9, top + 0.9, right - 0.9, bottom - 0.9, 5.2)),
              Hex(0x6B727C));
  const Inside screen = RoundedRect(70.6, 61.2, 97.4, 92.6, 1);
  canvas.Fill(screen, Linear({70.6, 61.2}, Hex(0x5CC8FF), {97.4, 92.6}, Hex(0x1A4FD0)));
  canvas.Fill(And(screen, Polygon({{70.6, 61.2}, {90, 61.2}, {70.6, 82}})), Hex(0xFFFFFF, 0.18));
  canvas.Fill(RoundedRect(middle - 3.6, 57.6, middle + 3.6, 58.9, 0.65), Hex(0x0B0C0E));
  canvas.Fill(Circle({middle - 6, 58.25}, 0.75), Hex(0x0B0C0E));
  canvas.Fill(Circle({middle, 96.2}, 2.3), Hex(0x0B0C0E));
  canvas.Fill(Minus(Circle({middle, 96.2}, 2.3), Circle({middle, 96.2}, 1.6)), Hex(0x7D848E));
  return canvas.Resolve();
}

// A round penguin in a red bobble hat and a red bow tie, standing on orange
// feet, made of ellipses.
Image MemberBadge() {
  Canvas canvas(kSide, kSide);
  const double middle = 79;
  const Colour feathers = Hex(0x1D2026), orange = Hex(0xFF9F1C), red = Hex(0xE3222F);
  const Paint sheen = Linear({66, 52}, Hex(0x454B55), {90, 96}, feathers);
  for (double side : {-1.0, 1.0}) {
    canvas.Fill(Ellipse({middle + side * 7, 96.3}, 5.4, 2.4), orange);
    canvas.Fill(Ellipse({middle + side * 13.4, 81}, 3.2, 8.4, side * 22), feathers);
  }
  canvas.Fill(Ellipse({middle, 81}, 14.2, 16.3), sheen);
  canvas.Fill(Ellipse({middle, 84.5}, 9.8, 12.3), Hex(0xFAFAFA));
  canvas.Fill(Ellipse({middle, 63.5}, 12.2, 11.3), sheen);
  canvas.Fill(Ellipse({middle, 67}, 8.8, 6.8), Hex(0xFAFAFA));
  for (double side : {-1.0, 1.0}) {
    canvas.Fill(Ellipse({middle + side * 3.4, 65.2}, 1.45, 2.0), Hex(0x111111));
    canvas.Fill(Circle({middle + side * 3.4 + 0.45, 64.4}, 0.55), kWhite);
    canvas.Fill(Ellipse({middle + side * 6.8, 69.2}, 1.6, 1.0), Hex(0xFF7A8A, 0.55));
  }
  canvas.Fill(Ellipse({middle, 69.6}, 3.2, 1.9), Linear({middle, 67.7}, Hex(0xFFC040), {middle, 71.5}, Hex(0xF08A00)));
  canvas.Fill(Stroke({{middle - 2.6, 69.7}, {middle + 2.6, 69.7}}, 0.45), Hex(0xB35F00));
  const Inside crown = And(Ellipse({middle, 59.5}, 11.8, 9.2), [](Point p) { return p.y < 59.5; });
  canvas.Fill(crown, Linear({middle, 50.3}, Hex(0xFF5252), {middle, 59.5}, Hex(0xC8102E)));
  canvas.Fill(RoundedRect(66.6, 57.4, 91.4, 61, 1.8), Hex(0xF2F2F2));
  canvas.Fill(Circle({middle, 51.8}, 2.6), Hex(0xF7F7F7));
  for (double side : {-1.0, 1.0}) {
    canvas.Fill(Polygon({{middle, 75.5}, {middle + side * 5.6, 72.7}, {middle + side * 5.6, 78.3}}), red);
  }
  canvas.Fill(Circle({middle, 75.5}, 1.5), Hex(0xA50F1F));
  return canvas.Resolve();
}

// An orange label reading SVIP, its left end under a round gold-rimmed
// badge bearing the number of years.
Image SvipBadge() {
  Canvas canvas(kSide, kSide);
  const Inside label = RoundedRect(21, 2.6, 84.85, 16.4, 4.6);
  canvas.Fill(label, Linear({50, 2.6}, Hex(0xFFA928), {50, 16.4}, Hex(0xF06400)));
  canvas.Fill(And(label, [](Point p) { return p.y < 6.2; }), Hex(0xFFFFFF, 0.16));
  const TextStyle letters{.height = 9.2, .gap = 3.3, .slant = 0.12};
  const Point text{(28 + 84.85) / 2 - TextWidth("SVIP", letters) / 2, 4.9};
  canvas.Fill(Strokes(TextPaths("SVIP", {text.x + 0.5, text.y + 0.5}, letters), 2.1), Hex(0xA83E00, 0.5));
  canvas.Fill(Strokes(TextPaths("SVIP", text, letters), 2.1), kWhite);
  const Point centre{17.5, 9.5};
  canvas.Fill(Circle(centre, 9.35), Linear({10, 1}, Hex(0xFFE27A), {25, 18}, Hex(0xC98A0E)));
  canvas.Fill(Circle(centre, 7.5), Linear({10, 2}, Hex(0x3B4FCF), {25, 17}, Hex(0x1B2376)));
  const TextStyle digit{.height = 9.4, .gap = 0, .slant = 0};
  canvas.Fill(Strokes(TextPaths("8", {centre.x - TextWidth("8", digit) / 2, 4.8}, digit), 1.6), Hex(0xFFD54F));
  return canvas.Resolve();
}

// Drawn on a unit square, scaled to the size.
Image Logo(int size) {
  Canvas canvas(size, size);
  const double u = size;
  const Inside tile = RoundedRect(0.04 * u, 0.04 * u, 0.96 * u, 0.96 * u, 0.21 * u);
  canvas.Fill(tile, Linear({0.1 * u, 0.1 * u}, Hex(0x2F6BFF), {0.9 * u, 0.9 * u}, Hex(0x14B8A6)));
  canvas.Fill(And(tile, Ellipse({0.5 * u, 0.08 * u}, 0.7 * u, 0.3 * u)), Hex(0xFFFFFF, 0.12));
  const double left = 0.25 * u, top = 0.22 * u, right = 0.75 * u, bottom = 0.78 * u, rim = 0.05 * u;
  const Inside opening = RoundedRect(left + rim, top + rim, right - rim, bottom - rim, 0.03 * u);
  canvas.Fill(Minus(RoundedRect(left, top, right, bottom, 0.08 * u), opening), kWhite);
  canvas.Fill(Circle({0.5 * u, 0.44 * u}, 0.095 * u), Hex(0xFFFFFF, 0.92));
  canvas.Fill(And(opening, Ellipse({0.5 * u, 0.73 * u}, 0.17 * u, 0.14 * u)), Hex(0xFFFFFF, 0.92));
  canvas.Fill(Circle({0.74 * u, 0.74 * u}, 0.14 * u), kWhite);
  canvas.Fill(Circle({0.74 * u, 0.74 * u}, 0.1 * u), Linear({0.66 * u, 0.66 * u}, Hex(0xFFC940), {0.82 * u, 0.82 * u}, Hex(0xFF8A00)));
  return canvas.Resolve();
}

}  // namespace pictorin::artwork
