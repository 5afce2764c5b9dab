#include "platform/win32/win32_trust.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_trust_state.h"

namespace proclens::win32 {

TrustVerification::TrustVerification(const WINTRUST_FILE_INFO& file) : file_(file) {
  data_.dwUnionChoice = WTD_CHOICE_FILE;
  data_.pFile = &file_;
  Verify();
}

TrustVerification::TrustVerification(const WINTRUST_CATALOG_INFO& catalog) : catalog_(catalog) {
  data_.dwUnionChoice = WTD_CHOICE_CATALOG;
  data_.pCatalog = &catalog_;
  Verify();
}

void TrustVerification::Verify() {
  data_.cbStruct = sizeof(data_);
  data_.dwUIChoice = WTD_UI_NONE;
  data_.fdwRevocationChecks = WTD_REVOKE_NONE;
  data_.dwStateAction = WTD_STATEACTION_VERIFY;
  // Nothing is fetched: no revocation lists, no missing issuers from the net.
  data_.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  result_ = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
  if (const CRYPT_PROVIDER_SGNR* signer = Signer(); signer && signer->pChainContext) {
    result_ = TrustResultWithChain(result_, signer->pChainContext->TrustStatus.dwErrorStatus);
  }
}

const CRYPT_PROVIDER_SGNR* TrustVerification::Signer() const {
  CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(data_.hWVTStateData);
  return provider ? ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
}

TrustVerification::~TrustVerification() {
  data_.dwStateAction = WTD_STATEACTION_CLOSE;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
}

std::string TrustVerification::SignerName() const {
  const CRYPT_PROVIDER_SGNR* signer = Signer();
  if (!signer || signer->csCertChain == 0 || !signer->pasCertChain || !signer->pasCertChain[0].pCert) {
    return {};
  }
  PCCERT_CONTEXT leaf = signer->pasCertChain[0].pCert;
  const DWORD capacity = ::CertGetNameStringW(leaf, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
  if (capacity <= 1) return {};  // the count includes the terminating zero
  std::wstring name(capacity, L'\0');
  const DWORD written =
      ::CertGetNameStringW(leaf, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), capacity);
  name.resize(written > 0 ? written - 1 : 0);
  return NarrowFromWide(name);
}

}  // namespace proclens::win32
