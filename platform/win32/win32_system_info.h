#pragma once
// The running Windows system as the catalogue asks about it.

#include "platform/system_info.h"

namespace proclens::win32 {

// GetVersionExA's platform identifier, 0 when the query fails.
std::uint32_t ReadPlatformId();

// A directory read by a GetSystemDirectoryA-shaped call into a buffer of the
// given capacity: the text only when the call copied all of it (a result of
// the capacity or more is the size it would need), else nullopt.
using DirectoryReader = unsigned (*)(char* buffer, unsigned capacity);
std::optional<std::string> ReadDirectory(DirectoryReader read, unsigned capacity);

class Win32SystemInfo : public SystemInfo {
 public:
  // The directory buffers, terminating zero included.
  static constexpr unsigned kDirectoryCapacity = 256;

  // The platform identifier is read once, here, for the whole run.
  Win32SystemInfo();
  explicit Win32SystemInfo(std::uint32_t platform_id);

  const PlatformTraits& Traits() override { return traits_; }
  std::optional<std::string> SystemDirectory() override;
  std::optional<std::string> WindowsDirectory() override;
  std::uint16_t UserDefaultLangId() override;
  std::string UpperCase(std::string text) override;

 private:
  PlatformTraits traits_;
};

}  // namespace proclens::win32
