#pragma once
// One WinVerifyTrust verification and the catalog administrator's handles,
// each released exactly once.

#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <mscat.h>
#include <softpub.h>

namespace proclens::win32 {

// WinVerifyTrust with WINTRUST_ACTION_GENERIC_VERIFY_V2, no UI, no
// revocation check. The provider's state data stays open while the object
// lives (the signer is read from it) and is closed with WTD_STATEACTION_CLOSE.
// The subject's strings and handles must outlive the object.
class TrustVerification {
 public:
  explicit TrustVerification(const WINTRUST_FILE_INFO& file);
  explicit TrustVerification(const WINTRUST_CATALOG_INFO& catalog);
  ~TrustVerification();
  TrustVerification(const TrustVerification&) = delete;
  TrustVerification& operator=(const TrustVerification&) = delete;

  LONG result() const { return result_; }
  // The simple display name of the leaf certificate's subject, in the ANSI
  // code page; empty when the provider kept no signer.
  std::string SignerName() const;

 private:
  void Verify();
  // The first signer the provider kept, with its certificate chain.
  const CRYPT_PROVIDER_SGNR* Signer() const;

  WINTRUST_FILE_INFO file_ = {};
  WINTRUST_CATALOG_INFO catalog_ = {};
  WINTRUST_DATA data_ = {};
  LONG result_ = 0;
};

struct CatalogAdminTraits {
  static HCATADMIN None() { return nullptr; }
  static bool IsValid(HCATADMIN h) { return h != nullptr; }
  static void Release(HCATADMIN h) { ::CryptCATAdminReleaseContext(h, 0); }
};
using CatalogAdmin = UniqueHandle<HCATADMIN, CatalogAdminTraits>;

// A catalog that lists a hash, released through the administrator that found it.
class CatalogEntry {
 public:
  CatalogEntry(HCATADMIN admin, HCATINFO info) : admin_(admin), info_(info) {}
  ~CatalogEntry() {
    if (info_) ::CryptCATAdminReleaseCatalogContext(admin_, info_, 0);
  }
  CatalogEntry(const CatalogEntry&) = delete;
  CatalogEntry& operator=(const CatalogEntry&) = delete;

  HCATINFO get() const { return info_; }

 private:
  HCATADMIN admin_;
  HCATINFO info_;
};

}  // namespace proclens::win32
