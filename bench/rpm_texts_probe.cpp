// Asks the RPM database below ROOT, as a whole program and as the window
// would, for the owner and the version texts of each FILE, and prints one
// line for each: file, package, description, product and company, separated
// by tabs ("-" for a file no package installed).
//   rpm_texts_probe ROOT FILE...

#include <cstdio>
#include <string>

#include "platform/linux/origins/rpm_database.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rpm_texts_probe ROOT FILE...\n");
    return 2;
  }
  proclens::linux_port::RpmDatabase database(argv[1]);
  std::string out;
  for (int i = 2; i < argc; ++i) {
    out.append(argv[i]).push_back('\t');
    const auto owner = database.OwnerOf(argv[i]);
    if (!owner) {
      out.append("-\n");
      continue;
    }
    const auto texts = database.TextsOf(*owner, false);
    out.append(owner->package).append("\t").append(texts.description).append("\t").append(texts.product);
    out.append("\t").append(texts.company).append("\n");
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
