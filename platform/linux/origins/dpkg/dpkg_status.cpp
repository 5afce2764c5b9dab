#include "platform/linux/origins/dpkg/dpkg_status.h"

#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {

bool StartsWithBlank(std::string_view line) {
  return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

// Field names are compared without regard to case, as dpkg does.
bool SameFieldName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

DpkgStatus DpkgStatus::Parse(std::string_view text) {
  DpkgStatus status;
  PackageRecord record;
  auto finish = [&] {
    if (!record.name.empty()) status.records_.emplace(record.name, std::move(record));
    record = PackageRecord();
  };

  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (Trim(line).empty()) {
      finish();
      continue;
    }
    // Continuation lines belong to the field before them; only the
    // Description's first line and single-line fields are wanted.
    if (StartsWithBlank(line)) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view field = line.substr(0, colon);
    const std::string_view value = Trim(line.substr(colon + 1));
    if (SameFieldName(field, "Package")) {
      record.name = value;
    } else if (SameFieldName(field, "Architecture")) {
      record.architecture = value;
    } else if (SameFieldName(field, "Maintainer")) {
      record.maintainer = value;
    } else if (SameFieldName(field, "Description")) {
      record.summary = value;
    }
  }
  finish();
  return status;
}

const PackageRecord* DpkgStatus::Find(std::string_view list_name) const {
  const std::size_t colon = list_name.find(':');
  const std::string_view name = list_name.substr(0, colon);
  const std::string_view architecture =
      colon == std::string_view::npos ? std::string_view() : list_name.substr(colon + 1);
  const auto [first, last] = records_.equal_range(name);
  for (auto it = first; it != last; ++it) {
    if (architecture.empty() || it->second.architecture == architecture) return &it->second;
  }
  // A list named for an architecture that the status file does not show.
  return first != last ? &first->second : nullptr;
}

}  // namespace proclens::linux_port
