#include "app/shell_actions.h"

#include <optional>

namespace proclens {

FolderAndFile SplitFolderAndFile(const std::string& full_path, const char* separators) {
  const std::size_t last = full_path.find_last_of(separators);
  if (last == std::string::npos) return {"", full_path};
  return {full_path.substr(0, last + 1), full_path.substr(last + 1)};
}

void ShowInExplorer(ShellOps& shell, const ListView& list) {
  const std::optional<ProcessItem> item = list.SelectedItem();
  if (!item) return;
  // An error text is not special: it is split like a path and handed on.
  const std::string full_path = shell.PathToShow(item->pid, item->sub_items.empty() ? std::string() : item->sub_items[0]);
  const FolderAndFile parts = SplitFolderAndFile(full_path, shell.FolderSeparators());

  // The folder reaches the file manager only as its working directory.
  if (ShellSucceeded(shell.Execute(ShellOwner::None, "open", "explorer.exe",
                                   "/select, " + parts.file_name, parts.folder, kShowNormal))) {
    return;
  }
  if (ShellSucceeded(shell.Execute(ShellOwner::MainWindow, "explore", parts.folder, std::nullopt,
                                   parts.folder, kShow))) {
    return;
  }
  // The last resort; whatever it answers, there is nothing left to try.
  shell.Execute(ShellOwner::MainWindow, "open", "explorer.exe", parts.folder, std::nullopt, kShow);
}

void OpenPublisherSite(ShellOps& shell, const std::string& site_base) {
  if (ShellSucceeded(
          shell.Execute(ShellOwner::MainWindow, "open", site_base, std::nullopt, std::nullopt, kShow))) {
    return;
  }
  shell.Beep(0);
}

}  // namespace proclens
