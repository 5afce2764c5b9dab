#pragma once
// Controls without a window: each remembers what it was told and, when given
// an event log, writes every change into it so that tests can check the order.

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "app/form_layout.h"
#include "app/form_texts.h"

namespace proclens::fakes {

// One line per change, and beside it whether the browser's title hook was set
// at that moment.
struct EventLog {
  const WebBrowser* browser = nullptr;
  std::vector<std::string> events;
  std::vector<bool> hook_set;

  void Add(std::string event) {
    events.push_back(std::move(event));
    hook_set.push_back(browser != nullptr && browser->HasTitleChangeHandler());
  }
};

class Logging {
 public:
  explicit Logging(EventLog* log) : log_(log) {}

 protected:
  void Log(std::string event) const {
    if (log_ != nullptr) log_->Add(std::move(event));
  }

 private:
  EventLog* log_;
};

struct FakeColumn {
  std::string caption;
  int width = 0;
  int min_width = 0;
  ColumnAlignment alignment = ColumnAlignment::Left;
};

// Starts as the window is built: report view, the English captions, the design widths.
class FakeListView : public ListView, Logging {
 public:
  explicit FakeListView(EventLog* log = nullptr) : Logging(log) {
    for (std::size_t i = 0; i < layout::kColumns.size(); ++i) {
      columns.push_back({EnglishFormTexts().column_captions[i], layout::kColumns[i].width, 0,
                         layout::kColumns[i].alignment});
    }
  }

  std::vector<FakeColumn> columns;
  std::vector<ProcessItem> items;
  ViewStyle style = layout::kInitialViewStyle;
  std::optional<std::size_t> selected;
  bool window_exists = true;
  int client_width = 760;
  int sorts = 0;

  void InsertItem(std::size_t position, ProcessItem item) override {
    Log("list.insert " + item.caption);
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  }
  void AppendItem(ProcessItem item) override {
    Log("list.append " + item.caption);
    items.push_back(std::move(item));
  }

  ViewStyle GetViewStyle() const override { return style; }
  void SetViewStyle(ViewStyle new_style) override {
    Log("list.style");
    style = new_style;
  }

  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  std::string ColumnCaption(int column) const override { return at(column).caption; }
  void SetColumnCaption(int column, const std::string& caption) override {
    Log("list.caption " + std::to_string(column));
    at(column).caption = caption;
  }
  int ColumnWidth(int column) const override { return at(column).width; }
  void SetColumnWidth(int column, int width) override {
    Log("list.width " + std::to_string(column));
    at(column).width = width;
  }
  int ColumnMinWidth(int column) const override { return at(column).min_width; }
  void SetColumnMinWidth(int column, int width) override { at(column).min_width = width; }
  ColumnAlignment GetColumnAlignment(int column) const override { return at(column).alignment; }

  std::size_t ItemCount() const override { return items.size(); }
  ProcessItem Item(std::size_t index) const override { return items.at(index); }
  std::optional<std::size_t> SelectedIndex() const override { return selected; }

  bool WindowExists() const override { return window_exists; }
  void SortItems(const ItemComparison& compare) override {
    if (!window_exists) return;
    ++sorts;
    std::stable_sort(items.begin(), items.end(),
                     [&](const ProcessItem& a, const ProcessItem& b) { return compare(a, b) < 0; });
  }

  int ClientWidth() const override { return client_width; }
  void ClearItems() override {
    Log("list.clear");
    items.clear();
    selected.reset();
  }
  void SelectIndex(std::optional<std::size_t> index) override { selected = index; }
  void SetItemImage(std::size_t index, int image_index) override { items.at(index).image_index = image_index; }

