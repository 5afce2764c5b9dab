// The list fill with and without why each process runs (its row's
// description from the process's facts), with a known crowd of processes:
//   facts_fill_bench [--children N] [--turns T]
// starts N sleeping children (default 1000), then times T turns (default 15)
// of two fills each, in alternating order: the fill without facts, as the
// list was filled before it said why (the baseline), and the fill with the
// facts that LinuxServices builds. Each fill gets a fresh platform, as a
// start of the program would. Prints the medians and their ratio, judged on
// CPU time like the catalogue benchmark (goal: at most 1.25).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_arguments.h"
#include "bench/catalogue_children.h"
#include "bench/catalogue_memory_sinks.h"
#include "bench/stopwatch.h"
#include "catalogue/process_list_fill.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_resource_ops.h"

namespace proclens::bench {
namespace {

constexpr double kGoal = 1.25;
// The children end on their own after this long even if everything else fails.
constexpr unsigned kLifetimeSeconds = 600;

struct Filled {
  std::size_t items = 0;
  std::size_t described = 0;  // rows with a description
};

// One fill on a fresh platform; only the fill itself is timed.
Filled TimedFill(bool with_facts, Samples& samples) {
  linux_port::LinuxResourceOps templates;
  linux_port::LinuxServices platform(templates);
  // Without facts, the snapshot keeps no records either, as before the list said why.
  linux_port::LinuxSnapshotOps bare_snapshots;
  CataloguePlatform catalogue = with_facts ? platform.Catalogue()
                                           : CataloguePlatform{bare_snapshots, platform.processes, platform.files,
                                                               platform.system, nullptr};
  MemoryItemList list;
  MemoryImageList large_images, small_images;
  ProcessListFill fill(catalogue, list, large_images, small_images);
  const Stopwatch watch;
  fill.FillProcessList();
  samples.Add(watch);
  Filled filled;
  filled.items = list.items().size();
  filled.described = static_cast<std::size_t>(std::count_if(
      list.items().begin(), list.items().end(), [](const ProcessItem& item) { return !item.description.empty(); }));
  return filled;
}

double Ratio(double over, double under) { return under > 0 ? over / under : 0; }

// The median of each turn's own ratio: a slower stretch of the machine
// weighs on both fills of a turn alike.
double MedianOfTurnRatios(const std::vector<double>& over, const std::vector<double>& under) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < over.size() && i < under.size(); ++i) ratios.push_back(Ratio(over[i], under[i]));
  return Median(ratios);
}

int Measure(int children, int turns) {
  const SleepingCrowd crowd(children, kLifetimeSeconds);
  if (!crowd.ready()) {
    std::fprintf(stderr, "the %d children did not start\n", children);
    return 1;
  }
  Samples bare, with_facts, unused;
  // The first fill of a process also pays for GIO's first look at the desktop entries.
  TimedFill(false, unused);
  TimedFill(true, unused);
  Filled bare_count, facts_count;
  for (int turn = 0; turn < turns; ++turn) {
    if (turn % 2 == 0) {
      bare_count = TimedFill(false, bare);
      facts_count = TimedFill(true, with_facts);
    } else {
      facts_count = TimedFill(true, with_facts);
      bare_count = TimedFill(false, bare);
    }
  }
  const double cpu_ratio = Ratio(Median(with_facts.cpu), Median(bare.cpu));
  std::printf("\nList fill with %d sleeping children: median of %d turns, milliseconds\n", children, turns);
  std::printf("%-22s %7s %10s %10s %10s\n", "", "listed", "described", "wall", "cpu");
  std::printf("%-22s %7zu %10zu %10.3f %10.3f\n", "without facts (today)", bare_count.items, bare_count.described,
              Median(bare.wall), Median(bare.cpu));
  std::printf("%-22s %7zu %10zu %10.3f %10.3f\n", "with facts", facts_count.items, facts_count.described,
              Median(with_facts.wall), Median(with_facts.cpu));
  std::printf("\n%-30s %6s %6s   %-8s %s\n", "ratio", "wall", "cpu", "goal", "(on cpu)");
  std::printf("%-30s %6.2f %6.2f   <= %-5.2f %s\n", "with facts / without", Ratio(Median(with_facts.wall), Median(bare.wall)),
              cpu_ratio, kGoal, cpu_ratio <= kGoal ? "PASS" : "MISS");
  std::printf("%-30s %6.2f %6.2f\n", "(median of each turn's ratio)", MedianOfTurnRatios(with_facts.wall, bare.wall),
              MedianOfTurnRatios(with_facts.cpu, bare.cpu));
  if (facts_count.described == 0) {
    std::fprintf(stderr, "the fill with facts described no row: the facts were not asked\n");
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace proclens::bench

int main(int argc, char** argv) {
  using namespace proclens::bench;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const long children = NumberAfter(args, "--children", 1000);
  const long turns = NumberAfter(args, "--turns", 15);
  if (children < 0 || turns < 0 || args.size() % 2 != 0) {
    std::fprintf(stderr, "usage: facts_fill_bench [--children N] [--turns T]\n");
    return 2;
  }
  return Measure(static_cast<int>(children), static_cast<int>(turns));
}
