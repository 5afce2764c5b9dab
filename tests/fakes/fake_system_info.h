#pragma once
// The running system as the tests script it: its traits (Windows NT unless
// told otherwise), its directories, the user's language and ASCII
// upper-casing, with the questions counted. One fake for every test that
// needs a SystemInfo, alone or beside the operations it fakes.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "platform/system_info.h"

namespace proclens::fakes {

class FakeSystemInfo : public SystemInfo {
 public:
  PlatformTraits traits = WindowsTraits(kPlatformWin32Nt);
  std::optional<std::string> system_directory;
  std::optional<std::string> windows_directory;
  std::uint16_t lang_id = 0x0409;
  // Answers for the next language questions, one each, before lang_id; the
  // last one answered stays as lang_id.
  std::deque<std::uint16_t> next_lang_ids;
  int language_requests = 0;
  int upper_case_calls = 0;

  const PlatformTraits& Traits() override { return traits; }
  std::optional<std::string> SystemDirectory() override { return system_directory; }
  std::optional<std::string> WindowsDirectory() override { return windows_directory; }
  std::uint16_t UserDefaultLangId() override {
    ++language_requests;
    if (!next_lang_ids.empty()) {
      lang_id = next_lang_ids.front();
      next_lang_ids.pop_front();
    }
    return lang_id;
  }
  std::string UpperCase(std::string text) override {
    ++upper_case_calls;
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
  }
};

}  // namespace proclens::fakes
