#pragma once
// The system's text for an errno value, as the C library words it.

#include <cstring>
#include <string>

namespace proclens::linux_port {

inline std::string ErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r may answer with its own static text instead of the buffer.
  return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace proclens::linux_port
