#include "platform/linux/containers/podman/podman_reader.h"

#include "platform/linux/containers/state_json.h"

namespace proclens::linux_port {
namespace {

// Each container or image takes well under a KiB of these lists.
constexpr std::size_t kListLimit = 16u << 20;
// The drivers of containers/storage, the usual ones first.
constexpr const char* kDrivers[] = {"overlay", "vfs", "btrfs", "zfs", "aufs", "devmapper"};

// The entry of a list (an array of objects) whose "id" is id; nullptr when none is.
const nlohmann::json* EntryWithId(const nlohmann::json& list, const std::string& id) {
  if (!list.is_array()) return nullptr;
  for (const nlohmann::json& entry : list) {
    if (StringField(entry, "id") == id) return &entry;
  }
  return nullptr;
}

nlohmann::json ParseList(const std::optional<std::string>& text) {
  if (!text) return nullptr;
  nlohmann::json parsed = nlohmann::json::parse(text->begin(), text->end(), nullptr, /*allow_exceptions=*/false);
  return parsed.is_discarded() ? nlohmann::json(nullptr) : parsed;
}

}  // namespace

std::string PodmanReader::ImageNames(const std::string& driver, const std::string& image_id) const {
  const nlohmann::json images = ParseList(folder_.ReadFile(driver + "-images/images.json", kListLimit));
  const nlohmann::json* image = EntryWithId(images, image_id);
  return image != nullptr ? FirstString(*image, "names") : std::string();
}

StateAnswer PodmanReader::Read(const ContainerRef& ref) {
  for (const std::string driver : kDrivers) {
    const auto text = folder_.ReadFile(driver + "-containers/containers.json", kListLimit);
    if (!text) continue;
    const nlohmann::json containers = ParseList(text);
    const nlohmann::json* entry = EntryWithId(containers, ref.id);
    if (entry == nullptr) continue;  // a storage that changed drivers keeps both lists
    StateAnswer answer = UnknownContainer(ref);
    answer.kind = StateAnswer::Kind::kKnown;
    answer.info.name = FirstString(*entry, "names");
    // Podman keeps its own metadata as a JSON text inside the entry.
    if (const auto metadata = ParseStateObject(StringField(*entry, "metadata")))
      answer.info.image = StringField(*metadata, "image-name");
    const std::string image_id = StringField(*entry, "image");
    if (answer.info.image.empty() && !image_id.empty()) answer.info.image = ImageNames(driver, image_id);
    if (answer.info.image.empty()) answer.info.image = image_id;
    return answer;
  }
  return UnknownContainer(ref);
}

}  // namespace proclens::linux_port
