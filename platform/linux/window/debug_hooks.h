#pragma once
// Hooks for the end-to-end tests and the start-up benchmark, off unless their
// environment variable is set:
//   PROCLENS_DUMP_LIST=<file>  the window's texts and the list (pid, caption,
//                              path) as tab-separated lines, written after the
//                              fill, after every change of the view style and
//                              after every new size and after every header click;
//   PROCLENS_NAVIGATE=<address> the browser pane loads it after start-up;
//                              the dump then also holds the pane's last title;
//   PROCLENS_STARTUP_MARK=1    one line on stderr when the first frame after
//                              the fill has been drawn.

#include <string>

namespace proclens::gtk_front {

class MainWindow;

// The dump as text: "view", "top_label", "column", "menu", "button", "client", "status" records,
// then one "item" record per process, fields separated by tabs.
std::string ListDumpText(MainWindow& window);

void InstallDebugHooks(MainWindow& window);

}  // namespace proclens::gtk_front
