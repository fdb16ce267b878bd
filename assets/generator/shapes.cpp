#include "assets/generator/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace pictorin::artwork {
namespace {

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

double SquaredDistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  const double t = length == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0);
  const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
  return ex * ex + ey * ey;
}

bool NearPath(const Path& path, Point p, double squared_reach) {
  if (path.size() == 1) return SquaredDistanceToSegment(p, path[0], path[0]) <= squared_reach;
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (SquaredDistanceToSegment(p, path[i - 1], path[i]) <= squared_reach) return true;
  }
  return false;
}

}  // namespace

Inside Ellipse(Point centre, double rx, double ry, double angle_degrees) {
  const double c = std::cos(Radians(angle_degrees)), s = std::sin(Radians(angle_degrees));
  return [=](Point p) {
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    const double u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
    return u * u + v * v <= 1;
  };
}

Inside Circle(Point centre, double radius) { return Ellipse(centre, radius, radius); }

Inside RoundedRect(double left, double top, double right, double bottom, double radius) {
  return [=](Point p) {
    if (p.x < left || p.x > right || p.y < top || p.y > bottom) return false;
    const double dx = std::max({left + radius - p.x, 0.0, p.x - (right - radius)});
    const double dy = std::max({top + radius - p.y, 0.0, p.y - (bottom - radius)});
    return dx * dx + dy * dy <= radius * radius;
  };
}

Inside Polygon(Path corners) {
  return [corners = std::move(corners)](Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
      const Point a = corners[i], b = corners[j];
      if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
  };
}

Inside Stroke(Path path, double width) { return Strokes({std::move(path)}, width); }

Inside Strokes(std::vector<Path> paths, double width) {
  const double reach = width * width / 4;
  return [paths = std::move(paths), reach](Point p) {
    return std::any_of(paths.begin(), paths.end(), [&](const Path& path) { return NearPath(path, p, reach); });
  };
}

Inside And(Inside a, Inside b) {
  return [a = std::move(a), b = std::move(b)](Point p) { return a(p) && b(p); };
}

Inside Minus(Inside a, Inside b) {
  return [a = std::move(a), b = std::move(b)](Point p) { return a(p) && !b(p); };
}

Path Arc(Point centre, double rx, double ry, double from_degrees, double to_degrees, int steps) {
  Path path;
  for (int i = 0; i <= steps; ++i) {
    const double angle = Radians(from_degrees + (to_degrees - from_degrees) * i / steps);
    path.push_back({centre.x + rx * std::cos(angle), centre.y - ry * std::sin(angle)});
  }
  return path;
}

Path Join(Path a, const Path& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Paint Linear(Point from, Colour start, Point to, Colour end) {
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double length = dx * dx + dy * dy;
  return [=](Point p) {
    const double t = std::clamp(((p.x - from.x) * dx + (p.y - from.y) * dy) / length, 0.0, 1.0);
    return Colour{start.red + (end.red - start.red) * t, start.green + (end.green - start.green) * t,
                  start.blue + (end.blue - start.blue) * t, start.alpha + (end.alpha - start.alpha) * t};
  };
}

}  // namespace pictorin::artwork
