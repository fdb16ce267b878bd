#include "assets/generator/icc.h"

#include <array>
#include <cmath>
#include <string_view>

namespace pictorin::artwork {
namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;  // rows

Vector Times(const Matrix& m, const Vector& v) {
  return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
          m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

Matrix Times(const Matrix& a, const Matrix& b) {
  Matrix m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
  }
  return m;
}

Matrix Inverse(const Matrix& m) {
  Matrix r{};
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
      r[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
    }
  }
  return r;
}

Vector FromChromaticity(double x, double y) { return {x / y, 1, (1 - x - y) / y}; }

const Vector kD50 = {0.9642, 1.0, 0.8249};  // the profile connection space's white
const Vector kD65 = FromChromaticity(0.3127, 0.3290);

// The XYZ of the red, green and blue primaries at full strength under D65,
// as the columns of the matrix.
Matrix PrimariesUnderD65() {
  const Vector r = FromChromaticity(0.64, 0.33), g = FromChromaticity(0.30, 0.60), b = FromChromaticity(0.15, 0.06);
  const Matrix columns = {Vector{r[0], g[0], b[0]}, Vector{r[1], g[1], b[1]}, Vector{r[2], g[2], b[2]}};
  const Vector scale = Times(Inverse(columns), kD65);
  Matrix m = columns;
  for (auto& row : m) {
    for (int j = 0; j < 3; ++j) row[j] *= scale[j];
  }
  return m;
}

// Bradford chromatic adaptation from D65 to D50.
Matrix D65ToD50() {
  const Matrix bradford = {Vector{0.8951, 0.2664, -0.1614}, Vector{-0.7502, 1.7135, 0.0367},
                           Vector{0.0389, -0.0685, 1.0296}};
  const Vector to = Times(bradford, kD50), from = Times(bradford, kD65);
  const Matrix gain = {Vector{to[0] / from[0], 0, 0}, Vector{0, to[1] / from[1], 0}, Vector{0, 0, to[2] / from[2]}};
  return Times(Inverse(bradford), Times(gain, bradford));
}

void PutU16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, value >> 16);
  PutU16(out, value & 0xFFFF);
}

void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

void PutXyz(Bytes& out, const Vector& xyz) {
  PutText(out, "XYZ ");
  PutU32(out, 0);
  for (double value : xyz) PutU32(out, static_cast<std::uint32_t>(std::lround(value * 65536)));
}

Bytes DescriptionTag(std::string_view text) {
  Bytes tag;
  PutText(tag, "desc");
  PutU32(tag, 0);
  PutU32(tag, static_cast<std::uint32_t>(text.size() + 1));
  PutText(tag, text);
  tag.push_back(0);
  tag.resize(tag.size() + 4 + 4 + 2 + 1 + 67);  // no Unicode or ScriptCode text
  return tag;
}

Bytes TextTag(std::string_view text) {
  Bytes tag;
  PutText(tag, "text");
  PutU32(tag, 0);
  PutText(tag, text);
  tag.push_back(0);
  return tag;
}

Bytes XyzTag(const Vector& xyz) {
  Bytes tag;
  PutXyz(tag, xyz);
  return tag;
}

// The sRGB tone curve at the 256 levels of an 8-bit sample.
Bytes CurveTag() {
  constexpr int kPoints = 256;
  Bytes tag;
  PutText(tag, "curv");
  PutU32(tag, 0);
  PutU32(tag, kPoints);
  for (int i = 0; i < kPoints; ++i) {
    const double v = i / static_cast<double>(kPoints - 1);
    const double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    PutU16(tag, static_cast<unsigned>(std::lround(linear * 65535)));
  }
  return tag;
}

Bytes Header() {
  Bytes header;
  PutU32(header, 0);  // the size, filled in at the end
  PutU32(header, 0);
  PutU32(header, 0x02100000);  // version 2.1
  PutText(header, "mntrRGB XYZ ");
  for (unsigned field : {2024u, 1u, 1u, 0u, 0u, 0u}) PutU16(header, field);
  PutText(header, "acsp");
  header.resize(64, 0);  // platform, flags, maker, model and attributes: none
  PutU32(header, 0);     // perceptual intent
  for (double value : kD50) PutU32(header, static_cast<std::uint32_t>(std::lround(value * 65536)));
  header.resize(128, 0);
  return header;
}

}  // namespace

Bytes SrgbProfile() {
  const Matrix to_pcs = Times(D65ToD50(), PrimariesUnderD65());
  const Bytes curve = CurveTag();
  struct Tag {
    std::string_view signature;
    Bytes data;
  };
  const Tag tags[] = {
      {"desc", DescriptionTag("sRGB built by Pictorin")},
      {"cprt", TextTag("No copyright, use freely")},
      {"wtpt", XyzTag(kD65)},
      {"rXYZ", XyzTag({to_pcs[0][0], to_pcs[1][0], to_pcs[2][0]})},
      {"gXYZ", XyzTag({to_pcs[0][1], to_pcs[1][1], to_pcs[2][1]})},
      {"bXYZ", XyzTag({to_pcs[0][2], to_pcs[1][2], to_pcs[2][2]})},
      {"rTRC", curve},
  };
  Bytes profile = Header();
  const std::size_t table_end = profile.size() + 4 + 12 * (std::size(tags) + 2);
  Bytes data;
  PutU32(profile, static_cast<std::uint32_t>(std::size(tags) + 2));
  std::uint32_t curve_offset = 0;
  for (const Tag& tag : tags) {
    const auto offset = static_cast<std::uint32_t>(table_end + data.size());
    if (tag.signature == "rTRC") curve_offset = offset;
    PutText(profile, tag.signature);
    PutU32(profile, offset);
    PutU32(profile, static_cast<std::uint32_t>(tag.data.size()));
    data.insert(data.end(), tag.data.begin(), tag.data.end());
    data.resize((data.size() + 3) / 4 * 4, 0);
  }
  for (std::string_view shared : {"gTRC", "bTRC"}) {  // the three channels share one curve
    PutText(profile, shared);
    PutU32(profile, curve_offset);
    PutU32(profile, static_cast<std::uint32_t>(curve.size()));
  }
  profile.insert(profile.end(), data.begin(), data.end());
  const auto size = static_cast<std::uint32_t>(profile.size());
  for (int i = 0; i < 4; ++i) profile[i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  return profile;
}

}  // namespace pictorin::artwork
