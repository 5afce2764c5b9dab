#include "platform/linux/origins/snap/yaml_library.h"

#include <cstdio>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {
namespace {

constexpr char kYamlSoname[] = "libyaml-0.so.2";

struct Loaded {
  YamlLibrary library;
  bool complete = false;
};

Loaded Load() {
  Loaded loaded;
  LibraryLoader loader(kYamlSoname);
#define PROCLENS_YAML_RESOLVE(name) loader.Resolve(loaded.library.name, #name);
  PROCLENS_YAML_FUNCTIONS(PROCLENS_YAML_RESOLVE)
#undef PROCLENS_YAML_RESOLVE
  loaded.complete = loader.error().empty();
  if (!loaded.complete) std::fprintf(stderr, "proclens: no snap texts: %s\n", loader.error().c_str());
  return loaded;
}

}  // namespace

const YamlLibrary* LoadYaml() {
  static const Loaded loaded = Load();
  return loaded.complete ? &loaded.library : nullptr;
}

}  // namespace proclens::linux_port
