#include "platform/win32/win32_file_ops.h"

namespace proclens::win32 {
namespace {

std::unique_ptr<Icon> OwnedIcon(HICON icon) {
  if (!icon) return nullptr;
  return std::make_unique<Win32Icon>(icon);
}

}  // namespace

std::optional<FileEntry> Win32FileOps::FindFirstFile(const std::string& path) {
  WIN32_FIND_DATAA found = {};
  FindHandle search(FindFirstFileA(path.c_str(), &found));
  if (!search) return std::nullopt;
  FileEntry entry;
  entry.is_directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return entry;
}

ExtractedIcons Win32FileOps::ExtractIcons(const std::string& path) {
  HICON large = nullptr;
  HICON small = nullptr;
  const UINT count = ExtractIconExA(path.c_str(), 0, &large, &small, 1);
  ExtractedIcons icons;
  // Some systems answer a file they cannot read with UINT_MAX rather than 0,
  // and a failed call may leave stray values in the handles: they are owned
  // and released only when the call reports icons.
  if (count == 0 || count == UINT_MAX) return icons;
  icons.count = count;
  icons.large = OwnedIcon(large);
  icons.small = OwnedIcon(small);
  return icons;
}

}  // namespace proclens::win32
