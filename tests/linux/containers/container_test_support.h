#pragma once
// What the container tests share: readable failure messages for the answers,
// and the IDs of this machine's research containers, copied from it.

#include <ostream>
#include <string>

#include "platform/linux/containers/container_reader.h"

namespace proclens::linux_port {

inline void PrintTo(const ContainerRef& ref, std::ostream* out) { *out << RuntimeName(ref.runtime) << " " << ref.id; }

inline void PrintTo(const ContainerInfo& info, std::ostream* out) {
  *out << RuntimeName(info.runtime) << " " << info.id << " name '" << info.name << "' image '" << info.image
       << "' pod '" << info.pod << "'";
}

namespace containers_test {
inline const std::string kPodmanId = "729e093711d1376997a7beff60984799878480b7668e1eef4dd7caa3d44363cf";
inline const std::string kDockerId = "bbc44c852cf0941e8eb9e7ba9696c691e06e857bcb00195282e74321d6bed4a7";
}  // namespace containers_test

}  // namespace proclens::linux_port
