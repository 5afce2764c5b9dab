#include "platform/linux/containers/docker/docker_reader.h"

#include "platform/linux/containers/state_json.h"

namespace proclens::linux_port {
namespace {

// A container's record is a few KiB; its state and mounts make it grow a little.
constexpr std::size_t kConfigLimit = 4u << 20;

}  // namespace

StateAnswer DockerReader::Read(const ContainerRef& ref) {
  if (!IsContainerId(ref.id)) return UnknownContainer(ref);
  const auto text = folder_.ReadFile("containers/" + ref.id + "/config.v2.json", kConfigLimit);
  const auto config = text ? ParseStateObject(*text) : std::nullopt;
  if (!config) return UnknownContainer(ref);
  StateAnswer answer = UnknownContainer(ref);
  answer.kind = StateAnswer::Kind::kKnown;
  answer.info.name = StringField(*config, "Name");
  if (answer.info.name.starts_with('/')) answer.info.name.erase(0, 1);
  if (const nlohmann::json* asked = Field(*config, "Config")) answer.info.image = StringField(*asked, "Image");
  if (answer.info.image.empty()) answer.info.image = StringField(*config, "Image");
  return answer;
}

}  // namespace proclens::linux_port
