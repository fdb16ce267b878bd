// What refusing a file that declares a huge picture costs: for each crafted
// file of tests/support/huge_headers.h and each reader, the growth of the
// peak resident memory (getrusage, in a child process of its own, so that
// one case's memory does not hide the next one's) and the median time of
// 21 calls, in microseconds. Prints a Markdown table. Targets: under 64 MiB and 50 ms each.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "imaging/picture.h"
#include "tests/support/huge_headers.h"

namespace pictorin {
namespace {

constexpr int kCalls = 21;

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

struct Reader {
  const char* name;
  std::function<bool(ByteView)> decodes;
};

const Reader kReaders[] = {
    {"DecodePicture", [](ByteView bytes) { return DecodePicture(bytes, kNoColour, false).ok(); }},
    {"LoadStillPicture", [](ByteView bytes) { return LoadStillPicture(bytes).ok(); }},
    {"RenderPictureBitmap", [](ByteView bytes) { return RenderPictureBitmap(bytes).ok(); }},
};

// Runs in the child: one table row.
void Measure(const test::HugeHeaderCase& c, const Reader& reader) {
  const long before = PeakKiB();
  std::vector<double> us;
  bool decoded = false;
  for (int i = 0; i < kCalls; ++i) {
    const auto start = std::chrono::steady_clock::now();
    decoded = reader.decodes(c.bytes) || decoded;
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(us.begin(), us.begin() + kCalls / 2, us.end());
  std::printf("| %s | %zu | %s | %s | %.1f | %ld |\n", c.name, c.bytes.size(), reader.name,
              decoded ? "**picture**" : "none", us[kCalls / 2], PeakKiB() - before);
}

}  // namespace
}  // namespace pictorin

int main() {
  using namespace pictorin;
  std::printf("| case | bytes | reader | result | median µs | peak RSS growth KiB |\n|---|---|---|---|---|---|\n");
  std::fflush(stdout);
  // What a child costs anyway: the pages it touches to run and print.
  std::vector<test::HugeHeaderCase> cases = {{"(empty bytes: the floor)", {}, Failure::kEmpty}};
  for (test::HugeHeaderCase& c : test::HugeHeaderCases()) cases.push_back(std::move(c));
  for (const test::HugeHeaderCase& c : cases) {
    for (const Reader& reader : kReaders) {
      const pid_t child = fork();
      if (child == 0) {
        Measure(c, reader);
        std::fflush(stdout);
        _exit(0);
      }
      int status = 0;
      waitpid(child, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("| %s | | %s | crashed | | |\n", c.name, reader.name);
    }
  }
  return 0;
}
