#include "platform/win32/win32_verify_ops.h"

#include <cwchar>
#include <optional>
#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_trust.h"
#include "platform/win32/win32_trust_state.h"

namespace proclens::win32 {
namespace {

// The catalog calls that choose a hash algorithm came with Windows 8; older
// systems (and Wine) have only the SHA-1 forms. Importing them by name would
// keep the whole program from loading there, so they are looked up.
using AcquireContext2Fn = BOOL(WINAPI*)(HCATADMIN*, const GUID*, PCWSTR, PCCERT_STRONG_SIGN_PARA, DWORD);
using CalcHashFromFileHandle2Fn = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

struct CatalogHashCalls {
  AcquireContext2Fn acquire_context = nullptr;
  CalcHashFromFileHandle2Fn calc_hash = nullptr;
  bool chooses_algorithm() const { return acquire_context && calc_hash; }
};

template <typename Fn>
Fn WintrustEntry(const char* name) {
  const HMODULE wintrust = GetModuleHandleW(L"wintrust.dll");
  return wintrust ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(wintrust, name)))
                  : nullptr;
}

const CatalogHashCalls& CatalogCalls() {
  static const CatalogHashCalls calls{WintrustEntry<AcquireContext2Fn>("CryptCATAdminAcquireContext2"),
                                      WintrustEntry<CalcHashFromFileHandle2Fn>(
                                          "CryptCATAdminCalcHashFromFileHandle2")};
  return calls;
}

// Newer catalogs list SHA-256 hashes, older ones SHA-1.
constexpr const wchar_t* kCatalogHashAlgorithms[] = {L"SHA256", L"SHA1"};

CatalogAdmin AcquireCatalogAdmin(const wchar_t* algorithm) {
  GUID subsystem = DRIVER_ACTION_VERIFY;
  HCATADMIN admin = nullptr;
  const CatalogHashCalls& calls = CatalogCalls();
  const BOOL acquired = calls.chooses_algorithm()
                            ? calls.acquire_context(&admin, &subsystem, algorithm, nullptr, 0)
                        : std::wcscmp(algorithm, L"SHA1") == 0 ? CryptCATAdminAcquireContext(&admin, &subsystem, 0)
                                                               : FALSE;
  return CatalogAdmin(acquired ? admin : nullptr);
}

std::vector<BYTE> CatalogHashOf(HCATADMIN admin, HANDLE file) {
  BYTE hash[64] = {};  // room for the largest digest a catalog lists
  DWORD size = sizeof(hash);
  const CatalogHashCalls& calls = CatalogCalls();
  SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN);
  const BOOL hashed = calls.chooses_algorithm() ? calls.calc_hash(admin, file, &size, hash, 0)
                                                : CryptCATAdminCalcHashFromFileHandle(file, &size, hash, 0);
  if (!hashed || size > sizeof(hash)) return {};
  return std::vector<BYTE>(hash, hash + size);
}

// A catalog lists its members under the upper-case hex of their hash.
std::wstring MemberTag(const std::vector<BYTE>& hash) {
  constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring tag;
  for (BYTE byte : hash) {
    tag += kHex[byte >> 4];
    tag += kHex[byte & 0xF];
  }
  return tag;
}

FileCheck FromVerification(const TrustVerification& verification) {
  FileCheck check;
  check.state = FileStateFromTrustResult(verification.result());
  if (check.state == file_state::kSigned) check.signer = verification.SignerName();
  return check;
}

// The verdict of the first system catalog that lists the file; nullopt when none does.
std::optional<FileCheck> CheckByCatalog(HANDLE file, const std::wstring& path) {
  for (const wchar_t* algorithm : kCatalogHashAlgorithms) {
    CatalogAdmin admin = AcquireCatalogAdmin(algorithm);
    if (!admin) continue;
    std::vector<BYTE> hash = CatalogHashOf(admin.get(), file);
    if (hash.empty()) continue;
    CatalogEntry entry(admin.get(), CryptCATAdminEnumCatalogFromHash(admin.get(), hash.data(),
                                                                     static_cast<DWORD>(hash.size()), 0, nullptr));
    if (!entry.get()) continue;
    CATALOG_INFO catalog_file = {};
    catalog_file.cbStruct = sizeof(catalog_file);
    if (!CryptCATCatalogInfoFromContext(entry.get(), &catalog_file, 0)) continue;
    const std::wstring tag = MemberTag(hash);
    WINTRUST_CATALOG_INFO catalog = {};
    catalog.cbStruct = sizeof(catalog);
    catalog.pcwszCatalogFilePath = catalog_file.wszCatalogFile;
    catalog.pcwszMemberTag = tag.c_str();
    catalog.pcwszMemberFilePath = path.c_str();
    catalog.hMemberFile = file;
    catalog.pbCalculatedFileHash = hash.data();
    catalog.cbCalculatedFileHash = static_cast<DWORD>(hash.size());
    catalog.hCatAdmin = admin.get();
    const TrustVerification verification(catalog);
    return FromVerification(verification);
  }
  return std::nullopt;
}

// Paths as long as MAX_PATH open only in their extended form.
std::wstring OpenablePath(const std::wstring& path) {
  const bool drive_absolute = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
  return drive_absolute && path.size() >= MAX_PATH ? L"\\\\?\\" + path : path;
}

}  // namespace

FileCheck Win32VerifyOps::CheckFile(const std::string& path, std::uint32_t /*pid*/, std::uint64_t size_limit) {
  FileCheck check;
  check.state = file_state::kUnreadable;
  const std::wstring wide_path = OpenablePath(WideFromNarrow(path));
  if (wide_path.empty()) return check;
  // Others may keep the file open for writing (an installer, the program's
  // own updater); the check only reads.
  KernelHandle file(CreateFileW(wide_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return check;
  if (static_cast<std::uint64_t>(size.QuadPart) > size_limit) {
    check.state = file_state::kNotChecked;
    return check;
  }
  {
    WINTRUST_FILE_INFO embedded = {};
    embedded.cbStruct = sizeof(embedded);
    embedded.pcwszFilePath = wide_path.c_str();
    embedded.hFile = file.get();
    const TrustVerification verification(embedded);
    if (!HasNoEmbeddedSignature(verification.result())) return FromVerification(verification);
  }
  if (std::optional<FileCheck> by_catalog = CheckByCatalog(file.get(), wide_path)) return *by_catalog;
  check.state = file_state::kUnsigned;
  return check;
}

}  // namespace proclens::win32
