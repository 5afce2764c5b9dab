#include "platform/linux/linux_resource_ops.h"

#include <gio/gio.h>

#include <memory>

namespace proclens::linux_port {
namespace {

struct GBytesUnref {
  void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};

void IndexChildren(ResourceIndex& index, const std::string& folder) {
  gchar** children =
      g_resources_enumerate_children(folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  if (children == nullptr) return;
  for (gchar** child = children; *child != nullptr; ++child) {
    const std::string path = folder + *child;
    if (path.back() == '/') {
      IndexChildren(index, path);
    } else {
      index.Add(path);
    }
  }
  g_strfreev(children);
}

}  // namespace

const ResourceIndex& LinuxResourceOps::Index() {
  if (!index_) {
    index_.emplace();
    IndexChildren(*index_, kBundleResourceRoot);
  }
  return *index_;
}

std::optional<std::string> LinuxResourceOps::LoadRcData(const std::string& name) {
  const EmbeddedResource* resource = Index().Find("RCDATA", name);
  if (resource == nullptr) return std::nullopt;
  std::unique_ptr<GBytes, GBytesUnref> bytes(g_resources_lookup_data(
      resource->stored_path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!bytes) return std::nullopt;
  gsize size = 0;
  const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
  // Every byte, zero bytes included: the size says where the resource ends.
  return std::string(data == nullptr ? "" : data, data == nullptr ? 0 : size);
}

}  // namespace proclens::linux_port
