#include "linux/units/fake_systemd.h"

#include <fnmatch.h>

#include <chrono>

namespace proclens::units_test {
namespace {

constexpr char kInterface[] =
    "<node><interface name='org.freedesktop.systemd1.Manager'>"
    "<method name='ListUnitsByPatterns'><arg type='as' direction='in'/><arg type='as' direction='in'/>"
    "<arg type='a(ssssssouso)' direction='out'/></method>"
    "<method name='ListUnits'><arg type='a(ssssssouso)' direction='out'/></method>"
    "</interface></node>";

}  // namespace

FakeSystemd::FakeSystemd(std::vector<FakeUnit> units, Manner manner)
    : units_(std::move(units)), manner_(manner) {
  const auto flags = static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_SILENCE);
  daemon_ = g_subprocess_new(flags, nullptr, "dbus-daemon", "--session", "--nofork", "--print-address", nullptr);
  if (daemon_) {
    GDataInputStream* out = g_data_input_stream_new(g_subprocess_get_stdout_pipe(daemon_));
    gchar* line = g_data_input_stream_read_line(out, nullptr, nullptr, nullptr);
    if (line) address_ = line;
    g_free(line);
    g_object_unref(out);
  }
  context_ = g_main_context_new();
  loop_ = g_main_loop_new(context_, FALSE);
  thread_ = std::thread(&FakeSystemd::Serve, this);
  while (state_ == kStarting) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

FakeSystemd::~FakeSystemd() {
  g_main_context_invoke(
      context_,
      [](gpointer self) -> gboolean {
        auto* fake = static_cast<FakeSystemd*>(self);
        for (GDBusMethodInvocation* call : fake->unanswered_)
          g_dbus_method_invocation_return_dbus_error(call, "org.freedesktop.DBus.Error.Failed", "shutting down");
        fake->unanswered_.clear();
        g_main_loop_quit(fake->loop_);
        return G_SOURCE_REMOVE;
      },
      this);
  thread_.join();
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
  if (daemon_) {
    g_subprocess_force_exit(daemon_);
    g_subprocess_wait(daemon_, nullptr, nullptr);
    g_object_unref(daemon_);
  }
}

void FakeSystemd::Serve() {
  g_main_context_push_thread_default(context_);
  GDBusConnection* connection = address_.empty() ? nullptr : g_dbus_connection_new_for_address_sync(
      address_.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  if (connection) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterface, nullptr);
    static const GDBusInterfaceVTable vtable = {OnCall, nullptr, nullptr, {}};
    g_dbus_connection_register_object(connection, "/org/freedesktop/systemd1", node->interfaces[0], &vtable, this,
                                      nullptr, nullptr);
    g_dbus_node_info_unref(node);
    GVariant* owned = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", "org.freedesktop.systemd1", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1,
        nullptr, nullptr);
    if (owned) g_variant_unref(owned);
    state_ = owned ? kServing : kFailed;
    if (owned) g_main_loop_run(loop_);
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
  if (state_ == kStarting) state_ = kFailed;
  g_main_context_pop_thread_default(context_);
}

GVariant* FakeSystemd::Rows(GVariant* patterns) const {
  GVariantBuilder rows;
  g_variant_builder_init(&rows, G_VARIANT_TYPE("a(ssssssouso)"));
  for (const FakeUnit& unit : units_) {
    bool wanted = patterns == nullptr;
    GVariantIter iter;
    const gchar* pattern = nullptr;
    if (patterns) g_variant_iter_init(&iter, patterns);
    while (patterns && g_variant_iter_next(&iter, "&s", &pattern))
      wanted = wanted || fnmatch(pattern, unit.name.c_str(), 0) == 0;
    if (!wanted) continue;
    g_variant_builder_add(&rows, "(ssssssouso)", unit.name.c_str(), unit.description.c_str(),
                          unit.load_state.c_str(), "active", "running", "", "/org/freedesktop/systemd1/unit/x", 0u,
                          "", "/");
  }
  return g_variant_new("(a(ssssssouso))", &rows);
}

void FakeSystemd::OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                         GVariant* arguments, GDBusMethodInvocation* invocation, gpointer self) {
  auto* fake = static_cast<FakeSystemd*>(self);
  ++fake->calls_;
  const bool by_patterns = std::string_view(method) == "ListUnitsByPatterns";
  if (fake->manner_ == Manner::kSilent) {
    fake->unanswered_.push_back(invocation);
  } else if (by_patterns && fake->manner_ == Manner::kOldManager) {
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod", "unknown");
  } else {
    GVariant* patterns = by_patterns ? g_variant_get_child_value(arguments, 1) : nullptr;
    g_dbus_method_invocation_return_value(invocation, fake->Rows(patterns));
    if (patterns) g_variant_unref(patterns);
  }
}

}  // namespace proclens::units_test
