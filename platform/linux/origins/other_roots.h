#pragma once
// The programs of processes that see another "/" (containers, a user's own
// namespace): their own package databases answer, below their root, one
// chain of sources per root, read once however many processes share it. And
// whose word those answers are: a database is only as trustworthy as whoever
// can write it.
// - A root, file or database that belongs to a user other than root, as the
//   host sees them (a rootless container, a user's bubblewrap), vouches for
//   nothing: untrusted-root, naming that user.
// - A file in the upper layer of the overlay at the container's root was
//   written by the running container, whatever its image's database says:
//   changed-in-container.
// - Otherwise the container's own database answers, as its word.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/origins/program_origin.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {

class ProgramOrigins;

// The sources that answer for the programs below a root (ending in '/').
using SourcesForRoot = std::function<std::vector<std::unique_ptr<ProgramOrigin>>(const std::string& root)>;

class OtherRoots {
 public:
  // proc_root: where the process folders are, ending in '/'.
  explicit OtherRoots(SourcesForRoot sources, std::string proc_root = "/proc/");
  ~OtherRoots();
  OtherRoots(OtherRoots&&) noexcept;
  OtherRoots& operator=(OtherRoots&&) noexcept;

  // The chain of the root of file's process, when that process has one of
  // its own; nullptr when it shares this program's (or is a file named by
  // the user). root is filled in either way.
  ProgramOrigins* ChainOf(const ProgramFile& file, ProcessRoot& root);

  // Whether the root's word may be taken for file at all: its texts and
  // pictures name nothing where a user other than root can write them.
  bool Trusted(const ProgramFile& file, const ProcessRoot& root) const;

  // The chain's check of file, held to the rules above.
  FileCheck Judge(const ProgramFile& file, const ProcessRoot& root, FileCheck check);

  // Each root's databases read so far (for the benchmark).
  std::size_t roots_read() const { return chains_.size(); }

 private:
  struct Chain {
    std::uint32_t pid = 0;  // whose /proc/PID/root the sources read through
    std::unique_ptr<ProgramOrigins> origins;
  };
  SourcesForRoot sources_;
  std::string proc_root_;
  std::map<std::pair<std::uint64_t, std::uint64_t>, Chain> chains_;  // by the root's device and inode
};

}  // namespace proclens::linux_port
