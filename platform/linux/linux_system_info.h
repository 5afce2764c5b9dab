#pragma once
// The running Linux system as the catalogue asks about it.

#include <string>

#include "platform/system_info.h"

namespace proclens::linux_port {

// Linux lists every process, asks whether the user is root, and keeps none of
// the Windows-only rules (system-process emblem, system-directory retry).
PlatformTraits LinuxTraits();

class LinuxSystemInfo : public SystemInfo {
 public:
  const PlatformTraits& Traits() override { return traits_; }
  std::optional<std::string> SystemDirectory() override { return "/usr/bin"; }
  std::optional<std::string> WindowsDirectory() override { return "/"; }
  // From LC_ALL, else LC_MESSAGES, else LANG: the first one set and not empty.
  std::uint16_t UserDefaultLangId() override;
  // ASCII letters only: the bytes of UTF-8 sequences stay as they are.
  std::string UpperCase(std::string text) override;

 private:
  PlatformTraits traits_ = LinuxTraits();
  // The variables are read at every call, but the table is searched again only
  // when their value changed: readers ask for the language many times per file.
  std::string last_locale_;
  std::uint16_t last_lang_id_ = 0;
};

}  // namespace proclens::linux_port
