#pragma once
// The full path of a process's executable, or a one-line error text that says why not.

#include <cstdint>
#include <string>

#include "platform/process_ops.h"
#include "platform/system_info.h"

namespace proclens {

// A resolved path, " System idle" for process 0, or " " + the system's message
// (+ five blanks and the administrator hint when missing rights are the likely cause).
std::string GetProcessImagePath(std::uint32_t pid, ProcessOps& ops, SystemInfo& info);

// Environment variables, the SYSTEM32\ and \SystemRoot\ prefixes and the \??\ prefix.
std::string NormalizeImagePath(std::string path, ProcessOps& ops, SystemInfo& info);

// Whether the user may open the service control manager for everything; true
// where the platform has no such test.
bool HasAdminRights(ProcessOps& ops, SystemInfo& info);

// "Run program as Administrator!" in the user's language.
std::string AdminHintText(SystemInfo& info);

// A system message without the full stops, line breaks and blanks at its end.
std::string TrimMessageEnd(std::string message);

}  // namespace proclens
