#include "cli/embedded_templates.h"

#include <strings.h>

namespace proclens::cli {

std::optional<std::string> EmbeddedResourceOps::LoadRcData(const std::string& name) {
  for (std::size_t i = 0; i < kEmbeddedTemplateCount; ++i) {
    const EmbeddedTemplate& stored = kEmbeddedTemplates[i];
    if (::strcasecmp(stored.name, name.c_str()) == 0) return std::string(stored.bytes, stored.size);
  }
  return std::nullopt;
}

}  // namespace proclens::cli
