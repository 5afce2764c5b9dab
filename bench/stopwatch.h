#pragma once
// Wall and CPU time of a stretch of work, and the medians of many such.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <vector>

namespace proclens::bench {

// Wall time is what start-up waits for; CPU time is the same work without the
// stalls that other programs on a busy machine add, so both are reported.
struct Stopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  timespec cpu = CpuNow();

  static timespec CpuNow() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now;
  }
  double WallMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall)
        .count();
  }
  double CpuMs() const {
    const timespec now = CpuNow();
    return static_cast<double>(now.tv_sec - cpu.tv_sec) * 1e3 +
           static_cast<double>(now.tv_nsec - cpu.tv_nsec) / 1e6;
  }
};

struct Samples {
  std::vector<double> wall, cpu;
  void Add(const Stopwatch& watch) {
    cpu.push_back(watch.CpuMs());
    wall.push_back(watch.WallMs());
  }
};

inline double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
  std::nth_element(samples.begin(), middle, samples.end());
  return *middle;
}

}  // namespace proclens::bench
