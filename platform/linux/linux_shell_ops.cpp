#include "platform/linux/linux_shell_ops.h"

#include <gio/gio.h>

#include <utility>

#include "platform/linux/base/gobject_ptr.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {
namespace {

constexpr char kSelectPrefix[] = "/select, ";

bool HasUriScheme(const std::string& text) {
  GCharPtr scheme(g_uri_parse_scheme(text.c_str()));
  return scheme != nullptr;
}

}  // namespace

LinuxShellPlan PlanShellCall(const std::string& verb, const std::string& file,
                             const std::optional<std::string>& parameters,
                             const std::optional<std::string>& directory) {
  if (file == "explorer.exe") {
    if (verb == "open" && parameters && parameters->starts_with(kSelectPrefix)) {
      const std::string name = parameters->substr(sizeof kSelectPrefix - 1);
      return {LinuxShellRequest::ShowItem, directory.value_or("") + name};
    }
    return {};
  }
  if (verb == "explore") return {LinuxShellRequest::OpenFolder, file};
  if (verb == "open") {
    if (HasUriScheme(file)) return {LinuxShellRequest::OpenAddress, file};
    return {LinuxShellRequest::OpenFolder, file};
  }
  return {};
}

std::string FileUri(const std::string& path) {
  if (!g_path_is_absolute(path.c_str())) return "";
  GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
  return uri ? uri.get() : "";
}

bool ShowItemInFileManager(const std::string& path) {
  const std::string uri = FileUri(path);
  if (uri.empty()) return false;
  GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
  if (!bus) return false;
  const gchar* uris[] = {uri.c_str(), nullptr};
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus.get(), "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
      "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr,
      G_DBUS_CALL_FLAGS_NONE, kFileManagerTimeoutMs, nullptr, &error);
  if (reply == nullptr) {
    g_clear_error(&error);
    return false;
  }
  g_variant_unref(reply);
  return true;
}

bool LaunchDefaultForUri(const std::string& uri) {
  if (uri.empty()) return false;
  GError* error = nullptr;
  const bool launched = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
  g_clear_error(&error);
  return launched;
}

std::uintptr_t LinuxShellOps::Execute(ShellOwner /*owner*/, const std::string& verb,
                                      const std::string& file,
                                      const std::optional<std::string>& parameters,
                                      const std::optional<std::string>& directory, int /*show*/) {
  const LinuxShellPlan plan = PlanShellCall(verb, file, parameters, directory);
  bool started = false;
  switch (plan.request) {
    case LinuxShellRequest::ShowItem: started = ShowItemInFileManager(plan.target); break;
    case LinuxShellRequest::OpenFolder: started = LaunchDefaultForUri(FileUri(plan.target)); break;
    case LinuxShellRequest::OpenAddress: started = LaunchDefaultForUri(plan.target); break;
    case LinuxShellRequest::Nothing: break;
  }
  return started ? kShellStarted : kShellFileNotFound;
}

std::string LinuxShellOps::PathToShow(std::uint32_t pid, const std::string& path) {
  if (pid == 0 || !path.starts_with('/')) return path;
  return ThroughRoot(RootOfProcess(pid), path);
}

void LinuxShellOps::Beep(unsigned /*type*/) {
  if (beep_) beep_();
}

}  // namespace proclens::linux_port
