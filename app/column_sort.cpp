#include "app/column_sort.h"

#include <algorithm>
#include <cstdlib>

namespace proclens {
namespace {

constexpr char kRightJustifyFill = '\x01';  // below every digit and the size separator

unsigned char FoldAsciiLetter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

void FillOnTheLeft(std::string& shorter, std::size_t length) {
  shorter.insert(0, length - shorter.size(), kRightJustifyFill);
}

}  // namespace

int SortParameter(int column, bool descending) { return descending ? -(column + 1) : column + 1; }

std::string ColumnText(const ProcessItem& item, int column) {
  if (column == 0) return item.caption;
  const auto index = static_cast<std::size_t>(column - 1);
  return index < item.sub_items.size() ? item.sub_items[index] : std::string();
}

int CompareColumnTexts(std::string first, std::string second, bool right_justified) {
  if (right_justified) {
    if (first.size() < second.size()) FillOnTheLeft(first, second.size());
    if (second.size() < first.size()) FillOnTheLeft(second, first.size());
  }
  const std::size_t common = std::min(first.size(), second.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int a = FoldAsciiLetter(first[i]);
    const int b = FoldAsciiLetter(second[i]);
    if (a != b) return a - b;
  }
  return static_cast<int>(first.size()) - static_cast<int>(second.size());
}

int CompareProcessItems(const ProcessItem& first, const ProcessItem& second, int sort_parameter,
                        const ListView& list) {
  const int direction = sort_parameter > 0 ? 1 : -1;
  const int column = std::abs(sort_parameter) - 1;
  const bool right_justified = list.GetColumnAlignment(column) == ColumnAlignment::Right;
  return direction *
         CompareColumnTexts(ColumnText(first, column), ColumnText(second, column), right_justified);
}

void ListViewColumnClick(ListView& list, int column) {
  const int toggle = list.ColumnMinWidth(column) == 0 ? 1 : 0;
  list.SetColumnMinWidth(column, toggle);
  const int sort_parameter = SortParameter(column, toggle == 1);
  if (!list.WindowExists()) return;
  list.SortItems([&list, sort_parameter](const ProcessItem& first, const ProcessItem& second) {
    return CompareProcessItems(first, second, sort_parameter, list);
  });
}

}  // namespace proclens
