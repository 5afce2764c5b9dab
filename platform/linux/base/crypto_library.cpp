#include "platform/linux/base/crypto_library.h"

#include <cstdio>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {
namespace {

constexpr char kCryptoSoname[] = "libcrypto.so.3";

struct Loaded {
  CryptoLibrary library;
  bool complete = false;
};

Loaded Load() {
  Loaded loaded;
  LibraryLoader loader(kCryptoSoname);
#define PROCLENS_CRYPTO_RESOLVE(name) loader.Resolve(loaded.library.name, #name);
  PROCLENS_CRYPTO_FUNCTIONS(PROCLENS_CRYPTO_RESOLVE)
#undef PROCLENS_CRYPTO_RESOLVE
  loaded.complete = loader.error().empty();
  if (!loaded.complete) std::fprintf(stderr, "proclens: no checksums: %s\n", loader.error().c_str());
  return loaded;
}

}  // namespace

const CryptoLibrary* LoadCrypto() {
  static const Loaded loaded = Load();
  return loaded.complete ? &loaded.library : nullptr;
}

}  // namespace proclens::linux_port
