#pragma once
// A file's canonical path, as opening it would reach it.

#include <stdlib.h>

#include <memory>
#include <optional>
#include <string>

namespace proclens::linux_port {

// Every symbolic link resolved; nullopt when the file is missing.
inline std::optional<std::string> RealPathOf(const std::string& path) {
  std::unique_ptr<char, decltype(&::free)> real(::realpath(path.c_str(), nullptr), &::free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

}  // namespace proclens::linux_port
