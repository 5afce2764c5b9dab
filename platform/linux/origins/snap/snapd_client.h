#pragma once
// snapd's REST interface on its Unix socket, for the one thing that only
// snapd knows about an installed snap: who published it.

#include <optional>
#include <string>

#include "platform/linux/origins/snap/snap_metadata.h"

namespace proclens::linux_port {

// The publisher of the snap (GET /v2/snaps/NAME); nullopt when snapd does
// not answer within the HTTP time-outs, or answers without one. name must be
// a snap name (see IsSnapName).
std::optional<SnapPublisher> AskSnapdForPublisher(const std::string& socket_path, const std::string& name);

}  // namespace proclens::linux_port
