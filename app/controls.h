#pragma once
// The controls of the main window as TForm1 sees them. Each front-end (gtkmm,
// Win32) builds the real widgets and implements these interfaces; the unit tests
// use fakes. No toolkit type appears here.
//
// Text is narrow, in the build's narrow encoding (UTF-8 on Linux, the ANSI code
// page on Win32); fronts convert at their boundary and must not trust the bytes.
//
// Handlers and failures: a front calls TForm1's handlers from its event
// dispatch. A std::exception that escapes a handler ends that handler only; the
// front shows its what() in a modal message box and the program goes on (a
// refused navigation, a page file that cannot be written).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "catalogue/process_item.h"

namespace proclens {

enum class ViewStyle { Report, LargeIcons, SmallIcons };
enum class ColumnAlignment { Left, Right, Center };

// A control that a screen reader names. The name follows the window's
// language; fronts hand it to the toolkit's accessibility layer.
class NamedControl {
 public:
  virtual ~NamedControl() = default;
  void SetAccessibleName(const std::string& name) {
    accessible_name_ = name;
    ShowAccessibleName(accessible_name_);
  }
  const std::string& AccessibleName() const { return accessible_name_; }

 protected:
  virtual void ShowAccessibleName(const std::string& /*name*/) {}

 private:
  std::string accessible_name_;
};

// Negative when the first item comes first, positive when after, 0 when equal.
using ItemComparison = std::function<int(const ProcessItem&, const ProcessItem&)>;

// The process list. Items are inserted by the catalogue's list fill through
// ProcessItemList; their order afterwards is the list's own (its sort).
class ListView : public ProcessItemList, public NamedControl {
 public:
  virtual ViewStyle GetViewStyle() const = 0;
  // Changes how the items are shown, never which items or their order.
  virtual void SetViewStyle(ViewStyle style) = 0;

  virtual int ColumnCount() const = 0;
  virtual std::string ColumnCaption(int column) const = 0;
  virtual void SetColumnCaption(int column, const std::string& caption) = 0;
  virtual int ColumnWidth(int column) const = 0;
  virtual void SetColumnWidth(int column, int width) = 0;  // width >= 0
  // The user cannot drag the column narrower than this.
  virtual int ColumnMinWidth(int column) const = 0;
  virtual void SetColumnMinWidth(int column, int width) = 0;
  virtual ColumnAlignment GetColumnAlignment(int column) const = 0;

  virtual std::size_t ItemCount() const = 0;
  // The item at a position of the list's current order; index < ItemCount().
  virtual ProcessItem Item(std::size_t index) const = 0;
  // The first selected item's position, nullopt when nothing is selected.
  virtual std::optional<std::size_t> SelectedIndex() const = 0;

  // Whether the list's native window exists; its sort needs it.
  virtual bool WindowExists() const = 0;
  // Reorders the items with the comparison (the control's own sort; the order
  // of items that compare equal is the control's). Nothing happens when the
  // window does not exist.
  virtual void SortItems(const ItemComparison& compare) = 0;

  virtual int ClientWidth() const = 0;

  // Empties the list for a new fill; the image lists are the caller's.
  virtual void ClearItems() = 0;
  // Selects the item at a position of the current order (nullopt: none).
  virtual void SelectIndex(std::optional<std::size_t> index) = 0;
  // Shows the item at a position of the current order with another image
  // of both image lists.
  virtual void SetItemImage(std::size_t index, int image_index) = 0;

  std::optional<ProcessItem> SelectedItem() const {
    if (auto index = SelectedIndex()) return Item(*index);
    return std::nullopt;
  }
};

// ImageList is the catalogue's (catalogue/process_item.h): LargeImageList and
// SmallImageList, both starting with the system-process and missing-file images.

// The title a page reports, kept in the browser's own text (UTF-16 on
// Windows, UTF-8 on Linux). Narrow texts are converted to the title's form to
// be compared with it, never the title to theirs: converting a title to the
// ANSI code page can make a caption or "404" appear where there is none.
class PageTitle {
 public:
  virtual ~PageTitle() = default;
  // Whether the text (narrow) stands anywhere in the title; an empty text
  // stands in every title.
  virtual bool Contains(const std::string& text) const = 0;
  virtual bool Equals(const std::string& text) const = 0;
  // The title as narrow text, for showing only.
  virtual std::string Narrow() const = 0;
};

// A title whose text is the program's narrow text already (WebKit's UTF-8 on
// Linux): compared byte for byte.
class NarrowTitle : public PageTitle {
 public:
  explicit NarrowTitle(std::string text) : text_(std::move(text)) {}
  bool Contains(const std::string& text) const override { return text_.find(text) != std::string::npos; }
  bool Equals(const std::string& text) const override { return text_ == text; }
  std::string Narrow() const override { return text_; }

