#pragma once
// Little-endian fields appended to test files as their headers define them.

#include <cstdint>

#include "imaging/bytes.h"

namespace pictorin::test {

inline void AppendU16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(Bytes& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

}  // namespace pictorin::test
