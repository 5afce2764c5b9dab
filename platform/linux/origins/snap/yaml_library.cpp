#include "platform/linux/origins/snap/yaml_library.h"

namespace proclens::linux_port {

const YamlLibrary* LoadYaml() {
  static const auto loaded = LoadLibraryTable<YamlLibrary>({"libyaml-0.so.2"}, "no snap texts");
  return loaded.get();
}

}  // namespace proclens::linux_port
