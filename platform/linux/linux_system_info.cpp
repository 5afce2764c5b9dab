#include "platform/linux/linux_system_info.h"

#include <cerrno>
#include <cstdlib>

#include "platform/linux/base/locale_table.h"

namespace proclens::linux_port {

PlatformTraits LinuxTraits() {
  PlatformTraits traits;
  traits.platform_id = 0;  // Linux has no version-query platform identifier
  // PID 1 is init, a program like any other; there are no pseudo-processes.
  traits.first_listed_pid = 0;
  traits.admin_test = true;
  traits.system_process_rule = false;
  // A guessed /usr/bin/<name> for an unreadable process may not be its file.
  traits.system_dir_retry = false;
  traits.path_separator = '/';
  traits.access_denied_error = EACCES;
  traits.administrator_word = "root";
  // libcurl refuses an address with a blank; WebKit would cut it at a '#'.
  traits.percent_encode_addresses = true;
  // Another user's dbus-daemon in /tmp is not /usr/bin/dbus-daemon.
  traits.describe_unseen_by_name = false;
  return traits;
}

std::uint16_t LinuxSystemInfo::UserDefaultLangId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    if (last_locale_ != value) {
      last_locale_ = value;
      last_lang_id_ = LangIdFromLocale(value);
    }
    return last_lang_id_;
  }
  return kUsEnglishLangId;
}

std::string LinuxSystemInfo::UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace proclens::linux_port
