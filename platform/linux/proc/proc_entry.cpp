#include "platform/linux/proc/proc_entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <utility>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

// stat's fields after the name: state(3) ppid(4) pgrp session tty_nr tpgid
// flags(9) ... starttime(22).
constexpr int kFieldsBeforeParent = 1;
constexpr int kFieldsBeforeFlags = 6;
constexpr int kFieldsBeforeStartTime = 19;

// argv[0] is a path, at most PATH_MAX long; the rest of a command line can be
// megabytes and is not needed.
constexpr std::size_t kArgvZeroLimit = 4096;
constexpr std::size_t kWholeFile = static_cast<std::size_t>(-1);

// How far a file is read: to its end, or (comm, stat: one record each, which
// the kernel hands over whole) until a read leaves room in the buffer, which
// saves the second read that would only find the end.
enum class Reading { kToTheEnd, kOneRecord };

// The file below dir_fd, its first `limit` bytes or a little more, or nullopt
// when it cannot be read (the process may have ended since it was listed).
std::optional<std::string> ReadSmallFile(int dir_fd, const char* name, std::size_t limit,
                                         Reading reading = Reading::kToTheEnd) {
  UniqueFd fd(::openat(dir_fd, name, O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (text.size() < limit) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    if (reading == Reading::kOneRecord && static_cast<std::size_t>(got) < sizeof buffer) break;
  }
  return text;
}

std::string_view SkipFields(std::string_view text, int count) {
  for (int i = 0; i < count; ++i) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    const auto end = text.find(' ', start);
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end);
  }
  const auto start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

}  // namespace

std::optional<StatFields> ParseStatLine(std::string_view stat) {
  const auto open = stat.find('(');
  const auto close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return std::nullopt;
  }
  StatFields fields;
  fields.comm = std::string(stat.substr(open + 1, close - open - 1));
  const std::string_view rest = stat.substr(close + 1);
  const auto number = [&rest](int skipped, auto& value) {
    const std::string_view text = SkipFields(rest, skipped);
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
  };
  if (!number(kFieldsBeforeFlags, fields.flags)) return std::nullopt;
  // Older or trimmed texts may end before these; they stay 0.
  number(kFieldsBeforeParent, fields.parent_pid);
  number(kFieldsBeforeStartTime, fields.start_time);
  return fields;
}

std::string CompleteCommName(const std::string& comm, std::string_view cmdline) {
  if (comm.size() < kCommLimit) return comm;
  std::string_view argv0 = cmdline.substr(0, cmdline.find('\0'));
  const auto slash = argv0.rfind('/');
  if (slash != std::string_view::npos) argv0.remove_prefix(slash + 1);
  if (argv0.size() > comm.size() && argv0.substr(0, comm.size()) == comm) {
    return std::string(argv0);
  }
  return comm;
}

namespace {

// The entry under the kernel's name, completed from the command line when the
// kernel cut it.
SnapshotEntry NamedEntry(int proc_fd, std::uint32_t pid, const std::string& dir,
                         std::string comm) {
  SnapshotEntry entry;
  entry.pid = pid;
  if (comm.size() >= kCommLimit) {
    // A zombie or a process that just ended has no command line: keep comm.
    if (const auto cmdline = ReadSmallFile(proc_fd, (dir + "/cmdline").c_str(), kArgvZeroLimit)) {
      comm = CompleteCommName(comm, *cmdline);
    }
  }
  entry.exe_file = std::move(comm);
  return entry;
}

std::set<std::uint32_t> ParsePidList(std::string_view text) {
  std::set<std::uint32_t> pids;
  const char* next = text.data();
  const char* const end = text.data() + text.size();
  while (next < end) {
    std::uint32_t pid = 0;
    const auto [rest, ec] = std::from_chars(next, end, pid);
    if (ec == std::errc()) pids.insert(pid);
    next = rest == next ? next + 1 : rest;  // the blanks between the numbers
  }
  return pids;
}

// The stat fields of a process that runs a program, not a kernel thread.
std::optional<StatFields> ProgramStat(int proc_fd, const std::string& dir) {
  const auto text = ReadSmallFile(proc_fd, (dir + "/stat").c_str(), kWholeFile, Reading::kOneRecord);
  auto fields = text ? ParseStatLine(*text) : std::nullopt;
  if (!fields || (fields->flags & kKernelThreadFlag) != 0) return std::nullopt;
  return fields;
}

}  // namespace

std::optional<SnapshotEntry> ReadProcessEntry(int proc_fd, std::uint32_t pid) {
  const std::string dir = std::to_string(pid);
  auto fields = ProgramStat(proc_fd, dir);
  if (!fields) return std::nullopt;
  return NamedEntry(proc_fd, pid, dir, std::move(fields->comm));
}

std::optional<std::pair<SnapshotEntry, ProcessRecord>> ReadRecordedEntry(int proc_fd, std::uint32_t pid) {
  const std::string dir = std::to_string(pid);
  // The folder's owner is the process's effective user, as procps reads it;
  // its files belong to root once the process is not dumpable (a daemon that
  // dropped to its own user without a new program, ssh-agent).
  struct stat owner {};
  if (::fstatat(proc_fd, dir.c_str(), &owner, 0) != 0) return std::nullopt;
  auto fields = ProgramStat(proc_fd, dir);
  if (!fields) return std::nullopt;
  ProcessRecord record{fields->parent_pid, fields->start_time, owner.st_uid, {}};
  SnapshotEntry entry = NamedEntry(proc_fd, pid, dir, std::move(fields->comm));
  record.name = entry.exe_file;
  return std::pair(std::move(entry), std::move(record));
}

std::optional<SnapshotEntry> ReadUserProcessEntry(int proc_fd, std::uint32_t pid) {
  const std::string dir = std::to_string(pid);
  auto comm = ReadSmallFile(proc_fd, (dir + "/comm").c_str(), kWholeFile, Reading::kOneRecord);
  // The kernel ends the name with one line feed; the name itself may hold any byte.
  if (!comm || comm->empty() || comm->back() != '\n') return std::nullopt;
  comm->pop_back();
  return NamedEntry(proc_fd, pid, dir, std::move(*comm));
}

std::optional<std::set<std::uint32_t>> KernelThreadCandidates(int proc_fd) {
  const auto kthreadd_stat = ReadSmallFile(proc_fd, "2/stat", kWholeFile);
  if (!kthreadd_stat) return std::nullopt;
  const auto fields = ParseStatLine(*kthreadd_stat);
  if (!fields) return std::nullopt;
  // In a pid namespace of its own, pid 2 is an ordinary program and no kernel
  // thread is visible at all.
  if ((fields->flags & kKernelThreadFlag) == 0) return std::set<std::uint32_t>();
  // Without CONFIG_PROC_CHILDREN there is no list to trust.
  const auto children = ReadSmallFile(proc_fd, "2/task/2/children", kWholeFile);
  if (!children) return std::nullopt;
  std::set<std::uint32_t> candidates = ParsePidList(*children);
  candidates.insert(2);
  return candidates;
}

std::optional<StatFields> ReadStatFields(int proc_fd, std::uint32_t pid) {
  const auto text = ReadSmallFile(proc_fd, (std::to_string(pid) + "/stat").c_str(), kWholeFile, Reading::kOneRecord);
  if (!text) return std::nullopt;
  return ParseStatLine(*text);
}

}  // namespace proclens::linux_port
