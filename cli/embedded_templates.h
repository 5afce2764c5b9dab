#pragma once
// The page templates that proclens-cli holds in itself on Linux, found by
// name as the program's RCDATA resources are.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/resource_ops.h"

namespace proclens::cli {

struct EmbeddedTemplate {
  const char* name;
  const char* bytes;
  std::size_t size;
};

// Made by CMake from the Linux page templates.
extern const EmbeddedTemplate kEmbeddedTemplates[];
extern const std::size_t kEmbeddedTemplateCount;

class EmbeddedResourceOps : public ResourceOps {
 public:
  // The template of that name (compared without regard to case), whole.
  std::optional<std::string> LoadRcData(const std::string& name) override;
};

}  // namespace proclens::cli
