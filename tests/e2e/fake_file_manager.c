/* A stand-in for the desktop's file manager on a private session bus: it owns
 * org.freedesktop.FileManager1, answers ShowItems, and appends each URI it was
 * asked to show to a file, one per line.
 *
 * usage: proclens_fake_file_manager LOG-FILE
 * Prints "ready" once the name is owned; runs until killed. */

#include <gio/gio.h>
#include <stdio.h>

static const char kInterface[] =
    "<node><interface name='org.freedesktop.FileManager1'>"
    "<method name='ShowItems'><arg type='as' direction='in'/><arg type='s' direction='in'/></method>"
    "<method name='ShowFolders'><arg type='as' direction='in'/><arg type='s' direction='in'/></method>"
    "</interface></node>";

static const char* log_path;

static void on_call(GDBusConnection* connection, const gchar* sender, const gchar* path,
                    const gchar* interface, const gchar* method, GVariant* parameters,
                    GDBusMethodInvocation* invocation, gpointer data) {
  (void)connection; (void)sender; (void)path; (void)interface; (void)data;
  GVariantIter* uris = NULL;
  const gchar* startup_id = NULL;
  const gchar* uri = NULL;
  g_variant_get(parameters, "(as&s)", &uris, &startup_id);
  FILE* log = fopen(log_path, "a");
  while (g_variant_iter_loop(uris, "&s", &uri)) {
    if (log) fprintf(log, "%s\t%s\n", method, uri);
  }
  if (log) fclose(log);
  g_variant_iter_free(uris);
  g_dbus_method_invocation_return_value(invocation, NULL);
}

static void on_name_acquired(GDBusConnection* connection, const gchar* name, gpointer data) {
  (void)connection; (void)name; (void)data;
  printf("ready\n");
  fflush(stdout);
}

static void on_name_lost(GDBusConnection* connection, const gchar* name, gpointer data) {
  (void)connection; (void)data;
  fprintf(stderr, "could not own %s\n", name);
  g_main_loop_quit((GMainLoop*)data);
}

static void on_bus_acquired(GDBusConnection* connection, const gchar* name, gpointer data) {
  (void)name; (void)data;
  static const GDBusInterfaceVTable vtable = {on_call, NULL, NULL, {0}};
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterface, NULL);
  g_dbus_connection_register_object(connection, "/org/freedesktop/FileManager1",
                                    node->interfaces[0], &vtable, NULL, NULL, NULL);
  g_dbus_node_info_unref(node);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s LOG-FILE\n", argv[0]);
    return 2;
  }
  log_path = argv[1];
  GMainLoop* loop = g_main_loop_new(NULL, FALSE);
  guint owner = g_bus_own_name(G_BUS_TYPE_SESSION, "org.freedesktop.FileManager1",
                               G_BUS_NAME_OWNER_FLAGS_NONE, on_bus_acquired, on_name_acquired,
                               on_name_lost, loop, NULL);
  g_main_loop_run(loop);
  g_bus_unown_name(owner);
  g_main_loop_unref(loop);
  return 1;
}
