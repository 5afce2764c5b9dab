#pragma once
// Owning pointers for GLib memory and GObject references (GIO only).

#include <gio/gio.h>

#include <memory>

namespace proclens::linux_port {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

// A GList of GObjects that owns the list and one reference to each element.
struct GObjectListFree {
  void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using GObjectListPtr = std::unique_ptr<GList, GObjectListFree>;

}  // namespace proclens::linux_port
