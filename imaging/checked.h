#pragma once
// Every size and offset computation of the decoders goes through these
// helpers, so a crafted header can neither overflow an integer nor make us
// allocate more than the decode budget.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "imaging/bytes.h"

namespace pictorin {

// The most that one decode may allocate for its rasters, all frames together.
// The fuzzing build sets a smaller one (fuzz/run.sh), so that the fuzzer
// spends its time on the decoders' logic rather than on filling the large
// rasters that the budget allows.
#ifdef PICTORIN_DECODE_BUDGET
inline constexpr std::size_t kDecodeBudget = PICTORIN_DECODE_BUDGET;
#else
inline constexpr std::size_t kDecodeBudget = std::size_t{1} << 30;  // 1 GiB
#endif

// The product of the factors, or nothing if it overflows or a factor is negative.
std::optional<std::size_t> CheckedProduct(std::initializer_list<std::int64_t> factors);

// The sum of the terms, or nothing if it overflows or a term is negative.
std::optional<std::size_t> CheckedSum(std::initializer_list<std::int64_t> terms);

// Bytes of a width × height raster of bytes_per_pixel, or nothing when a side
// is below 1 or the raster would not fit in the decode budget.
std::optional<std::size_t> RasterBytes(std::int64_t width, std::int64_t height,
                                       std::int64_t bytes_per_pixel);

// True when the count bytes from offset lie inside the data.
bool InBounds(ByteView data, std::size_t offset, std::size_t count);

// Little-endian fields at an offset, or nothing if they reach past the end.
std::optional<std::uint16_t> ReadU16(ByteView data, std::size_t offset);
std::optional<std::uint32_t> ReadU32(ByteView data, std::size_t offset);
std::optional<std::int32_t> ReadI32(ByteView data, std::size_t offset);

}  // namespace pictorin

namespace pictorin {

// number × numerator ÷ denominator with the product in 64 bits and the
// quotient rounded to the nearest integer, halves away from zero, as the
// platform's MulDiv rounds. -1 when the denominator is 0 or the result does
// not fit 32 bits, as MulDiv reports them.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator);

}  // namespace pictorin
