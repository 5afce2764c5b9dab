#include "platform/linux/base/path_search.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string_view>

namespace proclens::linux_port {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string ResolveAlongPath(const std::string& file_name) {
  if (file_name.empty()) return {};
  if (file_name.find('/') != std::string::npos) return file_name;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = folders.find(':', start);
    const std::string_view folder = std::string_view(folders).substr(start, colon - start);
    const std::string candidate = (folder.empty() ? std::string(".") : std::string(folder)) + '/' + file_name;
    if (IsRegularFile(candidate)) return candidate;
    if (colon == std::string::npos) return {};
    start = colon + 1;
  }
}

}  // namespace proclens::linux_port
