#pragma once
// dpkg's record of installed packages (var/lib/dpkg/status): for each package,
// the few fields that say what it is and who looks after it.

#include <map>
#include <string>
#include <string_view>

namespace proclens::linux_port {

struct PackageRecord {
  std::string name;
  std::string architecture;
  std::string maintainer;  // the Maintainer field as written
  std::string summary;     // the first line of the Description field, trimmed
};

class DpkgStatus {
 public:
  // Parses the text of a status file. Paragraphs without a Package field,
  // lines that are no field, and a paragraph cut off at the end of the text
  // keep what they do hold; nothing in the text can make it fail.
  static DpkgStatus Parse(std::string_view text);

  // The record of package "name" or "name:arch"; nullptr when there is none.
  // Without an architecture, the first record of that name.
  const PackageRecord* Find(std::string_view list_name) const;

  std::size_t size() const { return records_.size(); }

 private:
  std::multimap<std::string, PackageRecord, std::less<>> records_;  // by name, in file order
};

}  // namespace proclens::linux_port
