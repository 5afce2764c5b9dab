#pragma once
// What the offline page says about a file's check: one sentence in the page's
// language.

#include <string>

#include "platform/verify_ops.h"

namespace proclens {

// The sentence for the check's state, with the package or signer's name
// escaped for HTML; empty for a state the page has no sentence for.
std::string FileCheckSentence(const FileCheck& check, bool german);

}  // namespace proclens
