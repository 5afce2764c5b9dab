#include "platform/linux/desktop/key_file.h"

#include <glib.h>

#include "platform/linux/base/gobject_ptr.h"

namespace proclens::linux_port {

void KeyFile::Free::operator()(GKeyFile* file) const { g_key_file_free(file); }

std::optional<KeyFile> KeyFile::Parse(std::string_view bytes) {
  KeyFile parsed;
  parsed.file_.reset(g_key_file_new());
  if (!g_key_file_load_from_data(parsed.file_.get(), bytes.data(), bytes.size(), G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
    return std::nullopt;
  return parsed;
}

std::string KeyFile::Get(const char* group, const char* key) const {
  GCharPtr value(g_key_file_get_string(file_.get(), group, key, nullptr));
  return value ? std::string(value.get()) : std::string();
}

std::string KeyFile::GetLocalized(const char* group, const char* key, bool german) const {
  if (german) {
    GCharPtr value(g_key_file_get_locale_string(file_.get(), group, key, "de", nullptr));
    if (value) return value.get();
  }
  return Get(group, key);
}

bool KeyFile::GetBoolean(const char* group, const char* key) const {
  return g_key_file_get_boolean(file_.get(), group, key, nullptr);
}

std::vector<std::string> KeyFile::Groups() const {
  std::vector<std::string> groups;
  gchar** names = g_key_file_get_groups(file_.get(), nullptr);
  for (gchar** name = names; name != nullptr && *name != nullptr; ++name) groups.emplace_back(*name);
  g_strfreev(names);
  return groups;
}

}  // namespace proclens::linux_port
