#pragma once
// What every command writes the same way: tab-separated fields, JSON, and
// the check that the output really reached its reader.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace proclens::cli {

// A name or path may hold tabs and line breaks; one record must stay one line.
std::string OneField(std::string text);
// The same, appended to out.
void AppendField(std::string& out, std::string_view text);

// The value, indented, on standard output. Texts from files and processes are
// bytes, not always valid UTF-8: such bytes become U+FFFD.
void PrintJson(const nlohmann::ordered_json& value);

// Flushes standard output; false, with a message naming the command, when the
// output could not be written (a full disk, a closed pipe).
bool FlushOutput(const char* command);

}  // namespace proclens::cli
