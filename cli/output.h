#pragma once
// What every command writes the same way: tab-separated fields, JSON, and
// the check that the output really reached its reader.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace proclens::cli {

// Names, paths and texts come from processes, files and sites that anyone
// may have made; written raw, their control characters would move the
// cursor, erase lines or retitle the reader's terminal. Text output writes
// each of them visibly instead: C0 (but for the characters in kept), DEL and,
// where the narrow text is UTF-8, U+0080 to U+009F, as \x1b or \u009b.
void AppendVisible(std::string& out, std::string_view text, std::string_view kept = {});
std::string Visible(std::string_view text);

// A name or path may hold tabs and line breaks; one record must stay one line.
// Tabs and line breaks become blanks, other control characters are visible.
std::string OneField(std::string_view text);
// The same, appended to out.
void AppendField(std::string& out, std::string_view text);

// The value, indented, on standard output. Texts from files and processes are
// bytes, not always valid UTF-8: such bytes become U+FFFD.
void PrintJson(const nlohmann::ordered_json& value);

// Flushes standard output; false, with a message naming the command, when the
// output could not be written (a full disk, a closed pipe).
bool FlushOutput(const char* command);

}  // namespace proclens::cli
