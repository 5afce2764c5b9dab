#pragma once
// Finding a program by its bare name, as a shell does.

#include <string>

namespace proclens::linux_port {

// A name without '/' looked up along PATH (an empty entry is the current
// folder); any other name as it stands. Empty when nothing of that name is a
// regular file there.
std::string ResolveAlongPath(const std::string& file_name);

}  // namespace proclens::linux_port
