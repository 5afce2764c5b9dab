#pragma once
// The program's path and the offline page files: GetModuleFileNameA,
// GetTempPathA and GetTempFileNameA, the file written with CreateFileA.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/page_file_ops.h"

namespace proclens::win32 {

class Win32PageFileOps : public PageFileOps {
 public:
  std::string ProgramPath() override;
  // A folder whose path does not fit 256 characters counts as none.
  std::optional<std::string> TemporaryFolder() override;
  std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                 const std::string& prefix) override;
  bool WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string LastErrorText() override;

 private:
  bool Failed();  // keeps GetLastError for LastErrorText; always false

  std::uint32_t last_error_ = 0;
};

}  // namespace proclens::win32