 private:
  FakeColumn& at(int column) { return columns.at(static_cast<std::size_t>(column)); }
  const FakeColumn& at(int column) const { return columns.at(static_cast<std::size_t>(column)); }
};

class FakeImageList : public ImageList {
 public:
  int count = 2;  // the system-process and missing-file images
  int AddIcon(const Icon&) override { return count++; }
  void RemoveLastImage() override { --count; }
  void KeepFixedImagesOnly() override { count = kFixedImageCount; }
};

class FakeWebBrowser : public WebBrowser {
 public:
  std::vector<std::string> navigations;
  int updates = 0;
  void Navigate(const std::string& address) override { navigations.push_back(address); }
  void Update() override { ++updates; }
};

class FakeStatusBar : public StatusBar, Logging {
 public:
  explicit FakeStatusBar(EventLog* log = nullptr) : Logging(log) {}
  bool simple = false;
  std::string text;
  void SetSimpleMode(bool on) override {
    Log(on ? "status.simple on" : "status.simple off");
    simple = on;
  }
  bool SimpleMode() const override { return simple; }
  void SetText(const std::string& new_text) override {
    Log("status.text");
    text = new_text;
  }
  std::string Text() const override { return text; }
};

class FakeLabel : public Label, Logging {
 public:
  explicit FakeLabel(EventLog* log = nullptr) : Logging(log) {}
  std::string text = EnglishFormTexts().top_label;
  bool auto_size = true;
  int repaints = 0;
  void SetText(const std::string& new_text) override {
    Log("label.text");
    text = new_text;
  }
  std::string Text() const override { return text; }
  void SetAutoSize(bool on) override {
    Log(on ? "label.autosize on" : "label.autosize off");
    auto_size = on;
  }
  bool AutoSize() const override { return auto_size; }
  void Repaint() override {
    Log("label.repaint");
    ++repaints;
  }
  int Width() const override { return 358; }
  int Height() const override { return 26; }
};

class FakeSpeedButton : public SpeedButton {
 public:
  FakeSpeedButton(int left_at_start, int button_width, bool down_at_start = false)
      : left(left_at_start), width(button_width), down(down_at_start) {}
  int left;
  int width;
  int top = layout::kSpeedButtonTop;
  bool down;
  int Left() const override { return left; }
  void SetLeft(int new_left) override { left = new_left; }
  int Top() const override { return top; }
  int Width() const override { return width; }
  bool Down() const override { return down; }
  void SetDown(bool now_down) override { down = now_down; }
};

class FakeMenuItem : public MenuItem, Logging {
 public:
  explicit FakeMenuItem(EventLog* log = nullptr) : Logging(log) {}
  std::string caption = EnglishFormTexts().show_in_explorer_popupmenu;
  std::string Caption() const override { return caption; }
  void SetCaption(const std::string& new_caption) override {
    Log("menu.caption");
    caption = new_caption;
  }
};

// Client area = outer size less a fixed frame (the design's 800 x 600 has 784 x 562).
class FakeFormWindow : public FormWindow, Logging {
 public:
  explicit FakeFormWindow(EventLog* log = nullptr) : Logging(log) {}
  int left = 257, top = 122, width = layout::kDesignWidth, height = layout::kDesignHeight;
  static constexpr int kFrameWidth = 16, kFrameHeight = 38;
  void SetOuterSize(int new_width, int new_height) override {
    Log("form.size");
    width = new_width;
    height = new_height;
  }
  void SetPosition(int new_left, int new_top) override {
    Log("form.position");
    left = new_left;
    top = new_top;
  }
  int ClientWidth() const override { return width - kFrameWidth; }
  int ClientHeight() const override { return height - kFrameHeight; }
};

class FakeScreenMetrics : public ScreenMetrics {
 public:
  int width = 1024, height = 768, scroll_bar = 17;
  int ScreenWidth() override { return width; }
  int ScreenHeight() override { return height; }
  int VerticalScrollBarWidth() override { return scroll_bar; }
};

class FakeMessageDialog : public MessageDialog {
 public:
  std::vector<std::pair<std::string, std::string>> shown;
  void ShowModal(const std::string& caption, const std::string& text) override {
    shown.emplace_back(caption, text);
  }
};

}  // namespace proclens::fakes
