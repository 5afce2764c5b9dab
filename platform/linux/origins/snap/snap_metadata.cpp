#include "platform/linux/origins/snap/snap_metadata.h"

#include <nlohmann/json.hpp>

#include "platform/linux/origins/snap/yaml_library.h"
#include "platform/narrow_text.h"

namespace proclens::linux_port {
namespace {

// A snap.yaml has a few dozen nodes; a document made to be endless stops here.
constexpr int kMostEvents = 100000;

class YamlParser {
 public:
  YamlParser(const YamlLibrary& yaml, std::string_view text) : yaml_(yaml) {
    ready_ = yaml_.yaml_parser_initialize(&parser_) != 0;
    if (ready_)
      yaml_.yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  }
  ~YamlParser() {
    if (ready_) yaml_.yaml_parser_delete(&parser_);
  }
  YamlParser(const YamlParser&) = delete;
  YamlParser& operator=(const YamlParser&) = delete;

  // Hands each event to on_event until it returns false, the stream ends or
  // the text turns out malformed (then false).
  template <typename OnEvent>
  bool Run(OnEvent on_event) {
    if (!ready_) return false;
    for (int count = 0; count < kMostEvents; ++count) {
      yaml_event_t event;
      if (yaml_.yaml_parser_parse(&parser_, &event) == 0) return false;
      const bool more = event.type != YAML_STREAM_END_EVENT && on_event(event);
      yaml_.yaml_event_delete(&event);
      if (!more) return true;
    }
    return false;
  }

 private:
  const YamlLibrary& yaml_;
  yaml_parser_t parser_{};
  bool ready_ = false;
};

}  // namespace

std::optional<SnapYaml> ParseSnapYaml(std::string_view text) {
  const YamlLibrary* yaml = LoadYaml();
  if (yaml == nullptr) return std::nullopt;
  SnapYaml snap;
  int depth = 0;
  bool top_is_mapping = false;
  bool key_next = true;  // at the top level, keys and values alternate
  std::string key;
  const auto on_event = [&](const yaml_event_t& event) {
    const bool top_level = depth == 1 && top_is_mapping;
    switch (event.type) {
      case YAML_MAPPING_START_EVENT:
      case YAML_SEQUENCE_START_EVENT:
        if (depth == 0) top_is_mapping = event.type == YAML_MAPPING_START_EVENT;
        if (top_level) key_next = !key_next;
        ++depth;
        return true;
      case YAML_MAPPING_END_EVENT:
      case YAML_SEQUENCE_END_EVENT:
        return --depth > 0;  // the document's node is complete
      case YAML_ALIAS_EVENT:
        if (top_level) key_next = !key_next;
        return true;
      case YAML_SCALAR_EVENT:
        if (top_level) {
          const std::string value(reinterpret_cast<const char*>(event.data.scalar.value), event.data.scalar.length);
          if (key_next) {
            key = value;
          } else if (key == "name") {
            snap.name = value;
          } else if (key == "title") {
            snap.title = value;
          } else if (key == "summary") {
            snap.summary = value;
          }
          key_next = !key_next;
        }
        return depth > 0;
      default:
        return true;
    }
  };
  YamlParser parser(*yaml, text);
  if (!parser.Run(on_event) || !top_is_mapping) return std::nullopt;
  return snap;
}

std::optional<SnapPublisher> PublisherInSnapdReply(std::string_view json) {
  const auto reply = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (!reply.is_object()) return std::nullopt;
  const auto result = reply.find("result");
  if (result == reply.end() || !result->is_object()) return std::nullopt;
  const auto publisher = result->find("publisher");
  if (publisher == result->end() || !publisher->is_object()) return std::nullopt;
  const auto text = [&publisher](const char* key) {
    const auto found = publisher->find(key);
    return found != publisher->end() && found->is_string() ? found->get<std::string>() : std::string();
  };
  SnapPublisher named{text("display-name"), text("username"), text("validation")};
  if (named.display_name.empty()) named.display_name = named.username;
  if (named.display_name.empty()) return std::nullopt;
  return named;
}

std::string PublisherText(const SnapPublisher& publisher, bool german) {
  if (publisher.validation == "verified" || publisher.validation == "starred") return publisher.display_name;
  const std::string account =
      publisher.username.empty() ? "" : (german ? "Konto " : "account ") + publisher.username + ", ";
  return publisher.display_name + " (" + account +
         (german ? std::string("vom Store nicht best") + narrow::kAUmlaut + "tigt)" : "not verified by the store)");
}

std::map<std::string, std::string, std::less<>> AssertionHeaders(std::string_view assertion) {
  std::map<std::string, std::string, std::less<>> headers;
  while (!assertion.empty()) {
    const std::size_t end = assertion.find('\n');
    const std::string_view line = assertion.substr(0, end);
    if (line.empty()) break;  // the headers end at the first empty line
    assertion.remove_prefix(end == std::string_view::npos ? assertion.size() : end + 1);
    // Continuation lines of a multi-line value are indented.
    if (line.front() == ' ') continue;
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos || colon == 0) continue;
    headers.emplace(line.substr(0, colon), line.substr(colon + 2));
  }
  return headers;
}

bool IsSnapName(std::string_view name) {
  const std::size_t underscore = name.find('_');
  const std::string_view snap = name.substr(0, underscore);
  if (snap.empty() || snap.size() > 40 || snap.front() == '-' || snap.back() == '-') return false;
  for (const char c : snap) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
  }
  if (underscore == std::string_view::npos) return true;
  const std::string_view key = name.substr(underscore + 1);
  if (key.empty() || key.size() > 10) return false;
  for (const char c : key) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

}  // namespace proclens::linux_port
