// Asks the RPM source below ROOT, as a whole program and as the chain of
// program sources does for `version` and the window, who installed each FILE
// and its version texts, and prints one
// line for each: file, package, description, product and company, separated
// by tabs ("-" for a file no package installed).
//   rpm_texts_probe ROOT FILE...

#include <cstdio>
#include <string>

#include "platform/linux/origins/rpm/rpm_origin.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rpm_texts_probe ROOT FILE...\n");
    return 2;
  }
  proclens::linux_port::RpmOrigin rpm(argv[1]);
  std::string out;
  for (int i = 2; i < argc; ++i) {
    out.append(argv[i]).push_back('\t');
    const proclens::linux_port::ProgramFile file{argv[i], 0};
    const auto package = rpm.InstallerOf(file);
    if (!package) {
      out.append("-\n");
      continue;
    }
    const auto texts = rpm.Describe(file, false);
    out.append(*package).append("\t").append(texts.description).append("\t").append(texts.product);
    out.append("\t").append(texts.company).append("\n");
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
