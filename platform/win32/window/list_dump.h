#pragma once
// A hook for the end-to-end tests, off unless PROCLENS_DUMP_LIST names a file:
// the window's state as tab-separated records, written after start-up and
// again after every new size and every view-style button:
//   browser 0|1            whether the browser control could be embedded
//   view Report|LargeIcons|SmallIcons
//   client WIDTH HEIGHT    the client area; vscroll WIDTH
//   top_label TEXT         (its carriage return written as \r)
//   column INDEX CAPTION WIDTH
//   button NAME LEFT TOP WIDTH DOWN   (client coordinates)
//   images LARGE_COUNT SMALL_COUNT
//   panes LIST_TOP LIST_HEIGHT BROWSER_TOP BROWSER_HEIGHT
//   menu CAPTION;  status TEXT
//   item PID CAPTION PATH  one per row, in the list's order

#include "platform/win32/window/main_window.h"

namespace proclens::win32 {

void InstallListDumpIfAsked(MainWindow& window);

}  // namespace proclens::win32
