#pragma once
// What the logic asks of the running system: its kind, its directories, the
// user's language and the locale's upper-casing.

#include <cstdint>
#include <optional>
#include <string>

namespace proclens {

inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS (9x)
inline constexpr std::uint32_t kPlatformWin32Nt = 2;       // VER_PLATFORM_WIN32_NT

// The properties of the running platform that change what the catalogue does.
// Read once at program start.
struct PlatformTraits {
  std::uint32_t platform_id = 0;  // the version query's platform identifier, 0 when unread
  std::uint32_t first_listed_pid = 0;  // snapshot entries below it are skipped
  bool admin_test = false;             // whether HasAdminRights asks the system at all
  bool system_process_rule = false;    // whether icon-less system processes get the emblem
  bool system_dir_retry = false;       // whether early unresolved entries are looked for there
  char path_separator = '\\';
  std::uint32_t access_denied_error = 5;  // the last-error value of a refused access
  const char* administrator_word = "Administrator";  // who may see every process
  // Whether an address (an online page's, and the program path inside the
  // offline page's res:// addresses) has the characters it cannot hold as they
  // stand (a blank, '#', '?', '%') percent-encoded, as a browser would send
  // them. The Windows client hands such addresses on unchanged.
  bool percent_encode_addresses = false;
  // Whether the page of a process whose file is not known (an error text)
  // reads the version texts of the file that its name finds, as Windows
  // searches for a bare file name. Elsewhere a name alone may find any file.
  bool describe_unseen_by_name = true;
};

// The Windows rules: identifiers 0 to 8 are the idle and system pseudo-processes,
// and the administrator test and the system-process emblem belong to the NT family.
PlatformTraits WindowsTraits(std::uint32_t platform_id);

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual const PlatformTraits& Traits() = 0;
  // GetSystemDirectoryA / GetWindowsDirectoryA: without a trailing separator;
  // nullopt when the directory cannot be read completely.
  virtual std::optional<std::string> SystemDirectory() = 0;
  virtual std::optional<std::string> WindowsDirectory() = 0;
  // GetUserDefaultLangID: asked afresh at every call.
  virtual std::uint16_t UserDefaultLangId() = 0;
  // CharUpperBuffA: the locale's upper-casing of narrow text.
  virtual std::string UpperCase(std::string text) = 0;
};

// The Language choice: German when the primary language of the user's
// language identifier is 7.
inline bool IsGermanLanguage(std::uint16_t lang_id) { return (lang_id & 0x3FF) == 7; }
inline bool GermanChosen(SystemInfo& info) { return IsGermanLanguage(info.UserDefaultLangId()); }

}  // namespace proclens
