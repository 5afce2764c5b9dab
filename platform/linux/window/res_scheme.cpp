#include "platform/linux/window/res_scheme.h"

#include "platform/linux/window/webkit_library.h"

#include <memory>
#include <string>

#include "platform/resource_index.h"

namespace proclens::gtk_front {
namespace {

constexpr char kResourceRoot[] = "/proclens/res/";

void IndexChildren(ResourceIndex& index, const std::string& folder) {
  gchar** children = g_resources_enumerate_children(folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  if (children == nullptr) return;
  for (gchar** child = children; *child != nullptr; ++child) {
    std::string path = folder + *child;
    if (!path.empty() && path.back() == '/') {
      IndexChildren(index, path);
    } else {
      index.Add(path);
    }
  }
  g_strfreev(children);
}

const ResourceIndex& BundleIndex() {
  static const ResourceIndex index = [] {
    ResourceIndex built;
    IndexChildren(built, kResourceRoot);
    return built;
  }();
  return index;
}

void FinishNotFound(const WebKitLibrary& webkit, WebKitURISchemeRequest* request, const char* uri) {
  GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No resource at %s", uri);
  webkit.webkit_uri_scheme_request_finish_error(request, error);
  g_error_free(error);
}

void ServeResource(WebKitURISchemeRequest* request, gpointer library) {
  const WebKitLibrary& webkit = *static_cast<const WebKitLibrary*>(library);
  const char* uri = webkit.webkit_uri_scheme_request_get_uri(request);
  const EmbeddedResource* resource = BundleIndex().FindAddress(uri ? uri : "");
  gsize size = 0;
  if (resource == nullptr ||
      !g_resources_get_info(resource->stored_path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, &size,
                            nullptr, nullptr)) {
    return FinishNotFound(webkit, request, uri ? uri : "");
  }
  std::unique_ptr<GInputStream, decltype(&g_object_unref)> stream(
      g_resources_open_stream(resource->stored_path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr),
      &g_object_unref);
  if (!stream) return FinishNotFound(webkit, request, uri);
  webkit.webkit_uri_scheme_request_finish(request, stream.get(), static_cast<gint64>(size),
                                   resource->mime_type.c_str());
}

}  // namespace

void RegisterResScheme(const WebKitLibrary& webkit, WebKitWebContext* context) {
  webkit.webkit_web_context_register_uri_scheme(context, "res", &ServeResource,
                                                const_cast<WebKitLibrary*>(&webkit), nullptr);
  // Local pages (our offline page files) may show res:// images; the scheme
  // being local keeps web pages from reading the program's resources.
  webkit.webkit_security_manager_register_uri_scheme_as_local(
      webkit.webkit_web_context_get_security_manager(context), "res");
}

}  // namespace proclens::gtk_front
