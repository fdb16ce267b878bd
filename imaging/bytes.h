#pragma once
// The unit in which picture files travel: read whole, held by controls,
// built into the program, captured and written.

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace pictorin {

// A whole file's content. Its length fits a signed 32-bit count; the file
// reader refuses anything longer, so every Bytes value respects it.
using Bytes = std::vector<std::uint8_t>;

// Read-only view of bytes, what the decoders take.
using ByteView = std::span<const std::uint8_t>;

inline constexpr std::size_t kMaxBytesLength = std::numeric_limits<std::int32_t>::max();

}  // namespace pictorin
