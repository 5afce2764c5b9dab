#pragma once
// The process list over a common-controls list view: report view at start,
// whole-row and single selection that stays visible, no in-place editing,
// clickable headers. The items' data lives here; each row carries its item's
// number in its lParam, so the control's own sort reorders rows and data together.

#include <vector>

#include "app/controls.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/window/win32_row_descriptions.h"

namespace proclens::win32 {

struct ListColumn {
  const char* caption;
  int width;
  ColumnAlignment alignment;
};

class Win32ListView : public ListView {
 public:
  Win32ListView() = default;
  Win32ListView(const Win32ListView&) = delete;
  Win32ListView& operator=(const Win32ListView&) = delete;

  // Creates the control as a child of parent, sharing the two image lists.
  bool Create(HWND parent, int control_id, HIMAGELIST large, HIMAGELIST small,
              const std::vector<ListColumn>& columns);
  HWND handle() const { return list_; }

  // A column width change the user is dragging; false refuses it (below the minimum).
  bool AcceptsColumnWidth(int column, int width) const;
  // Answers the control's LVN_GETINFOTIPA or LVN_GETINFOTIPW with the row's
  // description; false for any other notification.
  bool AnswerInfoTip(NMHDR& notification) const;

  void InsertItem(std::size_t position, ProcessItem item) override;
  void AppendItem(ProcessItem item) override;

  ViewStyle GetViewStyle() const override;
  void SetViewStyle(ViewStyle style) override;

  int ColumnCount() const override;
  std::string ColumnCaption(int column) const override;
  void SetColumnCaption(int column, const std::string& caption) override;
  int ColumnWidth(int column) const override;
  void SetColumnWidth(int column, int width) override;
  int ColumnMinWidth(int column) const override;
  void SetColumnMinWidth(int column, int width) override;
  ColumnAlignment GetColumnAlignment(int column) const override;

  std::size_t ItemCount() const override;
  ProcessItem Item(std::size_t index) const override;
  std::optional<std::size_t> SelectedIndex() const override;

  bool WindowExists() const override;
  void SortItems(const ItemComparison& compare) override;
  int ClientWidth() const override;
  void ClearItems() override;
  void SelectIndex(std::optional<std::size_t> index) override;
  void SetItemImage(std::size_t index, int image_index) override;
  // The list draws no text of its own; its window text is its name.
  void ShowAccessibleName(const std::string& name) override { SetWindowTextA(list_, name.c_str()); }

 private:
  static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM sort);

  const ProcessItem* ItemAtRow(int row) const;

  HWND list_ = nullptr;
  std::vector<ProcessItem> items_;  // by item number, in the order they came
  std::vector<int> min_widths_;
  std::vector<ColumnAlignment> alignments_;
  // Last, so that it is let go before the items it reads.
  RowDescriptionAnnotation descriptions_;
};

}  // namespace proclens::win32
