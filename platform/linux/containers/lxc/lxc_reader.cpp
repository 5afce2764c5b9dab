#include "platform/linux/containers/lxc/lxc_reader.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kConfigLimit = 1u << 20;
constexpr std::string_view kTemplate = "# Template used to create this container:";
constexpr std::string_view kParameters = "# Parameters passed to the template:";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// NAME for "NAME-123"; nullopt for a name without such an ending.
std::optional<std::string> WithoutRetrySuffix(const std::string& name) {
  const std::size_t dash = name.rfind('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 == name.size() ||
      name.find_first_not_of("0123456789", dash + 1) != std::string::npos)
    return std::nullopt;
  return name.substr(0, dash);
}

}  // namespace

std::string LxcTemplateOf(std::string_view config) {
  std::string_view program;
  std::string_view parameters;
  while (!config.empty()) {
    const std::size_t end = config.find('\n');
    const std::string_view line = config.substr(0, end);
    config.remove_prefix(end == std::string_view::npos ? config.size() : end + 1);
    if (line.starts_with(kTemplate)) program = Trimmed(line.substr(kTemplate.size()));
    if (line.starts_with(kParameters)) parameters = Trimmed(line.substr(kParameters.size()));
  }
  program = program.substr(program.rfind('/') == std::string_view::npos ? 0 : program.rfind('/') + 1);
  if (program.empty()) return {};
  std::string image(program);
  if (!parameters.empty()) image.append(" ").append(parameters);
  return image;
}

StateAnswer LxcReader::Read(const ContainerRef& ref) {
  std::string name = ref.id;
  auto config = folder_.ReadFile(name + "/config", kConfigLimit);
  if (!config) {
    const auto shorter = WithoutRetrySuffix(name);
    if (shorter) config = folder_.ReadFile(*shorter + "/config", kConfigLimit);
    if (config) name = *shorter;
  }
  if (!config) return UnknownContainer(ref);
  StateAnswer answer = UnknownContainer(ref);
  answer.kind = StateAnswer::Kind::kKnown;
  answer.info.name = name;
  answer.info.image = LxcTemplateOf(*config);
  return answer;
}

}  // namespace proclens::linux_port
