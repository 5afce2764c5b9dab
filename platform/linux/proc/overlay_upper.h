#pragma once
// Whose word is a container's file: the overlay that Docker, Podman,
// containerd and CRI-O mount at a container's root writes whatever the running
// container changed to its upper layer; the lower layers are what the image
// shipped. A file found in the upper layer was written inside the container.

#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// The upper layer of the overlay mounted at "/" in a process's mountinfo text
// (/proc/PID/mountinfo, whose mount points are below the process's own root),
// as the mounter named it: a path in the mounting runtime's view, which for
// the rootful runtimes is the host's. nullopt when that root is no overlay (a
// plain folder, as Podman's vfs driver gives, or fuse-overlayfs, which hides
// its layers) or the overlay has no upper layer (only read-only layers).
std::optional<std::string> RootOverlayUpperDir(std::string_view mountinfo);

}  // namespace proclens::linux_port
