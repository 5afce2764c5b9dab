#pragma once
// Programs that apk installed (Alpine, and images built on it): the package
// that lists the file in lib/apk/db/installed below a root (a container's own
// root, through /proc/PID/root), its description and maintainer, and the
// checksum apk recorded for the file when it installed it.

#include <optional>
#include <string>

#include "platform/linux/origins/apk/apk_database.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

class ApkOrigin : public ProgramOrigin {
 public:
  // root is where the database lives; nothing is read until the first question.
  explicit ApkOrigin(std::string root);

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  // The package's description, its name and its maintainer's name; apk
  // records no translations.
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  // apk records no desktop entries of its own; the icon theme may still know one.
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;

 private:
  const ApkDatabase& Database();
  // The package that lists the file, with its record; nullptr when none does.
  const ApkFile* RecordOf(const ProgramFile& file);

  std::string root_;
  std::optional<ApkDatabase> database_;
};

}  // namespace proclens::linux_port
