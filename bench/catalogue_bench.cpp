// The catalogue benchmark's binary. Two jobs:
//   catalogue_bench --hold N [--lifetime SECONDS]
//       keeps N sleeping children running until it is told to stop;
//   catalogue_bench --measure [--reps R]
//       times our fill (through the Linux platform, icons included) and the
//       bare /proc walk, interleaved, R times each, and prints the medians.
// run_catalogue_bench.sh drives both and compares them with psutil.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_arguments.h"
#include "bench/catalogue_children.h"
#include "bench/catalogue_floor.h"
#include "bench/catalogue_memory_sinks.h"
#include "bench/stopwatch.h"
#include "catalogue/process_list_fill.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_resource_ops.h"

namespace proclens::bench {
namespace {

void PrintMedians(const char* name, const Samples& samples) {
  std::printf("%s_wall_ms %.3f\n%s_cpu_ms %.3f\n", name, Median(samples.wall), name,
              Median(samples.cpu));
}

struct FillCount {
  std::size_t items = 0;
  std::size_t resolved = 0;
  int icons = 0;
};

// One start-up's worth of work: a fresh platform (so the desktop entries are
// read again), fresh lists, one fill.
FillCount RunOurFill() {
  linux_port::LinuxResourceOps templates;
  linux_port::LinuxServices platform(templates);
  MemoryItemList list;
  MemoryImageList large_images, small_images;
  ProcessListFill fill(platform.Catalogue(), list, large_images, small_images);
  fill.FillProcessList();
  FillCount count;
  count.items = list.items().size();
  count.resolved = static_cast<std::size_t>(std::count_if(
      list.items().begin(), list.items().end(),
      [](const ProcessItem& item) { return IsResolvedPath(item.sub_items.at(0)); }));
  count.icons = large_images.count() - 2;
  return count;
}

int Measure(int reps) {
  // The children were just started: let the kernel set up their /proc entries
  // before anything is timed, so that no contender pays for that alone.
  WalkProcFloor();
  Samples fill, floor;
  FillCount fill_count;
  FloorCount floor_count;
  for (int i = 0; i < reps; ++i) {
    const Stopwatch fill_watch;
    fill_count = RunOurFill();
    fill.Add(fill_watch);
    const Stopwatch floor_watch;
    floor_count = WalkProcFloor();
    floor.Add(floor_watch);
  }
  // The first fill of a process also pays for GIO's first look at the desktop entries.
  std::printf("fill_first_wall_ms %.3f\nfill_first_cpu_ms %.3f\n", fill.wall.front(),
              fill.cpu.front());
  PrintMedians("fill", fill);
  PrintMedians("floor", floor);
  std::printf("fill_items %zu\nfill_resolved %zu\nfill_icons %d\n", fill_count.items,
              fill_count.resolved, fill_count.icons);
  std::printf("floor_processes %zu\nfloor_resolved %zu\n", floor_count.processes,
              floor_count.resolved);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: catalogue_bench --hold N [--lifetime SECONDS]\n"
               "       catalogue_bench --measure [--reps R]\n");
  return 2;
}

}  // namespace
}  // namespace proclens::bench

int main(int argc, char** argv) {
  using namespace proclens::bench;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  if (args[0] == "--hold" && args.size() >= 2) {
    const long count = NumberAfter(args, "--hold", -1);
    const long lifetime = NumberAfter(args, "--lifetime", 600);
    if (count < 0 || lifetime < 0) return Usage();
    return HoldSleepingChildren(static_cast<int>(count), static_cast<unsigned>(lifetime));
  }
  if (args[0] == "--measure") {
    const long reps = NumberAfter(args, "--reps", 7);
    if (reps < 0) return Usage();
    return Measure(static_cast<int>(reps));
  }
  return Usage();
}
