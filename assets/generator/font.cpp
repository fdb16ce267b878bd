#include "assets/generator/font.h"

namespace pictorin::artwork {
namespace {

// Centre lines in a box one unit high; x from 0 to the width.
struct Glyph {
  double width = 0;
  std::vector<Path> paths;
};

// Two bowls, the lower a little larger, meeting where the spine crosses.
Glyph LetterS() {
  const Path top = Arc({0.36, 0.235}, 0.33, 0.235, 35, 270, 24);
  const Path bottom = Arc({0.36, 0.735}, 0.36, 0.265, 90, -145, 24);
  return {0.72, {Join(top, bottom)}};
}

Glyph LetterP() {
  const Path bowl = Arc({0.3, 0.27}, 0.3, 0.27, 90, -90, 20);
  return {0.6, {Join(Join({{0, 1}, {0, 0}}, bowl), {{0, 0.54}})}};
}

Glyph DigitEight() {
  return {0.66, {Arc({0.33, 0.23}, 0.27, 0.23, 0, 360, 32), Arc({0.33, 0.73}, 0.33, 0.27, 0, 360, 32)}};
}

Glyph GlyphFor(char letter) {
  switch (letter) {
    case 'S': return LetterS();
    case 'V': return {0.74, {{{0, 0}, {0.37, 1}, {0.74, 0}}}};
    case 'I': return {0, {{{0, 0}, {0, 1}}}};
    case 'P': return LetterP();
    case '8': return DigitEight();
    default: return {};
  }
}

}  // namespace

double TextWidth(std::string_view text, const TextStyle& style) {
  double width = 0;
  for (char letter : text) width += GlyphFor(letter).width * style.height + style.gap;
  return text.empty() ? 0 : width - style.gap;
}

std::vector<Path> TextPaths(std::string_view text, Point origin, const TextStyle& style) {
  std::vector<Path> paths;
  double left = origin.x;
  for (char letter : text) {
    const Glyph glyph = GlyphFor(letter);
    for (const Path& unit : glyph.paths) {
      Path& path = paths.emplace_back();
      for (Point p : unit) {
        path.push_back({left + (p.x + style.slant * (1 - p.y)) * style.height, origin.y + p.y * style.height});
      }
    }
    left += glyph.width * style.height + style.gap;
  }
  return paths;
}

}  // namespace pictorin::artwork
