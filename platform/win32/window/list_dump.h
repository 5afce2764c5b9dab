#pragma once
// A hook for the end-to-end tests, off unless PROCLENS_DUMP_LIST names a file:
// after start-up the window writes its list there, one tab-separated
// "item" record per process (pid, caption, first sub-item), after a "browser"
// record that says whether the browser control could be embedded.

#include "platform/win32/window/main_window.h"

namespace proclens::win32 {

void DumpListIfAsked(MainWindow& window);

}  // namespace proclens::win32
