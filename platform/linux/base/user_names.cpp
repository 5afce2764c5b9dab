#include "platform/linux/base/user_names.h"

#include <pwd.h>

#include <map>
#include <mutex>
#include <vector>

namespace proclens::linux_port {

std::string UserName(std::uint32_t uid) {
  static std::mutex mutex;
  static std::map<std::uint32_t, std::string> known;
  const std::lock_guard lock(mutex);
  const auto found = known.find(uid);
  if (found != known.end()) return found->second;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* result = nullptr;
  std::string name = std::to_string(uid);
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_name != nullptr && result->pw_name[0] != '\0')
    name = result->pw_name;
  return known.emplace(uid, std::move(name)).first->second;
}

}  // namespace proclens::linux_port
