#include "platform/win32/window/win32_list_view.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace proclens::win32 {
namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT |
                             LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
constexpr DWORD kListExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;

int FormatOf(ColumnAlignment alignment) {
  switch (alignment) {
    case ColumnAlignment::Right: return LVCFMT_RIGHT;
    case ColumnAlignment::Center: return LVCFMT_CENTER;
    case ColumnAlignment::Left: break;
  }
  return LVCFMT_LEFT;
}

void SetRowText(HWND list, int row, int column, const std::string& text) {
  LVITEMA cell = {};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

bool Win32ListView::Create(HWND parent, int control_id, HIMAGELIST large, HIMAGELIST small,
                           const std::vector<ListColumn>& columns) {
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", kListStyle, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                          GetModuleHandleA(nullptr), nullptr);
  if (!list_) return false;
  ListView_SetExtendedListViewStyle(list_, kListExtendedStyle);
  ListView_SetImageList(list_, large, LVSIL_NORMAL);
  ListView_SetImageList(list_, small, LVSIL_SMALL);
  for (const ListColumn& column : columns) {
    LVCOLUMNA header = {};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    header.fmt = FormatOf(column.alignment);
    header.cx = column.width;
    header.pszText = const_cast<char*>(column.caption);
    header.iSubItem = static_cast<int>(alignments_.size());
    SendMessageA(list_, LVM_INSERTCOLUMNA, alignments_.size(), reinterpret_cast<LPARAM>(&header));
    alignments_.push_back(column.alignment);
    min_widths_.push_back(0);
  }
  // Screen readers hear a row's description where oleacc takes annotations;
  // elsewhere the rows keep the system's and nothing needs saying.
  descriptions_.Attach(list_, [this](std::size_t row) {
    const ProcessItem* item =
        row < static_cast<std::size_t>(INT_MAX) ? ItemAtRow(static_cast<int>(row)) : nullptr;
    return item ? item->description : std::string();
  });
  return true;
}

bool Win32ListView::AcceptsColumnWidth(int column, int width) const {
  return column < 0 || column >= ColumnCount() || width >= min_widths_[column];
}

void Win32ListView::InsertItem(std::size_t position, ProcessItem item) {
  if (!list_ || items_.size() >= static_cast<std::size_t>(INT_MAX)) return;
  const int number = static_cast<int>(items_.size());
  LVITEMA row = {};
  row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  row.iItem = static_cast<int>(std::min(position, ItemCount()));
  row.pszText = const_cast<char*>(item.caption.c_str());
  // -1 would ask the list for the picture at every paint (I_IMAGECALLBACK);
  // an item without a picture says so explicitly.
  row.iImage = item.image_index >= 0 ? item.image_index : I_IMAGENONE;
  row.lParam = number;
  const int inserted =
      static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
  if (inserted < 0) return;
  for (std::size_t column = 0; column < item.sub_items.size() && column + 1 < alignments_.size();
       ++column) {
    SetRowText(list_, inserted, static_cast<int>(column) + 1, item.sub_items[column]);
  }
  items_.push_back(std::move(item));
}

void Win32ListView::AppendItem(ProcessItem item) { InsertItem(ItemCount(), std::move(item)); }

bool Win32ListView::AnswerInfoTip(NMHDR& notification) const {
  if (notification.code != LVN_GETINFOTIPA && notification.code != LVN_GETINFOTIPW) return false;
  // Both forms carry the row at the same place.
  const ProcessItem* item = ItemAtRow(reinterpret_cast<const NMLVGETINFOTIPA&>(notification).iItem);
  return AppendInfoTip(notification, item ? item->description : std::string());
}

ViewStyle Win32ListView::GetViewStyle() const {
  switch (GetWindowLongPtrA(list_, GWL_STYLE) & LVS_TYPEMASK) {
    case LVS_ICON: return ViewStyle::LargeIcons;
    case LVS_SMALLICON: return ViewStyle::SmallIcons;
    default: return ViewStyle::Report;
  }
}

void Win32ListView::SetViewStyle(ViewStyle style) {
  const LONG_PTR type = style == ViewStyle::LargeIcons   ? LVS_ICON
                        : style == ViewStyle::SmallIcons ? LVS_SMALLICON
                                                         : LVS_REPORT;
  const LONG_PTR current = GetWindowLongPtrA(list_, GWL_STYLE);
  SetWindowLongPtrA(list_, GWL_STYLE, (current & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | type);
  // Icon views place the items anew; the order stays the list's own.
  if (type != LVS_REPORT) ListView_Arrange(list_, LVA_DEFAULT);
}

int Win32ListView::ColumnCount() const { return static_cast<int>(alignments_.size()); }

std::string Win32ListView::ColumnCaption(int column) const {
  char caption[256] = {};
  LVCOLUMNA header = {};
  header.mask = LVCF_TEXT;
  header.pszText = caption;
  header.cchTextMax = sizeof(caption);
  SendMessageA(list_, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
  return std::string(caption, strnlen(caption, sizeof(caption)));
}

void Win32ListView::SetColumnCaption(int column, const std::string& caption) {
  LVCOLUMNA header = {};
  header.mask = LVCF_TEXT;
  header.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(list_, LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
}

int Win32ListView::ColumnWidth(int column) const { return ListView_GetColumnWidth(list_, column); }

void Win32ListView::SetColumnWidth(int column, int width) {
  ListView_SetColumnWidth(list_, column, std::max(0, width));
}

int Win32ListView::ColumnMinWidth(int column) const {
  return column >= 0 && column < ColumnCount() ? min_widths_[column] : 0;
}

void Win32ListView::SetColumnMinWidth(int column, int width) {
  if (column < 0 || column >= ColumnCount()) return;
  min_widths_[column] = std::max(0, width);
  if (ColumnWidth(column) < min_widths_[column]) SetColumnWidth(column, min_widths_[column]);
}

ColumnAlignment Win32ListView::GetColumnAlignment(int column) const {
  return column >= 0 && column < ColumnCount() ? alignments_[column] : ColumnAlignment::Left;
}

std::size_t Win32ListView::ItemCount() const {
  return list_ ? static_cast<std::size_t>(ListView_GetItemCount(list_)) : 0;
}

const ProcessItem* Win32ListView::ItemAtRow(int row) const {
  LVITEMA probe = {};
  probe.mask = LVIF_PARAM;
  probe.iItem = row;
  if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&probe))) return nullptr;
  if (probe.lParam < 0 || static_cast<std::size_t>(probe.lParam) >= items_.size()) return nullptr;
  return &items_[static_cast<std::size_t>(probe.lParam)];
}

ProcessItem Win32ListView::Item(std::size_t index) const {
  const ProcessItem* item = index < ItemCount() ? ItemAtRow(static_cast<int>(index)) : nullptr;
  return item ? *item : ProcessItem();
}

std::optional<std::size_t> Win32ListView::SelectedIndex() const {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

bool Win32ListView::WindowExists() const { return list_ && IsWindow(list_); }

struct SortContext {
  const std::vector<ProcessItem>& items;
  const ItemComparison& compare;
};

int CALLBACK Win32ListView::CompareRows(LPARAM first, LPARAM second, LPARAM sort) {
  const auto& context = *reinterpret_cast<const SortContext*>(sort);
  return context.compare(context.items[static_cast<std::size_t>(first)],
                         context.items[static_cast<std::size_t>(second)]);
}

void Win32ListView::SortItems(const ItemComparison& compare) {
  if (!WindowExists() || !compare) return;
  SortContext context{items_, compare};
  ListView_SortItems(list_, CompareRows, reinterpret_cast<LPARAM>(&context));
}

void Win32ListView::ClearItems() {
  if (list_) ListView_DeleteAllItems(list_);
  items_.clear();
}

void Win32ListView::SetItemImage(std::size_t index, int image_index) {
  if (!list_ || index >= ItemCount()) return;
  LVITEMA probe = {};
  probe.mask = LVIF_PARAM;
  probe.iItem = static_cast<int>(index);
  if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&probe))) return;
  if (probe.lParam < 0 || static_cast<std::size_t>(probe.lParam) >= items_.size()) return;
  items_[static_cast<std::size_t>(probe.lParam)].image_index = image_index;
  LVITEMA row = {};
  row.mask = LVIF_IMAGE;
  row.iItem = static_cast<int>(index);
  row.iImage = image_index >= 0 ? image_index : I_IMAGENONE;
  SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&row));
}

void Win32ListView::SelectIndex(std::optional<std::size_t> index) {
  if (!list_) return;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (!index || *index >= ItemCount()) return;
  const int row = static_cast<int>(*index);
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, row, FALSE);
}

int Win32ListView::ClientWidth() const {
  RECT client = {};
  if (list_) GetClientRect(list_, &client);
  return client.right - client.left;
}

}  // namespace proclens::win32
