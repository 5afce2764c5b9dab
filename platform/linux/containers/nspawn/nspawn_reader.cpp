#include "platform/linux/containers/nspawn/nspawn_reader.h"

#include <glib.h>

#include "platform/linux/base/gobject_ptr.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kMachineLimit = 64u << 10;

}  // namespace

std::optional<std::string> MachineField(std::string_view text, std::string_view key) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.size() <= key.size() || !line.starts_with(key) || line[key.size()] != '=') continue;
    // machined writes values with cescape(); GLib undoes those escapes.
    const std::string value(line.substr(key.size() + 1));
    GCharPtr unescaped(g_strcompress(value.c_str()));
    return std::string(unescaped ? unescaped.get() : "");
  }
  return std::nullopt;
}

StateAnswer NspawnReader::Read(const ContainerRef& ref) {
  const auto text = folder_.ReadFile(ref.id, kMachineLimit);
  if (!text) return UnknownContainer(ref);
  StateAnswer answer = UnknownContainer(ref);
  const auto machine_class = MachineField(*text, "CLASS");
  if (machine_class && *machine_class != "container") {
    answer.kind = StateAnswer::Kind::kNoContainer;
    return answer;
  }
  answer.kind = StateAnswer::Kind::kKnown;
  answer.info.name = ref.id;
  answer.info.image = MachineField(*text, "ROOT").value_or("");
  return answer;
}

}  // namespace proclens::linux_port
