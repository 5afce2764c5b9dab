#pragma once
// What Flatpak leaves for others to read about its sandboxes: the key file
// that every sandbox holds at /.flatpak-info (the application and the host
// folders mounted at /app and /usr), and the deploy data that it keeps beside
// each deployed application (the remote it came from).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

struct FlatpakInstance {
  std::string name;          // the application's (or, run on its own, the runtime's) ID
  std::string app_path;      // the host folder mounted at /app; empty for a runtime run on its own
  std::string runtime_path;  // the host folder mounted at /usr
};

// nullopt when the bytes are no key file or name no application.
std::optional<FlatpakInstance> ParseFlatpakInfo(std::string_view bytes);

// The .flatpak-info at the root of the process's sandbox (proc_fd is an open
// /proc); nullopt when the process runs in none, or its root cannot be read.
std::optional<FlatpakInstance> ReadFlatpakInstance(int proc_fd, std::uint32_t pid);

// The host paths that a path inside the sandbox may name, the likeliest
// first: /app/... and /usr/... mapped to the folders mounted there, then the
// path as it stands (bubblewrap's own process runs the host's /usr/bin/bwrap).
std::vector<std::string> HostCandidates(const FlatpakInstance& instance, std::string_view sandbox_path);

// The host path of the program that the sandboxed process runs (exe_link is
// its /proc/PID/exe target): the candidate that is the very file the process
// runs, with every link resolved; nullopt when no host path reaches it.
std::optional<std::string> SandboxedProgramOnHost(int proc_fd, std::uint32_t pid,
                                                  const FlatpakInstance& instance,
                                                  const std::string& exe_link);

// The remote a deployment was installed from, from the bytes of its "deploy"
// file; empty when they do not hold one.
std::string DeployedOrigin(std::string_view deploy_data);

}  // namespace proclens::linux_port
