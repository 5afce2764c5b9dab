#pragma once
// Fills the process list once from a snapshot: resolved items first, in snapshot
// order, then the unresolved ones, each with its icon in both image lists.

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/process_item.h"
#include "platform/file_ops.h"
#include "platform/process_ops.h"
#include "platform/snapshot_ops.h"
#include "platform/system_info.h"
#include "platform/process_facts_ops.h"

namespace proclens {

struct CataloguePlatform {
  SnapshotOps& snapshots;
  ProcessOps& processes;
  FileOps& files;
  SystemInfo& system;
  // Why each process runs and where, as its row's description; a platform
  // without it gives the rows none.
  ProcessFactsOps* facts = nullptr;
};

inline constexpr char kSystemProcessNames[] =
    "|svchost.exe|smss.exe|csrss.exe|winlogon.exe|services.exe|lsass.exe|spoolsv.exe"
    "|regsvc.exe|mstask.exe|tcpsvcs.exe|snmp.exe|";

class ProcessListFill {
 public:
  ProcessListFill(CataloguePlatform platform, ProcessItemList& list, ImageList& large_images,
                  ImageList& small_images);

  void FillProcessList();
  // 1 when the file does not exist, -1 when it has no icon, else the index of
  // its icon, newly added to both lists.
  int AddFileIcons(const std::string& path);
  // The file's size, 0 when no entry of that name is found.
  std::int64_t FileSizeOf(const std::string& path);

 private:
  bool FileExists(const std::string& path);
  int AddIconsOf(std::uint32_t pid, const std::string& path, const std::optional<FileEntry>& entry);
  static std::int64_t SizeOf(const std::optional<FileEntry>& entry);
  bool ContainsIgnoringCase(const std::string& text, const std::string& part);
  std::string RetryInSystemDirectory(const SnapshotEntry& entry, const std::string& prefix,
                                     int processed);
  ProcessItem MakeItem(const SnapshotEntry& entry, std::string path, const std::string& prefix);

  CataloguePlatform platform_;
  ProcessItemList& list_;
  ImageList& large_images_;
  ImageList& small_images_;
  bool german_descriptions_ = false;
};

}  // namespace proclens
