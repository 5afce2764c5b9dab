#pragma once
// Programs that RPM installed (Fedora, openSUSE, RHEL, and wherever rpm keeps
// a database): the RPM database's answers, through librpm opened at run time.

#include <map>
#include <optional>
#include <thread>
#include <string>

#include "platform/linux/origins/program_origin.h"
#include "platform/linux/origins/rpm/rpm_database.h"

namespace proclens::linux_port {

class RpmOrigin : public ProgramOrigin {
 public:
  // root is where the database lives ("/" on the running system). A system
  // without librpm or without a database knows no file.
  explicit RpmOrigin(std::string root, RpmDatabase::Loader load = LoadRpm) : database_(std::move(root), load) {}
  ~RpmOrigin() override;
  RpmOrigin(const RpmOrigin&) = delete;
  RpmOrigin& operator=(const RpmOrigin&) = delete;

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;
  // librpm, its configuration and the database, opened.
  void ReadAhead() override;
  void FinishReadAhead() override;

 private:
  // One file is asked about several times in a row (texts, icon, check).
  const std::optional<RpmOwner>& OwnerOf(const ProgramFile& file);

  RpmDatabase database_;
  // Opens the database ahead; every question joins it first.
  std::thread reader_;
  std::string last_path_;
  std::optional<RpmOwner> last_owner_;
  bool asked_ = false;
  std::map<std::string, std::optional<std::string>> icon_by_package_;
};

}  // namespace proclens::linux_port
