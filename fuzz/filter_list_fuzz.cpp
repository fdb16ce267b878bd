// The file dialog's filter conversion: FilterList turns the '|'-separated
// text into the zero-separated list, SplitFilterList reads pairs back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/checks.h"
#include "io/file_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pictorin;
  const std::string_view filter(reinterpret_cast<const char*>(data), size);
  const std::string list = FilterList(filter);
  if (!list.empty()) {
    fuzz::Require(list.ends_with(std::string_view("\0\0\0", 3)), "a list ends in its last pair's zero and one more");
    fuzz::Require(list.find('|') == std::string::npos, "no separator is left");
  }
  std::size_t text = 0;
  for (const FilterPair& pair : SplitFilterList(list)) {
    fuzz::Require(!pair.description.empty(), "pairs have descriptions");
    text += pair.description.size() + pair.pattern.size();
  }
  fuzz::Require(text <= list.size(), "the pairs come from the list");
  // The raw text as a list: whatever a caller hands in splits without harm.
  for (const FilterPair& pair : SplitFilterList(filter)) fuzz::Require(!pair.description.empty(), "pairs have descriptions");
  return 0;
}
