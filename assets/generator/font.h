#pragma once
// A small hand-made stroke font: each glyph is a few centre lines, stroked
// at drawing time, so one set of shapes serves every size.

#include <string_view>
#include <vector>

#include "assets/generator/shapes.h"

namespace pictorin::artwork {

struct TextStyle {
  double height = 10;  // of the centre lines, from the top stroke to the bottom one
  double gap = 2;      // between the centre lines of neighbouring glyphs
  double slant = 0;    // sideways shift of the top against the bottom, per unit of height
};

// The width of the text's centre lines.
double TextWidth(std::string_view text, const TextStyle& style);

// The centre lines of the text, its top-left corner at origin. Takes the
// letters S, V, I, P and the digit 8.
std::vector<Path> TextPaths(std::string_view text, Point origin, const TextStyle& style);

}  // namespace pictorin::artwork
