// The offline page of one program as the window's first click builds it, in a
// process of its own, so that every library a source opens at its first
// question (librpm, libyaml, libcrypto) is opened again: the sources in the
// window's order, with the one named below a root of the benchmark's, and the
// milliseconds from the start of main to the written page on standard output.
//   first_page_probe dpkg|rpm|flatpak|snap ROOT FILE
// rpm reads the database that librpm's macros name (the benchmark sets
// %_dbpath through its own home folder); ROOT is unused there.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "platform/linux/linux_resource_ops.h"
#include "platform/linux/linux_page_file_ops.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_verify_ops.h"
#include "platform/linux/origins/appimage/appimage_origin.h"
#include "platform/linux/origins/dpkg/dpkg_origin.h"
#include "platform/linux/origins/flatpak/flatpak_origin.h"
#include "platform/linux/origins/rpm/rpm_origin.h"
#include "platform/linux/origins/snap/snap_origin.h"
#include "platform/linux/linux_version_ops.h"
#include "platform/linux/versions/package_blocks.h"
#include "platform/linux/versions/pe_file_blocks.h"

namespace {

using namespace proclens::linux_port;

std::vector<std::unique_ptr<ProgramOrigin>> Sources(const std::string& source, const std::string& root) {
  std::vector<std::unique_ptr<ProgramOrigin>> sources;
  sources.push_back(std::make_unique<FlatpakOrigin>(
      source == "flatpak" ? std::vector<std::string>{root} : FlatpakOrigin::DefaultInstallations()));
  SnapRoots snaps;
  if (source == "snap") snaps = {{root + "/snap"}, root + "/snaps", root + "/assertions", root + "/snapd.socket"};
  sources.push_back(std::make_unique<SnapOrigin>(snaps));
  sources.push_back(std::make_unique<AppImageOrigin>());
  sources.push_back(std::make_unique<DpkgOrigin>(source == "dpkg" ? root : "/"));
  sources.push_back(std::make_unique<RpmOrigin>("/"));
  return sources;
}

}  // namespace

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  if (argc != 4) {
    std::fprintf(stderr, "usage: first_page_probe dpkg|rpm|flatpak|snap ROOT FILE\n");
    return 2;
  }
  ProgramOrigins origins(Sources(argv[1], argv[2]));
  LinuxSystemInfo system;
  PeFileBlocks pe_blocks(system);
  PackageBlocks package_blocks(system, origins);
  LinuxVersionOps versions({&pe_blocks, &package_blocks});
  LinuxResourceOps templates;
  LinuxPageFileOps files;
  LinuxVerifyOps verify(origins);
  proclens::ProcessItem item;
  item.sub_items = {argv[3]};
  item.caption = std::string(argv[3]).substr(std::string(argv[3]).rfind('/') + 1);
  item.image_index = proclens::kFixedImageCount;
  const std::string page = proclens::BuildOfflinePage(
      item, proclens::OfflinePagePlatform{versions, system, templates, files, &verify}, proclens::kTemplateSiteBase);
  const std::string written = proclens::WritePageFile(page, files, false);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // The page's software sentence, so that the benchmark can tell that the source answered.
  const std::size_t sentence = page.find("<!--origin-->");
  std::printf("%.2f\t%s\t%s\n", ms, written.c_str(),
              sentence == std::string::npos ? "" : page.substr(sentence, page.find('\n', sentence) - sentence).c_str());
  return 0;
}
