#pragma once
// Shapes as point-in-shape tests, their combinations, stroked paths and
// gradient paints, all in the canvas's pixel coordinates (y downwards).

#include <vector>

#include "assets/generator/canvas.h"

namespace pictorin::artwork {

using Path = std::vector<Point>;

// An ellipse turned by angle_degrees clockwise about its centre.
Inside Ellipse(Point centre, double rx, double ry, double angle_degrees = 0);
Inside Circle(Point centre, double radius);
// The rectangle from (left, top) to (right, bottom) with rounded corners.
Inside RoundedRect(double left, double top, double right, double bottom, double radius);
// A closed polygon, even-odd rule.
Inside Polygon(Path corners);
// Points within width / 2 of the path: a stroke with round ends and joins.
Inside Stroke(Path path, double width);
// Points within width / 2 of any of the paths.
Inside Strokes(std::vector<Path> paths, double width);

Inside And(Inside a, Inside b);
Inside Minus(Inside a, Inside b);

// Points along an elliptical arc from one angle to the other, in degrees
// counter-clockwise from the positive x axis as seen on screen.
Path Arc(Point centre, double rx, double ry, double from_degrees, double to_degrees, int steps);
// The path a followed by the path b.
Path Join(Path a, const Path& b);

// A colour ramp from one point to another, constant across the line between.
Paint Linear(Point from, Colour start, Point to, Colour end);

}  // namespace pictorin::artwork
