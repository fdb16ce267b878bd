// Runs a window program and measures it from outside, the same way for our
// program and for the minimal one:
//   window_startup_harness start RUNS BASELINE PROGRAM
//     starts each program RUNS times, taking turns, with
//     PICTORIN_QUIT_AFTER_FIRST_PAINT set, and prints for each the median
//     time from start to exit (it quits right after its first paint) and the
//     median peak resident memory, and PROGRAM's medians over BASELINE's;
//   window_startup_harness idle SETTLE_S WATCH_S PROGRAM
//     starts PROGRAM, lets it settle, then counts the context switches of all
//     its threads over WATCH_S seconds: the times it woke up. Ends it after.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run {
  double milliseconds = 0;
  long max_rss_kib = 0;
  int status = -1;
};

pid_t Start(const char* program) {
  const pid_t child = fork();
  if (child == 0) {
    freopen("/dev/null", "w", stderr);  // Qt's notes on the environment
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

Run TimedRun(const char* program) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = Start(program);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  return {std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss,
          WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Figures {
  std::vector<double> times;
  std::vector<long> memory;
};

void Report(const char* program, const Figures& figures) {
  std::printf("%s: start to first paint and exit, median of %zu: %.1f ms (min %.1f, max %.1f); peak RSS median %ld KiB\n",
              program, figures.times.size(), Median(figures.times),
              *std::min_element(figures.times.begin(), figures.times.end()),
              *std::max_element(figures.times.begin(), figures.times.end()), Median(figures.memory));
}

int MeasureStart(int runs, const char* baseline, const char* program) {
  setenv("PICTORIN_QUIT_AFTER_FIRST_PAINT", "1", 1);
  const char* programs[] = {baseline, program};
  Figures figures[2];
  for (const char* each : programs) TimedRun(each);  // warms the page cache
  for (int i = 0; i < runs; ++i) {
    for (int p = 0; p < 2; ++p) {
      const Run run = TimedRun(programs[p]);
      if (run.status != 0) {
        std::fprintf(stderr, "%s exited with status %d\n", programs[p], run.status);
        return 1;
      }
      figures[p].times.push_back(run.milliseconds);
      figures[p].memory.push_back(run.max_rss_kib);
    }
  }
  Report(baseline, figures[0]);
  Report(program, figures[1]);
  std::printf("ratio: time %.2f, peak RSS %.2f\n", Median(figures[1].times) / Median(figures[0].times),
              static_cast<double>(Median(figures[1].memory)) / static_cast<double>(Median(figures[0].memory)));
  return 0;
}

// Voluntary and involuntary context switches of every thread of the process.
long ContextSwitches(pid_t process) {
  long total = 0;
  const std::string tasks = "/proc/" + std::to_string(process) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks)) {
    std::ifstream status(task.path() / "status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.find("ctxt_switches:") != std::string::npos) total += std::atol(line.c_str() + line.find(':') + 1);
    }
  }
  return total;
}

int MeasureIdle(int settle_seconds, int watch_seconds, const char* program) {
  const pid_t child = Start(program);
  std::this_thread::sleep_for(std::chrono::seconds(settle_seconds));
  if (waitpid(child, nullptr, WNOHANG) != 0) {
    std::fprintf(stderr, "%s ended before it was watched\n", program);
    return 1;
  }
  const long before = ContextSwitches(child);
  std::this_thread::sleep_for(std::chrono::seconds(watch_seconds));
  const long after = ContextSwitches(child);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  std::printf("%s: %ld wake-ups (context switches, all threads) in %d s of idling\n", program, after - before,
              watch_seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "start" && argc == 5) return MeasureStart(std::atoi(argv[2]), argv[3], argv[4]);
  if (mode == "idle" && argc == 5) return MeasureIdle(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
  std::fprintf(stderr,
               "usage: window_startup_harness start RUNS BASELINE PROGRAM\n"
               "       window_startup_harness idle SETTLE_S WATCH_S PROGRAM\n");
  return 2;
}
