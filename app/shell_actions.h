#pragma once
// The two actions that hand work to the shell: show the selected process's
// executable in the file manager, and open the publisher's site.

#include <string>

#include "app/controls.h"
#include "platform/shell_ops.h"

namespace proclens {

struct FolderAndFile {
  std::string folder;     // up to and including the last separator; empty without one
  std::string file_name;  // the rest (the whole path without a separator)
};

FolderAndFile SplitFolderAndFile(const std::string& full_path, const char* separators);

// The file manager on the selected item's folder with its file selected; then
// the folder alone; then the file manager on the folder. Nothing without a selection.
void ShowInExplorer(ShellOps& shell, const ListView& list);

// The site base in the default browser; one default beep when that fails.
void OpenPublisherSite(ShellOps& shell, const std::string& site_base);

}  // namespace proclens
