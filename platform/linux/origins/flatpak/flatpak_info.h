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

// Where a file of a deployed application or runtime lies:
// INSTALLATION/{app,runtime}/ID/ARCH/BRANCH/COMMIT/files/...
struct FlatpakDeployment {
  std::size_t installation = 0;  // index into the installations asked
  std::string ref_folder;        // INSTALLATION/app/ID/ARCH/BRANCH/COMMIT
  std::string id;
  bool is_app = false;
};

// The deployment that path lies in, below one of installations (real paths
// without a final '/'); nullopt when it lies in none.
std::optional<FlatpakDeployment> DeploymentOfPath(std::string_view path, const std::vector<std::string>& installations);

// Whether the folders that the key file says are mounted at /app and /usr
// are deployments' files folders of these installations: the sandbox's
// owner writes its key file, and only a sandbox that Flatpak made is
// believed.
bool MadeByFlatpak(const FlatpakInstance& instance, const std::vector<std::string>& installations);

// The host paths that a path inside the sandbox may name, the likeliest
// first: /app/... and /usr/... mapped to the folders mounted there, then the
// path as it stands (bubblewrap's own process runs the host's /usr/bin/bwrap).
std::vector<std::string> HostCandidates(const FlatpakInstance& instance, std::string_view sandbox_path);

// The host path of the program that the sandboxed process runs (exe_link is
// its /proc/PID/exe target): the candidate that is the very file the process
// runs, with every link resolved; nullopt when no host path reaches it. A
// sandbox that Flatpak did not make, and a program deleted since it started
// (which no host path can be), keep the kernel's word: exe_link itself.
std::optional<std::string> SandboxedProgramOnHost(int proc_fd, std::uint32_t pid,
                                                  const FlatpakInstance& instance,
                                                  const std::string& exe_link,
                                                  const std::vector<std::string>& installations);

// The remotes that an installation's repository configuration names (the
// bytes of INSTALLATION/repo/config).
std::vector<std::string> ConfiguredRemotes(std::string_view repo_config);

// The remote a deployment was installed from, from the bytes of its "deploy"
// file; empty when they do not hold one.
std::string DeployedOrigin(std::string_view deploy_data);

}  // namespace proclens::linux_port
