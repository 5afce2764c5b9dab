#include "platform/win32/win32_resource_ops.h"


namespace proclens::win32 {
namespace {

// RT_RCDATA in its narrow form, whatever UNICODE says.
const LPCSTR kRcDataType = MAKEINTRESOURCEA(10);

}  // namespace

std::optional<std::string> Win32ResourceOps::LoadRcData(const std::string& name) {
  // A module's resources stay mapped while it is loaded: nothing to free.
  HRSRC found = FindResourceA(module_, name.c_str(), kRcDataType);
  if (found == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(module_, found);
  if (loaded == nullptr) return std::nullopt;
  const DWORD size = SizeofResource(module_, found);
  const void* data = LockResource(loaded);
  if (data == nullptr) return std::nullopt;
  // All of it: the size says where it ends, zero bytes or not.
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace proclens::win32
