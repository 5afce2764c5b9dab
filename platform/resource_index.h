#pragma once
// The program's own named resources, found by type and name the way "res://"
// addresses name them: "res://<program path>/TYPE/NAME". Type and name are
// compared without regard to case, and the name leaves out the file extension
// of the stored resource. Platforms that serve such addresses themselves keep
// the stored paths here and ask by address.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace proclens {

struct EmbeddedResource {
  std::string stored_path;  // where the platform keeps it (a GResource path, say)
  std::string mime_type;
};

struct ResourceKey {
  std::string type;
  std::string name;
};

// The type and name an address asks for: the last two segments of its path,
// with any query or fragment dropped and percent-escapes decoded. The program
// path before them may be percent-encoded too (its '#', '?' and '%' must be);
// it is not consulted, as the resources are the running program's own.
// nullopt when the address is not a "res:" address or has fewer than two
// non-empty segments.
std::optional<ResourceKey> ParseResourceAddress(std::string_view address);

// The MIME type of a file extension (without the dot, any case);
// "application/octet-stream" when it is not one the pages use.
std::string MimeTypeForExtension(std::string_view extension);

class ResourceIndex {
 public:
  // Adds the resource stored at a path whose last two segments are its type
  // and its file name ("/proclens/res/GIF/awards.gif" is GIF/AWARDS). False
  // when the path has no type segment or the type and name are already taken:
  // the first resource of a name wins.
  bool Add(std::string_view stored_path);

  const EmbeddedResource* Find(std::string_view type, std::string_view name) const;
  const EmbeddedResource* FindAddress(std::string_view address) const;

  std::size_t size() const { return resources_.size(); }

 private:
  std::map<std::string, EmbeddedResource> resources_;  // key "TYPE/NAME", upper case
};

}  // namespace proclens
