#include "platform/linux/containers/state_json.h"

namespace proclens::linux_port {

std::optional<nlohmann::json> ParseStateObject(std::string_view text) {
  nlohmann::json parsed = nlohmann::json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded() || !parsed.is_object()) return std::nullopt;
  return parsed;
}

const nlohmann::json* Field(const nlohmann::json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string StringField(const nlohmann::json& object, std::string_view key) {
  const nlohmann::json* value = Field(object, key);
  return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

std::string FirstString(const nlohmann::json& object, std::string_view key) {
  const nlohmann::json* values = Field(object, key);
  if (values == nullptr || !values->is_array() || values->empty() || !values->front().is_string()) return {};
  return values->front().get<std::string>();
}

}  // namespace proclens::linux_port
