// Headers that declare huge pictures over a few bytes of data: every reader
// refuses them without a picture, and before allocating anything of the
// size they declare. The allocations are counted by replacing the global
// operator new of this test program.

#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <new>
#include <string>

#include "imaging/picture.h"
#include "tests/support/huge_headers.h"

namespace {

std::atomic<std::size_t> live_bytes{0};
std::atomic<std::size_t> peak_bytes{0};

void* Allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::size_t now = live_bytes += malloc_usable_size(block);
  for (std::size_t peak = peak_bytes; now > peak && !peak_bytes.compare_exchange_weak(peak, now);) {
  }
  return block;
}

void Free(void* block) {
  if (block == nullptr) return;
  live_bytes -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, std::size_t) noexcept { Free(block); }
void operator delete[](void* block, std::size_t) noexcept { Free(block); }

namespace pictorin {
namespace {

// Far below any of the declared pictures, and what a refusal may cost.
constexpr std::size_t kMostBytes = std::size_t{64} << 20;

// Peak bytes held through operator new while the decode runs, above what
// was held before it.
template <typename Decode>
std::size_t PeakOf(Decode&& decode) {
  peak_bytes = live_bytes.load();
  const std::size_t before = live_bytes;
  decode();
  return peak_bytes - before;
}

class HugeHeaderTest : public testing::TestWithParam<test::HugeHeaderCase> {};

TEST_P(HugeHeaderTest, EveryReaderGivesNoPicture) {
  const test::HugeHeaderCase& c = GetParam();
  std::size_t peak = PeakOf([&] {
    auto picture = DecodePicture(c.bytes, kNoColour, false);
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.failure(), c.expected) << FailureText(picture.failure());
  });
  EXPECT_LT(peak, kMostBytes) << "DecodePicture";
  peak = PeakOf([&] { EXPECT_FALSE(LoadStillPicture(c.bytes).ok()); });
  EXPECT_LT(peak, kMostBytes) << "LoadStillPicture";
  peak = PeakOf([&] { EXPECT_FALSE(RenderPictureBitmap(c.bytes).ok()); });
  EXPECT_LT(peak, kMostBytes) << "RenderPictureBitmap";
}

INSTANTIATE_TEST_SUITE_P(Table, HugeHeaderTest, testing::ValuesIn(test::HugeHeaderCases()),
                         [](const testing::TestParamInfo<test::HugeHeaderCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace pictorin
