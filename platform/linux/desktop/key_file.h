#pragma once
// A key file (the format of desktop entries and of a sandbox's .flatpak-info)
// parsed from bytes that the caller read under a size cap: GLib's reader never
// opens a path itself, so a FIFO or a huge file put in a sandbox's place
// cannot hold the program up or fill its memory.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _GKeyFile GKeyFile;

namespace proclens::linux_port {

class KeyFile {
 public:
  // nullopt when the bytes are no key file.
  static std::optional<KeyFile> Parse(std::string_view bytes);

  // The value as written (escapes resolved); empty when the group or key is missing.
  std::string Get(const char* group, const char* key) const;
  // The German value (key[de]) where there is one and german is set, else the plain one.
  std::string GetLocalized(const char* group, const char* key, bool german) const;
  // False when the key is missing or is no boolean.
  bool GetBoolean(const char* group, const char* key) const;
  // The groups' names, in the file's order.
  std::vector<std::string> Groups() const;

 private:
  struct Free {
    void operator()(GKeyFile* file) const;
  };
  std::unique_ptr<GKeyFile, Free> file_;
};

}  // namespace proclens::linux_port
