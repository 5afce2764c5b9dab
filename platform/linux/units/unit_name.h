#pragma once
// systemd's unit names: which strings are names, their parts, and the two
// escapings that meet in a cgroup path. A unit's cgroup folder is its name,
// with one "_" put in front where the name could be taken for a kernel file
// ("_cpu.service", "__x.service" for "_x.service"); the name itself keeps
// systemd's own escapes ("\x2d" for a "-" that is part of a word, "-" for a
// "/" of a path), because those are part of the name: `systemctl` prints and
// accepts "systemd-fsck@dev-disk-by\x2duuid-1.service" as it stands, and the
// manager on the bus knows it by exactly that string.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// systemd's unit names are shorter than this (UNIT_NAME_MAX).
inline constexpr std::size_t kUnitNameLimit = 256;

struct UnitNameParts {
  std::string_view prefix;    // before "@", or the whole name before the type
  std::string_view instance;  // between "@" and the type; empty for a plain name
  std::string_view type;      // "service", "scope", ...
  bool templated = false;     // "foo@.service"
};

// The parts of a valid unit name (plain, instance or template), else nullopt:
// systemd's characters only ([A-Za-z0-9:_.\\@-]), a known type, no "@" first.
std::optional<UnitNameParts> ParseUnitName(std::string_view name);

// A plain name or an instance: the names that units run under.
bool IsRunnableUnitName(std::string_view name);
bool IsSliceName(std::string_view name);

// The cgroup folder's name as systemd names the unit: one leading "_" undone.
std::string_view CgroupUnescape(std::string_view folder);

// "foo@.service" for "foo@bar.service"; the name itself when not an instance.
std::string TemplateOf(std::string_view name);

// systemd's unescaping of a name part ("-" is "/", "\xNN" a byte), as the
// %I, %P and %J specifiers show it; an escape that is not one stays as it is.
std::string UnescapeNamePart(std::string_view part);
// As %f shows a name part: an absolute path.
std::string UnescapeNamePath(std::string_view part);

// The user manager's service, "user@UID.service", and its UID.
std::optional<std::uint32_t> UserManagerUid(std::string_view name);

}  // namespace proclens::linux_port
