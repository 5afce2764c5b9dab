#pragma once
// The units tests' own helpers: unit files written into a test's tree, and
// units and descriptions as one line of text, so that tables of expectations
// read like what they say and a failure says what came instead.

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/linux/units/cgroup_unit.h"
#include "platform/linux/units/unit_descriptions.h"

namespace proclens::units_test {

inline void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}
inline std::string UnitText(const std::string& description) { return "[Unit]\nDescription=" + description + "\n"; }

// "system NAME", "user UID NAME", "container system NAME", or "none".
inline std::string Shown(const std::optional<linux_port::CgroupUnit>& unit) {
  if (!unit) return "none";
  using linux_port::UnitManager;
  const std::string manager =
      unit->manager == UnitManager::kSystem ? "system " : "user " + std::to_string(unit->uid) + " ";
  return (unit->kind == linux_port::CgroupUnit::Kind::kContainerScope ? "container " : "") + manager + unit->name;
}

// "TEXT (FILE)" with the file relative to root, "TEXT (manager)", or "none".
inline std::string Shown(const std::optional<linux_port::FileDescription>& found, const std::filesystem::path& root) {
  return found ? found->text + " (" + found->file.lexically_relative(root).string() + ")" : "none";
}
inline std::string Shown(const linux_port::UnitDescription& description, const std::filesystem::path& root) {
  using Source = linux_port::UnitDescription::Source;
  if (description.source == Source::kManager) return description.text + " (manager)";
  if (description.source == Source::kNone) return "none";
  return Shown(linux_port::FileDescription{description.text, description.file}, root);
}

}  // namespace proclens::units_test
