#include "platform/system_info.h"

namespace proclens {

PlatformTraits WindowsTraits(std::uint32_t platform_id) {
  PlatformTraits traits;
  traits.platform_id = platform_id;
  traits.first_listed_pid = 9;
  traits.admin_test = platform_id == kPlatformWin32Nt;
  traits.system_process_rule = platform_id == kPlatformWin32Nt;
  traits.system_dir_retry = true;
  traits.path_separator = '\\';
  traits.access_denied_error = 5;  // ERROR_ACCESS_DENIED
  traits.administrator_word = "Administrator";
  return traits;
}

}  // namespace proclens
