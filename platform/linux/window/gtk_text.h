#pragma once
// Narrow text at the GTK boundary: the Linux build's narrow encoding is UTF-8,
// but bytes from outside (paths, version strings) are not trusted to be valid.

#include <string>

namespace proclens::gtk_front {

// The text with every invalid byte sequence replaced, safe to hand to GTK.
std::string ValidUtf8(const std::string& text);

// Lines joined by a lone "\r" (the form's line break) joined by "\n" instead.
std::string WithLineFeeds(const std::string& text);

// A caption whose "&" marks the accelerator, as a GTK mnemonic label: "&" becomes
// "_", "&&" a literal "&", and a literal "_" is doubled.
std::string MnemonicLabel(const std::string& caption);

}  // namespace proclens::gtk_front
