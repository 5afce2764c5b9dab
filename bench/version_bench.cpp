// Reads the version texts of each file named on standard input, as the window
// would, several times over, and prints per file one JSON line: the fastest
// of the readings (the least disturbed by whatever else runs), the bytes it
// read and the file's size. "seconds" asks the live locale for the user's
// language at every query path, as the program does; "seconds_fixed_language"
// answers it from a constant, which leaves the reader's own cost.

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "infopage/version_info_reader.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_version_ops.h"
#include "platform/linux/versions/pe_file_blocks.h"

namespace {

constexpr int kRounds = 15;

class FixedLanguageSystem : public proclens::linux_port::LinuxSystemInfo {
 public:
  std::uint16_t UserDefaultLangId() override { return 0x0409; }
};

// The fastest of kRounds readings, and the texts of the last.
double FastestSeconds(const std::string& file, proclens::VersionPlatform platform,
                      proclens::VersionTexts& texts) {
  using Clock = std::chrono::steady_clock;
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    texts = proclens::ReadVersionInfo(file, platform);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  proclens::linux_port::LinuxSystemInfo system;
  // PE resources only, as pefile reads.
  proclens::linux_port::PeFileBlocks pe_blocks(system);
  proclens::linux_port::LinuxVersionOps ops({&pe_blocks});
  FixedLanguageSystem fixed_system;
  proclens::linux_port::PeFileBlocks fixed_pe_blocks(fixed_system);
  proclens::linux_port::LinuxVersionOps fixed_ops({&fixed_pe_blocks});
  for (std::string file; std::getline(std::cin, file);) {
    if (file.empty()) continue;
    proclens::VersionTexts texts;
    const std::uint64_t before = pe_blocks.bytes_read();
    const double seconds = FastestSeconds(file, {ops, system}, texts);
    const double fixed_seconds = FastestSeconds(file, {fixed_ops, fixed_system}, texts);
    struct stat st {};
    const std::uint64_t size = ::stat(file.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    const nlohmann::json line = {{"file", file},
                                 {"ok", texts.ok},
                                 {"seconds", seconds},
                                 {"seconds_fixed_language", fixed_seconds},
                                 {"bytes_read", (pe_blocks.bytes_read() - before) / kRounds},
                                 {"file_size", size}};
    std::printf("%s\n", line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  }
  return 0;
}