 private:
  std::string text_;
};

using TitleChangeHandler = std::function<void(const PageTitle& title)>;
// A page that failed to load (no connection, a reset, a TLS failure, an error
// status) has no title of its own; the hook hears of it apart from titles.
using LoadFailedHandler = std::function<void()>;

// The browser pane. The title-change hook is one assignable slot, empty or
// holding a handler; a title change that arrives while it is empty has no effect.
class WebBrowser : public NamedControl {
 public:
  virtual ~WebBrowser() = default;

  // Starts loading the address (an http address, "about:blank" or the full path
  // of a local file) and returns without waiting for the page. Throws a
  // std::exception carrying the platform's error text when the browser refuses
  // the address outright.
  virtual void Navigate(const std::string& address) = 0;
  // Repaints the pane at once.
  virtual void Update() = 0;

  // The slot holds both handlers; they are set and emptied together.
  void SetTitleChangeHandler(TitleChangeHandler handler, LoadFailedHandler on_load_failed = {}) {
    title_change_ = std::move(handler);
    load_failed_ = std::move(on_load_failed);
  }
  void ClearTitleChangeHandler() {
    title_change_ = nullptr;
    load_failed_ = nullptr;
  }
  bool HasTitleChangeHandler() const { return static_cast<bool>(title_change_); }

  // Fronts call this for every title change the browser reports. The handler may
  // empty or replace the slot while it runs, so it is called from a copy.
  void NotifyTitleChange(const PageTitle& title) {
    if (!title_change_) return;
    TitleChangeHandler running = title_change_;
    running(title);
  }
  void NotifyTitleChange(const std::string& narrow_title) { NotifyTitleChange(NarrowTitle(narrow_title)); }
  // Fronts call this when a page fails to load; true when a handler took it,
  // so that the front need not show an error page of its own.
  bool NotifyLoadFailed() {
    if (!load_failed_) return false;
    LoadFailedHandler running = load_failed_;
    running();
    return true;
  }

 private:
  TitleChangeHandler title_change_;
  LoadFailedHandler load_failed_;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  // Simple mode: one text over the whole width, no panels.
  virtual void SetSimpleMode(bool simple) = 0;
  virtual bool SimpleMode() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

// The headline; its text may hold lines separated by "\r" alone.
class Label {
 public:
  virtual ~Label() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  // Switching auto-size on makes the label fit its current text.
  virtual void SetAutoSize(bool on) = 0;
  virtual bool AutoSize() const = 0;
  virtual void Repaint() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// A flat toggle button of the view-style group. The group (exactly one down,
// pressing one releases the others) is the front's, as the toolkit's own
// radio-button behaviour; the click handlers only change the list's view style.
class SpeedButton : public NamedControl {
 public:
  virtual int Left() const = 0;
  virtual void SetLeft(int left) = 0;
  virtual int Top() const = 0;
  virtual int Width() const = 0;
  virtual bool Down() const = 0;
  virtual void SetDown(bool down) = 0;
};

// A menu item; "&" in its caption marks the keyboard accelerator.
class MenuItem {
 public:
  virtual ~MenuItem() = default;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

// The main window itself.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  // Outer size and position, in screen pixels; the position may be negative.
  virtual void SetOuterSize(int width, int height) = 0;
  virtual void SetPosition(int left, int top) = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
};

// The primary screen as GetSystemMetrics reports it, in pixels.
class ScreenMetrics {
 public:
  virtual ~ScreenMetrics() = default;
  virtual int ScreenWidth() = 0;              // SM_CXSCREEN
  virtual int ScreenHeight() = 0;             // SM_CYSCREEN
  virtual int VerticalScrollBarWidth() = 0;   // SM_CXVSCROLL
};

// A modal message box with an OK button. While it is open the front keeps
// dispatching events, so other handlers (a title change) may run inside the
// caller. Not named MessageBox: <windows.h> defines that as a macro.
class MessageDialog {
 public:
  virtual ~MessageDialog() = default;
  virtual void ShowModal(const std::string& caption, const std::string& text) = 0;
};

// Every control of the main window that the handlers reach, by component name.
// The window owns them all for the whole run.
struct FormControls {
  FormWindow& form;
  ListView& list_view;
  ImageList& large_image_list;
  ImageList& small_image_list;
  WebBrowser& web_browser;
  StatusBar& status_bar;
  Label& top_label;
  SpeedButton& large_speed_button;
  SpeedButton& small_speed_button;
  SpeedButton& report_speed_button;
  MenuItem& show_in_explorer_popupmenu;
  MessageDialog& message_dialog;
};

}  // namespace proclens
