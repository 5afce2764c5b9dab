#pragma once
// Writing a finished page to a new temporary file for the browser pane.

#include <stdexcept>
#include <string>

#include "platform/page_file_ops.h"

namespace proclens {

inline constexpr char kPageFilePrefix[] = "htm";

// A page that could not be written; what() is one sentence for the user that
// ends in the system's error text.
class PageFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates a new file (prefix "htm") in the temporary folder and writes the
// page and a CR LF into it; returns its full path. Every failure on the way
// (no temporary folder, no new file, a failed write) throws PageFileError in
// the language chosen, and nothing is navigated to a half-written file.
std::string WritePageFile(const std::string& page, PageFileOps& files, bool german);

}  // namespace proclens
