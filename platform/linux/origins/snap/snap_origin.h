#pragma once
// Programs of snaps: each snap revision is a read-only image mounted at
// MOUNTS/NAME/REVISION/ (/snap or /var/lib/snapd/snap), so the path alone says
// which snap a file belongs to. The texts come from the snap's meta/snap.yaml,
// the publisher from snapd, and the check from the store's record of the
// .snap file that is mounted there.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/origins/program_origin.h"
#include "platform/linux/origins/snap/snap_metadata.h"

namespace proclens::linux_port {

struct SnapRoots {
  std::vector<std::string> mounts = {"/snap", "/var/lib/snapd/snap"};
  std::string snap_files = "/var/lib/snapd/snaps";       // NAME_REVISION.snap
  std::string assertions = "/var/lib/snapd/assertions";  // snapd's store of assertions
  std::string snapd_socket = "/run/snapd.socket";
};

class SnapOrigin : public ProgramOrigin {
 public:
  explicit SnapOrigin(SnapRoots roots = {});

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;

 private:
  struct Revision {
    std::string name;      // the instance name (NAME or NAME_KEY)
    std::string revision;  // digits, or x and digits for a snap installed from a file
    std::string folder;    // MOUNT/NAME/REVISION
  };
  std::optional<Revision> RevisionOf(const std::string& path) const;
  std::optional<SnapPublisher> Publisher(const std::string& name);
  // The SHA3-384 that the store recorded for the revision; nullopt when it recorded none.
  std::optional<std::string> RecordedDigest(const Revision& revision);

  SnapRoots roots_;
  // snapd is asked once per snap and run, whatever it answered.
  std::map<std::string, std::optional<SnapPublisher>> publishers_;
};

}  // namespace proclens::linux_port
