#pragma once
// What the package system says a file is: the package that installed it
// (dpkg's database) and, for applications, the AppStream metainfo that package
// ships. Linux programs carry no version resource; this stands in for it.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/appstream_metainfo.h"
#include "platform/linux/dpkg_file_index.h"
#include "platform/linux/dpkg_status.h"

namespace proclens::linux_port {

// The three texts a version resource would give.
struct PackageTexts {
  std::string description;
  std::string product;
  std::string company;
};

class PackageCatalog {
 public:
  // root is where the database lives ("/" on the running system). Nothing is
  // read until the first question.
  explicit PackageCatalog(std::string root);

  // The catalog of the running system, shared by everything in the process,
  // so that its index is built at most once.
  static PackageCatalog& System();

  // The package texts of the file at this absolute path, with every link
  // already resolved; nullopt when no package ships it.
  std::optional<PackageTexts> Describe(const std::string& real_path, bool german);

  // Who installed the file; the index is built on the first call.
  std::optional<DpkgOwner> OwnerOf(const std::string& real_path);

  // The icon of the first desktop entry (by file name) that the file's
  // package installs, as the icon theme takes it; nullopt when the package
  // installs none with an icon. Helper programs of an application so show
  // the application's icon.
  std::optional<std::string> ApplicationIcon(const std::string& real_path);

  const std::string& root() const { return root_; }

 private:
  struct Loaded {
    DpkgFileIndex files;
    std::optional<DpkgStatus> status;
  };
  Loaded& Database();
  const DpkgStatus& Status();
  // The metainfo that the package ships for this program, if any.
  std::optional<MetainfoTexts> MetainfoFor(const DpkgOwner& owner, const std::string& program,
                                                  bool german);

  std::string root_;
  std::unique_ptr<Loaded> database_;
  std::map<std::string, std::optional<std::string>> icon_by_package_;
};

}  // namespace proclens::linux_port
