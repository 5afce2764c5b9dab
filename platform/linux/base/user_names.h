#pragma once
// Users by name, as people know them.

#include <cstdint>
#include <string>

namespace proclens::linux_port {

// The account's name, or its number where the system names none. Each
// number is looked up once per run.
std::string UserName(std::uint32_t uid);

}  // namespace proclens::linux_port
