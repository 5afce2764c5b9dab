#pragma once
// The texts an AppStream metainfo file gives its component: what software
// centres show as the application's name, summary and developer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

struct MetainfoTexts {
  std::string name;
  std::string summary;
  std::string developer;              // <developer_name>, or <developer><name>
  std::vector<std::string> binaries;  // <provides><binary>
};

// The component's texts, each trimmed: the untranslated element, or with
// german the xml:lang="de" one where the file has it. nullopt when the text is
// not well-formed XML, nests elements deeper than metainfo ever does, or holds
// no component.
std::optional<MetainfoTexts> ParseMetainfo(std::string_view xml, bool german);

}  // namespace proclens::linux_port
