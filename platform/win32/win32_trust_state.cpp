#include "platform/win32/win32_trust_state.h"

#include "platform/verify_ops.h"
#include "platform/win32/win32_api.h"

#include <wincrypt.h>

// Not every copy of winerror.h names it.
#ifndef TRUST_E_MALFORMED_SIGNATURE
#define TRUST_E_MALFORMED_SIGNATURE _HRESULT_TYPEDEF_(0x80096011)
#endif

namespace proclens::win32 {
namespace {

// The Win32 error inside an HRESULT_FROM_WIN32 value, or the value itself.
unsigned long Win32Error(unsigned long code) {
  return HRESULT_FACILITY(code) == FACILITY_WIN32 && (code & 0x80000000u) ? HRESULT_CODE(code) : code;
}

bool IsReadFailure(unsigned long code) {
  if (code == static_cast<unsigned long>(CRYPT_E_FILE_ERROR)) return true;
  switch (Win32Error(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_READ_FAULT:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool HasNoEmbeddedSignature(long result) {
  const auto code = static_cast<unsigned long>(result);
  // A file that is not of a signable form (a script, a text file) may still
  // be listed in a catalog.
  return code == static_cast<unsigned long>(TRUST_E_NOSIGNATURE) ||
         code == static_cast<unsigned long>(TRUST_E_SUBJECT_FORM_UNKNOWN);
}

long TrustResultWithChain(long result, unsigned long chain_error_status) {
  if (result != ERROR_SUCCESS) return result;
  if (chain_error_status & CERT_TRUST_IS_PARTIAL_CHAIN) return CERT_E_CHAINING;
  if (chain_error_status & CERT_TRUST_IS_UNTRUSTED_ROOT) return CERT_E_UNTRUSTEDROOT;
  return result;
}

const char* FileStateFromTrustResult(long result) {
  const auto code = static_cast<unsigned long>(result);
  if (code == ERROR_SUCCESS) return file_state::kSigned;
  if (HasNoEmbeddedSignature(result)) return file_state::kUnsigned;
  if (IsReadFailure(code)) return file_state::kUnreadable;
  switch (code) {
    // The signature was read but does not fit the file's bytes, or is broken.
    case static_cast<unsigned long>(TRUST_E_BAD_DIGEST):
    case static_cast<unsigned long>(CRYPT_E_HASH_VALUE):
    case static_cast<unsigned long>(NTE_BAD_SIGNATURE):
    case static_cast<unsigned long>(TRUST_E_MALFORMED_SIGNATURE):
    case static_cast<unsigned long>(CRYPT_E_BAD_MSG):
      return file_state::kInvalid;
    // The rest (CERT_E_UNTRUSTEDROOT, CERT_E_CHAINING,
    // CERT_E_UNTRUSTEDTESTROOT, CERT_E_EXPIRED, CERT_E_REVOKED,
    // TRUST_E_EXPLICIT_DISTRUST, ...): the signature is intact, or could
    // not be judged, and no trusted root vouches for it.
    default:
      return file_state::kUntrusted;
  }
}

}  // namespace proclens::win32
