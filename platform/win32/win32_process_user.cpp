#include "platform/win32/win32_process_user.h"

#include <sddl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

struct LocalFreeDeleter {
  void operator()(wchar_t* text) const { LocalFree(text); }
};

std::optional<std::string> SidText(PSID sid) {
  wchar_t* raw = nullptr;
  if (!ConvertSidToStringSidW(sid, &raw)) return std::nullopt;
  const std::unique_ptr<wchar_t, LocalFreeDeleter> text(raw);
  return NarrowFromWide(std::wstring(text.get()));
}

std::optional<std::wstring> LookUpAccount(PSID sid) {
  DWORD name_size = 0;
  DWORD domain_size = 0;
  // The first call asks for the sizes. Wine answers a too-small buffer with a
  // size one short of the terminating zero, so each retry grows by one at least.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring name(name_size, L'\0');
    std::wstring domain(domain_size, L'\0');
    DWORD name_length = name_size;
    DWORD domain_length = domain_size;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name_size ? name.data() : nullptr, &name_length,
                          domain_size ? domain.data() : nullptr, &domain_length, &use)) {
      name.resize(name_length);
      domain.resize(domain_length);
      return domain.empty() ? name : domain + L"\\" + name;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    name_size = std::max(name_length, name_size + 1);
    domain_size = std::max(domain_length, domain_size + 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> AccountText(PSID sid) {
  if (!sid || !IsValidSid(sid)) return std::nullopt;
  if (const auto account = LookUpAccount(sid)) return NarrowFromWide(*account);
  return SidText(sid);
}

std::optional<std::string> ProcessUserName(std::uint32_t pid) {
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  HANDLE raw_token = nullptr;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY, &raw_token)) return std::nullopt;
  KernelHandle token(raw_token);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size < sizeof(TOKEN_USER)) return std::nullopt;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
    return std::nullopt;
  }
  return AccountText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

}  // namespace proclens::win32
