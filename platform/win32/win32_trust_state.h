#pragma once
// What a WinVerifyTrust answer says about a file, as one of the shared
// file states (platform/verify_ops.h).

namespace proclens::win32 {

// result is WinVerifyTrust's return value (an HRESULT, or the plain Win32
// error some providers pass through). Never "signed" for a failure: a code
// this function does not know leaves the file untrusted, since no trusted
// signature was found for it.
const char* FileStateFromTrustResult(long result);

// Whether the answer means the file carries no embedded signature that the
// system can read, so that the system catalogs are worth asking.
bool HasNoEmbeddedSignature(long result);

// WinVerifyTrust's success held against the error status of the signer's
// certificate chain: a chain that ends in no trusted root gives
// CERT_E_UNTRUSTEDROOT, one cut short CERT_E_CHAINING. Windows never
// answers success over such a chain, but Wine's wintrust does when the
// certificate is signed with a hash longer than SHA-1's: it then skips the
// chain's policy altogether. Other answers are returned as they are.
long TrustResultWithChain(long result, unsigned long chain_error_status);

}  // namespace proclens::win32
