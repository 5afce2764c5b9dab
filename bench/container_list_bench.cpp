// What proclens-cli list --verify costs per process in a container against
// per process on the host: the same fill and checks as the command, over a
// snapshot that keeps only the processes named, with fresh services each
// turn as each run of the command has.
//   container_list_bench --containers PID,... --host PID,... [--turns T]
// Prints the medians per process, their ratio (goal: at most 2) and how many
// container roots one list read its package databases from.

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench/catalogue_memory_sinks.h"
#include "bench/stopwatch.h"
#include "catalogue/process_item.h"
#include "catalogue/process_list_fill.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_resource_ops.h"

namespace proclens::bench {
namespace {

constexpr double kGoal = 2.0;

class ChosenSnapshots : public SnapshotOps {
 public:
  ChosenSnapshots(SnapshotOps& all, const std::set<std::uint32_t>& chosen) : all_(all), chosen_(chosen) {}
  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override {
    struct Chosen : ProcessSnapshot {
      std::unique_ptr<ProcessSnapshot> all;
      const std::set<std::uint32_t>* chosen;
      bool Next(SnapshotEntry& entry) override {
        while (all->Next(entry))
          if (chosen->count(entry.pid) != 0) return true;
        return false;
      }
    };
    auto snapshot = std::make_unique<Chosen>();
    snapshot->all = all_.CreateSnapshot();
    snapshot->chosen = &chosen_;
    return snapshot->all ? std::move(snapshot) : nullptr;
  }

 private:
  SnapshotOps& all_;
  const std::set<std::uint32_t>& chosen_;
};

struct Listed {
  std::size_t rows = 0;
  std::size_t roots_read = 0;
};

// The list with checks over the chosen processes, as one run of the command
// (fresh services: every database read cold), then again on the same
// services (as the window's F5: what each process costs once they are read).
Listed TimedList(const std::set<std::uint32_t>& pids, Samples& cold, Samples& warm) {
  linux_port::LinuxResourceOps templates;
  linux_port::LinuxServices platform(templates);
  ChosenSnapshots snapshots(platform.snapshots, pids);
  Listed listed;
  for (Samples* samples : {&cold, &warm}) {
    MemoryItemList list;
    MemoryImageList large_images, small_images;
    const Stopwatch watch;
    ProcessListFill({snapshots, platform.processes, platform.files, platform.system, &platform.facts}, list,
                    large_images, small_images)
        .FillProcessList();
    for (const ProcessItem& item : list.items()) {
      const std::string path = item.sub_items.empty() ? std::string() : item.sub_items[0];
      if (IsResolvedPath(path)) platform.verify.CheckFile(path, item.pid, UINT64_MAX);
    }
    samples->Add(watch);
    listed.rows = list.items().size();
  }
  listed.roots_read = platform.origins.other_roots().roots_read();
  return listed;
}

std::set<std::uint32_t> Pids(const std::string& text) {
  std::set<std::uint32_t> pids;
  std::stringstream list(text);
  for (std::string pid; std::getline(list, pid, ',');) pids.insert(static_cast<std::uint32_t>(std::stoul(pid)));
  return pids;
}

void PrintRow(const char* what, std::size_t rows, const Samples& samples) {
  std::printf("  %-16s %4zu rows %8.3f ms cpu %8.3f ms wall  %6.3f ms per process\n", what, rows, Median(samples.cpu),
              Median(samples.wall), Median(samples.cpu) / static_cast<double>(rows));
}

int Measure(const std::set<std::uint32_t>& containers, const std::set<std::uint32_t>& host, int turns) {
  Samples containers_cold, containers_warm, host_cold, host_warm, unused;
  TimedList(host, unused, unused);  // the first run also pays for loading the libraries
  Listed container_rows, host_rows;
  for (int turn = 0; turn < turns; ++turn) {
    if (turn % 2 == 0) container_rows = TimedList(containers, containers_cold, containers_warm);
    host_rows = TimedList(host, host_cold, host_warm);
    if (turn % 2 != 0) container_rows = TimedList(containers, containers_cold, containers_warm);
  }
  if (container_rows.rows == 0 || host_rows.rows == 0) {
    std::fprintf(stderr, "no rows listed: %zu in containers, %zu on the host\n", container_rows.rows, host_rows.rows);
    return 1;
  }
  std::printf("\nlist --verify in the process, median of %d turns\n", turns);
  std::printf(" as one run of the command (every database read cold):\n");
  PrintRow("in containers", container_rows.rows, containers_cold);
  PrintRow("on the host", host_rows.rows, host_cold);
  std::printf(" again on the same services (databases read already):\n");
  PrintRow("in containers", container_rows.rows, containers_warm);
  PrintRow("on the host", host_rows.rows, host_warm);
  const auto per_process = [](const Samples& samples, const Listed& listed) {
    return Median(samples.cpu) / static_cast<double>(listed.rows);
  };
  const double cold = per_process(containers_cold, container_rows) / per_process(host_cold, host_rows);
  const double warm = per_process(containers_warm, container_rows) / per_process(host_warm, host_rows);
  std::printf("ratio per container process / per host process: %.2f cold, %.2f warm   goal <= %.2f  %s\n", cold, warm,
              kGoal, cold <= kGoal && warm <= kGoal ? "PASS" : "MISS");
  std::printf("container roots whose databases one list read: %zu\n", container_rows.roots_read);
  return 0;
}

}  // namespace
}  // namespace proclens::bench

int main(int argc, char** argv) {
  using namespace proclens::bench;
  std::string containers, host;
  int turns = 9;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--containers") containers = argv[i + 1];
    if (flag == "--host") host = argv[i + 1];
    if (flag == "--turns") turns = std::atoi(argv[i + 1]);
  }
  if (containers.empty() || host.empty() || turns <= 0) {
    std::fprintf(stderr, "usage: container_list_bench --containers PID,... --host PID,... [--turns T]\n");
    return 2;
  }
  return Measure(Pids(containers), Pids(host), turns);
}
