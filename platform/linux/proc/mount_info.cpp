#include "platform/linux/proc/mount_info.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace proclens::linux_port {
namespace {

constexpr std::size_t kMountInfoLimit = 16u << 20;

// The next blank-separated field of line, removed from it.
std::string_view NextField(std::string_view& line) {
  const std::size_t start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    line = {};
    return {};
  }
  line.remove_prefix(start);
  const std::size_t end = line.find(' ');
  const std::string_view field = line.substr(0, end);
  line.remove_prefix(end == std::string_view::npos ? line.size() : end);
  return field;
}

// mountinfo writes blank, tab, line end and backslash in paths as \ and three octal digits.
std::string Unescape(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string_view::npos) {
        text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    text += field[i];
  }
  return text;
}

std::optional<std::uint32_t> NumberOf(std::string_view digits) {
  if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  const std::uint64_t value = std::stoull(std::string(digits));
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The first of a mount's comma-separated options that starts with prefix, or "".
std::string_view OptionStartingWith(std::string_view options, std::string_view prefix) {
  while (!options.empty()) {
    const std::size_t end = options.find(',');
    const std::string_view option = options.substr(0, end);
    options.remove_prefix(end == std::string_view::npos ? options.size() : end + 1);
    if (option.starts_with(prefix)) return option;
  }
  return {};
}

std::optional<std::uint32_t> UserIdOption(std::string_view options) {
  const std::string_view option = OptionStartingWith(options, "user_id=");
  if (option.empty()) return std::nullopt;
  return NumberOf(option.substr(8));
}

std::optional<std::string> ReadFrom(int fd, std::size_t limit) {
  std::string text;
  char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return text;
    if (text.size() + static_cast<std::size_t>(got) > limit) return std::nullopt;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::vector<Mount> ParseMountInfo(std::string_view text) {
  std::vector<Mount> mounts;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    // ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS
    NextField(line);
    NextField(line);
    const std::string_view device = NextField(line);
    const std::string_view root = NextField(line);
    const std::string_view mount_point = NextField(line);
    if (mount_point.empty() || mount_point.front() != '/') continue;
    std::string_view field;
    do {
      field = NextField(line);
    } while (!field.empty() && field != "-");
    const std::string_view type = NextField(line);
    NextField(line);  // the source
    const std::string_view super_options = NextField(line);
    if (field != "-" || type.empty()) continue;
    Mount mount;
    mount.mount_point = Unescape(mount_point);
    const std::size_t colon = device.find(':');
    if (colon != std::string_view::npos) {
      mount.device_major = NumberOf(device.substr(0, colon)).value_or(0);
      mount.device_minor = NumberOf(device.substr(colon + 1)).value_or(0);
    }
    mount.fuse = type == "fuse" || type.starts_with("fuse.");
    if (mount.fuse) mount.user_id = UserIdOption(super_options);
    mount.root = Unescape(root);
    if (type == "cgroup2") mount.cgroup_hierarchy.push_back('0');  // as "0::" names it
    if (type == "cgroup") mount.cgroup_hierarchy = std::string(OptionStartingWith(super_options, "name="));
    mounts.push_back(std::move(mount));
  }
  return mounts;
}

const Mount* MountHolding(const std::vector<Mount>& mounts, std::string_view path) {
  const Mount* holder = nullptr;
  for (const Mount& mount : mounts) {
    const std::string& point = mount.mount_point;
    const bool holds = point == "/" ? path.starts_with('/')
                                    : path.size() > point.size() && path.starts_with(point) && path[point.size()] == '/';
    if (holds && (holder == nullptr || point.size() >= holder->mount_point.size())) holder = &mount;
  }
  return holder;
}

const std::vector<Mount>& MountTable::Current() {
  bool changed = !fd_.valid();
  if (changed) {
    fd_ = UniqueFd(::open(mountinfo_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  } else {
    // The kernel marks a mount table that changed since it was last read.
    pollfd watch{fd_.get(), POLLPRI, 0};
    changed = ::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLPRI | POLLERR)) != 0;
  }
  if (changed && fd_.valid() && ::lseek(fd_.get(), 0, SEEK_SET) == 0) {
    if (const auto text = ReadFrom(fd_.get(), kMountInfoLimit)) mounts_ = ParseMountInfo(*text);
  }
  return mounts_;
}

std::optional<std::string> ReadProcText(const std::string& path, std::size_t limit) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  return ReadFrom(fd.get(), limit);
}

std::optional<std::string> ReadProcTextAt(int folder, const char* name, std::size_t limit) {
  UniqueFd fd(::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
  if (!fd.valid()) return std::nullopt;
  return ReadFrom(fd.get(), limit);
}

}  // namespace proclens::linux_port
