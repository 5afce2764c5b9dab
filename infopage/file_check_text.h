#pragma once
// What the offline page says about a file's check: one sentence in the page's
// language.

#include <string>

#include "platform/verify_ops.h"

namespace proclens {

// The sentence for the check's state, with the package or signer's name
// escaped for HTML; empty for a state the page has no sentence for.
std::string FileCheckSentence(const FileCheck& check, bool german);

// In place of the check sentence where the file that a process runs cannot
// be seen at all (reason: why not, in the system's words): its name alone
// then says nothing about which file it is.
std::string UnseenFileSentence(const std::string& reason, bool german);

}  // namespace proclens
