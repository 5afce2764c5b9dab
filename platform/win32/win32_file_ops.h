#pragma once
// Files and their icons on Windows.

#include "platform/file_ops.h"
#include "platform/win32/win32_handles.h"

namespace proclens::win32 {

// An extracted icon; DestroyIcon when it goes.
class Win32Icon : public Icon {
 public:
  explicit Win32Icon(HICON icon) : icon_(icon) {}
  HICON handle() const { return icon_.get(); }

 private:
  IconHandle icon_;
};

class Win32FileOps : public FileOps {
 public:
  std::optional<FileEntry> FindFirstFile(const std::string& path) override;
  ExtractedIcons ExtractIcons(const std::string& path) override;
};

}  // namespace proclens::win32
