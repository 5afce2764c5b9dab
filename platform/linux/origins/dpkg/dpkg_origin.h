#pragma once
// Programs that dpkg installed (Debian and its derivatives): the package that
// lists the file (dpkg's file lists, with merged /usr and diversions), the
// texts of the AppStream metainfo that package ships or of its status record,
// the icon of its desktop entries, and the MD5 sum that dpkg recorded when it
// installed the file (var/lib/dpkg/info/<package>.md5sums).

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/linux/origins/dpkg/dpkg_file_index.h"
#include "platform/linux/origins/dpkg/dpkg_status.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

class DpkgOrigin : public ProgramOrigin {
 public:
  // root is where the database lives ("/" on the running system). Nothing is
  // read until the first question.
  explicit DpkgOrigin(std::string root);
  ~DpkgOrigin() override;
  DpkgOrigin(const DpkgOrigin&) = delete;
  DpkgOrigin& operator=(const DpkgOrigin&) = delete;

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  // The metainfo's summary, name and developer, each else the package's
  // summary, its name and its maintainer's name.
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;
  // The lists, the index of every listed path and the status file.
  void ReadAhead() override;
  void FinishReadAhead() override;

  // Who installed the file; the index is built at the second file asked about.
  std::optional<DpkgOwner> OwnerOf(const std::string& real_path);

 private:
  struct Loaded {
    DpkgFileIndex files;
    std::optional<DpkgStatus> status;
  };
  std::optional<DpkgOwner> OwnerOf(const ProgramFile& file);
  Loaded& Database();
  const DpkgStatus& Status();
  static DpkgStatus ReadStatus(const std::string& root);
  std::optional<std::string> SumRecordedFor(const DpkgOwner& owner);

  std::string root_;
  std::unique_ptr<Loaded> database_;
  // Reads ahead into database_; every question joins it first.
  std::thread reader_;
  std::map<std::string, std::optional<std::string>> icon_by_package_;
  // Programs of one package tend to be checked one after another.
  std::string md5sums_of_;
  std::optional<std::string> md5sums_;
};

// The sum recorded for one listed path (with its leading '/') in the text of
// an md5sums file: lower-case hex; nullopt when no line names the path.
std::optional<std::string> RecordedSum(std::string_view md5sums, std::string_view listed_path);

}  // namespace proclens::linux_port
