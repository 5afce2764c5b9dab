#pragma once
// libyaml, loaded at the first snap that is described rather than with the
// program: only a snap's meta/snap.yaml needs it.

#include <yaml.h>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {

// Each member has the name and type of the libyaml function it points at.
#define PROCLENS_YAML_FUNCTIONS(X) \
  X(yaml_parser_initialize)        \
  X(yaml_parser_delete)            \
  X(yaml_parser_set_input_string)  \
  X(yaml_parser_parse)             \
  X(yaml_event_delete)

PROCLENS_LIBRARY_TABLE(YamlLibrary, PROCLENS_YAML_FUNCTIONS);

// The library, loaded at the first call and kept for the rest of the run;
// nullptr when it cannot be loaded.
const YamlLibrary* LoadYaml();

}  // namespace proclens::linux_port
