#pragma once
// OpenSSL's libcrypto, loaded at the first checksum rather than with the
// program: only the check of a program's file needs it.

#include <openssl/evp.h>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {

// Each member has the name and type of the libcrypto function it points at.
#define PROCLENS_CRYPTO_FUNCTIONS(X) \
  X(EVP_MD_CTX_new)                  \
  X(EVP_MD_CTX_free)                 \
  X(EVP_md5)                         \
  X(EVP_get_digestbyname)            \
  X(EVP_DigestInit_ex)               \
  X(EVP_DigestUpdate)                \
  X(EVP_DigestFinal_ex)

PROCLENS_LIBRARY_TABLE(CryptoLibrary, PROCLENS_CRYPTO_FUNCTIONS);

// The library, loaded at the first call and kept for the rest of the run;
// nullptr when it cannot be loaded.
const CryptoLibrary* LoadCrypto();

}  // namespace proclens::linux_port
