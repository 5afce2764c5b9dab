#pragma once
// Sorting the process list by a column header: each column keeps its own
// direction (in its minimum width, 0 or 1), the first click sorts descending,
// and a right-justified column compares as right-aligned text, which puts the
// size texts into numeric order.

#include <string>

#include "app/controls.h"

namespace proclens {

// Flips the column's toggle and sorts the list by that column: descending when
// the toggle is now 1, ascending when 0. Without the list's window only the
// toggle changes.
void ListViewColumnClick(ListView& list, int column);

// The sort parameter of a column: its index + 1, negative for descending.
int SortParameter(int column, bool descending);

// The text an item shows in a column: the caption in column 0, else the
// sub-item at column - 1, or the empty text when the item has none.
std::string ColumnText(const ProcessItem& item, int column);

// Case-insensitive byte order in which only a-z fold to A-Z: the first
// differing byte decides, then the length. With right_justified the shorter
// text is first filled on the left with bytes of code 1.
int CompareColumnTexts(std::string first, std::string second, bool right_justified);

// The list's comparison under a sort parameter: negative when first comes
// first, times the direction the parameter's sign carries.
int CompareProcessItems(const ProcessItem& first, const ProcessItem& second, int sort_parameter,
                        const ListView& list);

}  // namespace proclens
