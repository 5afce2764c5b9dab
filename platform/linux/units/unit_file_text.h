#pragma once
// The one setting read from unit files: [Unit] Description=. The format is
// systemd's (systemd.syntax(7)): lines; "#" or ";" as the first non-blank
// character makes a comment, also between continued lines; a line ending in
// an unescaped backslash goes on in the next one, the backslash becoming a
// blank; keys and values are stripped of blanks; a line that is not UTF-8 is
// ignored, as systemd ignores it. Debian has no reader of this format but
// systemd's own, so the little that is needed is read here, from bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// Descriptions are cut to this many bytes, as the package texts are: no
// unit's is nearly as long, and a hostile one stays small.
inline constexpr std::size_t kDescriptionLimit = 4095;

// The text as descriptions are handed on: valid UTF-8 (anything else becomes
// U+FFFD) cut at the limit where a character begins. Control characters are
// left in: whoever puts the text into a page, a tooltip, JSON or a terminal
// must escape it for that medium.
std::string BoundedDescription(std::string_view text);

// The value of the file's last Description= in [Unit], with the specifiers
// of the unit's name expanded; "" for an assignment that resets it; nullopt
// when the file assigns none.
std::optional<std::string> LastUnitDescription(std::string_view bytes, std::string_view unit_name);

// The specifiers that the unit's name gives (%n %N %p %P %i %I %j %J %f, and
// %% for "%"). The others (host, user, directories) stay as they are written:
// what they stand for is the manager's to say.
std::string ExpandNameSpecifiers(std::string_view value, std::string_view unit_name);

}  // namespace proclens::linux_port
