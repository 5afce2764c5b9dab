#pragma once
// The path of proclens_why_helper.exe as Wine sees it: the build passes the
// build host's path, and Wine shows the host's root as drive Z:.

#include <algorithm>
#include <string>

namespace proclens::win32::testing {

inline std::wstring WhyHelperPath() {
  const std::string host = PROCLENS_WHY_HELPER;
  std::wstring path = L"Z:" + std::wstring(host.begin(), host.end());
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

}  // namespace proclens::win32::testing
