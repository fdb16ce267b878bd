// The main of a fuzz target built without libFuzzer: runs every file of the
// folders (or the files) named on the command line through the target once,
// so that the corpora are replayed by the ordinary tests.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files a command-line argument names, in name order.
std::vector<fs::path> InputsOf(const fs::path& argument) {
  std::vector<fs::path> inputs;
  std::error_code error;
  if (!fs::is_directory(argument, error)) return {argument};
  for (const auto& entry : fs::directory_iterator(argument, error)) {
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

bool Run(const fs::path& input) {
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", input.c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    for (const fs::path& input : InputsOf(argv[i])) {
      if (!Run(input)) return 1;
      ++count;
    }
  }
  std::printf("%zu inputs replayed\n", count);
  return count > 0 ? 0 : 1;
}
