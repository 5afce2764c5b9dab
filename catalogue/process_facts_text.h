#pragma once
// What a page, a list's row and proclens-cli say of why a process runs and
// where: sentences in the user's language, from the process's facts. Every
// fact is input: it goes through the caller's escape and is cut at a
// character boundary.

#include <string>
#include <string_view>
#include <vector>

#include "platform/process_facts_ops.h"

namespace proclens {

// Makes a fact's text fit the medium it is shown in (HTML, say).
using TextEscape = std::string (*)(std::string_view);

// The services, the unit, then the parent and the user, one sentence each.
// process is the process's name as the list shows it, already escaped.
std::vector<std::string> WhySentences(const std::string& process, const ProcessFacts& facts, bool german,
                                      TextEscape escape);

// The container the process runs in, as a sentence; empty for a process in none.
std::string ContainerSentence(const ProcessFacts& facts, bool german, TextEscape escape);

// Every such sentence as plain text, the container's first: the row's
// description and proclens-cli's why. Whoever shows them escapes them.
std::vector<std::string> ProcessFactsLines(const std::string& process, const ProcessFacts& facts, bool german);

}  // namespace proclens
