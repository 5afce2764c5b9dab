#include "platform/linux/units/unit_file_search.h"

#include <sys/stat.h>

#include <map>
#include <system_error>

#include "platform/linux/units/unit_file_text.h"
#include "platform/linux/units/unit_name.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;

// An alias may lead to another alias; systemd follows a few.
constexpr int kAliasHops = 8;

void AddDropInNames(const std::string& name, std::vector<std::string>& names) {
  names.push_back(name);
  const auto parts = ParseUnitName(name);
  if (!parts) return;
  if (!parts->instance.empty()) AddDropInNames(TemplateOf(name), names);
  // foo-bar-baz gives foo-bar-, which gives foo-: each cut after a "-",
  // a trailing "-" chopped off once first.
  std::string prefix(parts->prefix);
  bool chopped = false;
  for (;;) {
    const std::size_t dash = prefix.rfind('-');
    if (dash == std::string::npos || dash == 0) return;
    if (dash + 1 != prefix.size() || chopped) {
      prefix.resize(dash + 1);
      break;
    }
    prefix.resize(dash);
    chopped = true;
  }
  const std::string instance = parts->instance.empty() ? "" : "@" + std::string(parts->instance);
  AddDropInNames(prefix + instance + "." + std::string(parts->type), names);
}

// The first folder's file of the name, else (for an instance) of its template;
// an entry that does not resolve (a dangling link, a loop) is passed over.
std::optional<fs::path> FindUnitFile(const std::vector<fs::path>& folders, std::string_view name) {
  std::vector<std::string> candidates{std::string(name)};
  if (const std::string template_name = TemplateOf(name); template_name != name) candidates.push_back(template_name);
  for (const std::string& candidate : candidates) {
    for (const fs::path& folder : folders) {
      struct stat st {};
      const fs::path file = folder / candidate;
      if (::stat(file.c_str(), &st) == 0) return file;
    }
  }
  return std::nullopt;
}

// The unit names that the file's chain of symlinks leads to, other than name.
std::vector<std::string> AliasesOf(const fs::path& file, std::string_view name) {
  const auto parts = ParseUnitName(name);
  std::vector<std::string> aliases;
  fs::path current = file;
  for (int hop = 0; hop < kAliasHops && parts; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(current, error)) break;
    fs::path target = fs::read_symlink(current, error);
    if (error) break;
    if (target.is_relative()) target = current.parent_path() / target;
    std::string alias = target.filename().string();
    const auto alias_parts = ParseUnitName(alias);
    if (alias_parts && alias_parts->type == parts->type) {
      if (alias_parts->templated && !parts->instance.empty())
        alias = std::string(alias_parts->prefix) + "@" + std::string(parts->instance) + "." + std::string(parts->type);
      if (alias != name) aliases.push_back(alias);
    }
    current = target;
  }
  return aliases;
}

// Drop-ins by file name, the first folder's kept; a folder that is missing or
// cannot be listed adds nothing.
void CollectDropIns(const fs::path& folder, std::map<std::string, fs::path>& drop_ins) {
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string file_name = entry->path().filename().string();
    if (drop_ins.size() >= kDropInLimit) return;
    if (file_name.starts_with('.') || !file_name.ends_with(".conf")) continue;
    std::error_code type_error;
    if (entry->is_directory(type_error)) continue;
    drop_ins.emplace(file_name, entry->path());
  }
}

}  // namespace

UnitFileSearch::UnitFileSearch(std::vector<fs::path> folders) : folders_(std::move(folders)) {}

std::optional<FileDescription> UnitFileSearch::Describe(std::string_view unit_name) const {
  const auto parts = ParseUnitName(unit_name);
  if (!parts || parts->templated) return std::nullopt;
  const auto file = FindUnitFile(folders_, unit_name);
  if (!file) return std::nullopt;
  std::string buffer;
  const auto bytes = ReadWholeFile(file->string(), kUnitFileLimit, buffer);
  if (!bytes || bytes->empty()) return std::nullopt;
  std::optional<std::string> text = LastUnitDescription(*bytes, unit_name);
  fs::path source = *file;

  // The unit's own names across the path, then each alias's, then the type's.
  std::vector<std::vector<std::string>> groups{DropInNames(unit_name)};
  for (const std::string& alias : AliasesOf(*file, unit_name)) groups.push_back(DropInNames(alias));
  groups.push_back({std::string(parts->type)});
  std::map<std::string, fs::path> drop_ins;
  for (const auto& names : groups)
    for (const fs::path& folder : folders_)
      for (const std::string& name : names) CollectDropIns(folder / (name + ".d"), drop_ins);
  for (const auto& [file_name, path] : drop_ins) {
    const auto drop_in = ReadWholeFile(path.string(), kUnitFileLimit, buffer);
    if (!drop_in) continue;
    if (auto assigned = LastUnitDescription(*drop_in, unit_name)) {
      text = std::move(assigned);
      source = path;
    }
  }
  if (!text || text->empty()) return std::nullopt;
  return FileDescription{std::move(*text), std::move(source)};
}

std::vector<std::string> DropInNames(std::string_view unit_name) {
  std::vector<std::string> names;
  AddDropInNames(std::string(unit_name), names);
  return names;
}

std::vector<fs::path> SystemUnitFolders() {
  // /lib/systemd/system is where a system that has not merged /usr keeps
  // its packages' units; on a merged one it is /usr/lib's again.
  return {"/etc/systemd/system.control", "/run/systemd/system.control", "/run/systemd/transient",
          "/run/systemd/generator.early", "/etc/systemd/system", "/etc/systemd/system.attached",
          "/run/systemd/system", "/run/systemd/system.attached", "/run/systemd/generator",
          "/usr/local/lib/systemd/system", "/usr/lib/systemd/system", "/lib/systemd/system",
          "/run/systemd/generator.late"};
}

std::vector<fs::path> UserUnitFolders(const fs::path& home, std::uint32_t uid) {
  const fs::path runtime = fs::path("/run/user") / std::to_string(uid) / "systemd";
  const fs::path config = home / ".config/systemd";
  return {config / "user.control", runtime / "user.control", runtime / "transient", runtime / "generator.early",
          config / "user", "/etc/xdg/systemd/user", "/etc/systemd/user", runtime / "user", "/run/systemd/user",
          runtime / "generator", home / ".local/share/systemd/user", "/usr/local/share/systemd/user",
          "/usr/share/systemd/user", "/usr/local/lib/systemd/user", "/usr/lib/systemd/user",
          runtime / "generator.late"};
}

}  // namespace proclens::linux_port
