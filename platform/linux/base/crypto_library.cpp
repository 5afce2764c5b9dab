#include "platform/linux/base/crypto_library.h"

namespace proclens::linux_port {

const CryptoLibrary* LoadCrypto() {
  static const auto loaded = LoadLibraryTable<CryptoLibrary>({"libcrypto.so.3"}, "no checksums");
  return loaded.get();
}

}  // namespace proclens::linux_port
