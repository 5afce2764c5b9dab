#pragma once
// ProcLens on Linux, as a table of contents. The portable core asks through
// the seam of platform/*.h; each answer is a linux_*_ops file in this folder
// (as platform/win32/ has its win32_*_ops), standing on one folder per
// concern, each using only those listed above it:
//   base/      descriptors, GObject pointers, errno texts, real paths, capped
//              whole-file reads, text helpers, shared libraries loaded when
//              first needed (library_loader.h)
//   proc/      /proc: process entries, the running image, cgroups, mounts, and
//              questions about files on FUSE mounts
//   desktop/   desktop entries, icons, applications folders, AppStream, key files
//   origins/   what installed a file: the chain and what its sources share,
//              then one folder per source (dpkg/, rpm/, flatpak/, snap/,
//              appimage/), none knowing another
//   versions/  where a program's version block comes from: its own PE
//              resource, else what installed it
//   units/     the systemd unit whose cgroup holds a process, and what it is
//   containers/ which container a process runs in: one reader per runtime's
//              own state files, none knowing another
// window/ is the GTK front. It and proclens-cli build the same services here.

#include "catalogue/process_list_fill.h"
#include "infopage/offline_page.h"
#include "platform/linux/linux_file_ops.h"
#include "platform/linux/linux_http_ops.h"
#include "platform/linux/linux_page_file_ops.h"
#include "platform/linux/linux_process_ops.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/linux_snapshot_ops.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_verify_ops.h"
#include "platform/linux/linux_version_ops.h"
#include "platform/linux/origins/program_origins.h"
#include "platform/linux/versions/package_blocks.h"
#include "platform/linux/versions/pe_file_blocks.h"
#include "platform/resource_ops.h"
#include "platform/linux/linux_process_facts_ops.h"
#include "platform/linux/containers/container_cache.h"
#include "platform/linux/units/unit_descriptions.h"

namespace proclens::linux_port {

// The sources of the running system, in the order they are asked: Flatpak,
// Snap and AppImage, whose programs' paths or processes say so, then dpkg,
// then RPM (where both list a file, dpkg answers). A process with a root of
// its own (a container) is answered by that root's dpkg, apk or RPM database.
ProgramOrigins SystemOrigins();

// The readers of the container runtimes' state files, in their usual folders.
std::vector<std::unique_ptr<ContainerStateReader>> SystemContainerReaders();

// Every Linux operation, owned together; nothing is read before it is asked.
struct LinuxServices {
  // templates: the page templates' home (the window's resource bundle, or
  // the bytes compiled into proclens-cli); it must outlive this object.
  explicit LinuxServices(ResourceOps& templates);

  // Asked before anything else, and ended last: its sources may be reading a
  // package database ahead on threads of their own, which their ending waits
  // for, so that no exit handler of the program runs beside them.
  ProgramOrigins origins;
  LinuxSystemInfo system;
  // What each snapshot read of a process beyond its entry, for the facts of its fill.
  ProcessRecords records;
  LinuxSnapshotOps snapshots;
  LinuxProcessOps processes;
  LinuxFileOps files;
  PeFileBlocks pe_blocks{system};
  PackageBlocks package_blocks{system, origins};
  LinuxVersionOps versions{{&pe_blocks, &package_blocks}};
  LinuxVerifyOps verify{origins};
  LinuxPageFileOps page_files;
  ResourceOps& resources;
  LinuxHttpOps http;
  LinuxSiteOps site;
  ContainerCache containers{SystemContainerReaders()};
  UnitDescriptions units{SetupForThisViewer()};
  LinuxProcessFactsOps facts{containers, units, "/proc/", &records};

  // Both valid while this object lives.
  CataloguePlatform Catalogue() { return CataloguePlatform{snapshots, processes, files, system, &facts}; }
  OfflinePagePlatform Page() {
    return OfflinePagePlatform{versions, system, resources, page_files, &verify, &facts};
  }
};

}  // namespace proclens::linux_port
