#pragma once
// The main window: top panel (logo, headline, view-style buttons), the process
// list, a splitter, the browser pane and the status bar, top to bottom. It owns
// every control for the whole run and forwards the toolkit's events to TForm1.

#include <gtkmm/box.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/layout.h>
#include <gtkmm/image.h>
#include <gtkmm/paned.h>
#include <gtkmm/window.h>

#include <functional>

#include "app/controls.h"
#include "app/form_layout.h"
#include "app/tform1.h"
#include "platform/linux/window/gtk_image_list.h"
#include "platform/linux/window/gtk_list_view.h"
#include "platform/linux/window/gtk_small_controls.h"
#include "platform/linux/window/gtk_web_browser.h"

namespace proclens::gtk_front {

class MainWindow : public Gtk::Window, public FormWindow {
 public:
  MainWindow();

  FormControls Controls();
  // Connects the window's events to the form's handlers; the form must
  // outlive the window's event loop.
  void Attach(TForm1& form);

  GtkListView& list_view() { return list_view_; }
  GtkLabelControl& top_label() { return top_label_; }
  GtkStatusBar& status_bar() { return status_bar_; }
  GtkWebBrowser& web_browser() { return web_browser_; }

  // Runs the work once, when the loop is idle after the window's first frame:
  // for what the start need not wait for, and the first click should not.
  void RunAfterFirstFrame(std::function<void()> work);
  // Runs work once, a moment after the first click on the list has been
  // handled.
  void RunAfterFirstClick(std::function<void()> work) { after_first_click_ = std::move(work); }

  // Runs a handler; a failure that escapes it ends that handler only and is
  // shown in a message box.
  void Dispatch(const std::function<void()>& handler);

  // A left click on the logo (Image1).
  std::function<void()> on_logo_click;
  // Runs before F5 fills the list anew, for what must be current by then.
  std::function<void()> before_refresh;

  void SetOuterSize(int width, int height) override;
  void SetPosition(int left, int top) override;
  int ClientWidth() const override;
  int ClientHeight() const override;

 private:
  void BuildTopPanel();
  void BuildPanes();
  void OnClientAllocated(Gtk::Allocation& allocation);
  void ApplyNewSize();

  GtkImageList large_image_list_{layout::kLargeImageSize};
  GtkImageList small_image_list_{layout::kSmallImageSize};
  GtkListView list_view_{large_image_list_, small_image_list_};
  GtkWebBrowser web_browser_;
  GtkStatusBar status_bar_;
  GtkMessageDialog message_dialog_{*this};
  GtkMenuItemControl show_in_explorer_popupmenu_;

  Gtk::Box client_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Layout top_panel_;
  Gtk::EventBox logo_box_;
  Gtk::Image image1_;
  GtkLabelControl top_label_;
  Gtk::RadioButton::Group view_group_;
  GtkSpeedButton large_speed_button_;
  GtkSpeedButton small_speed_button_;
  GtkSpeedButton report_speed_button_;
  Gtk::Paned splitter2_{Gtk::ORIENTATION_VERTICAL};

  TForm1* form_ = nullptr;
  std::function<void()> after_first_click_;
  static constexpr unsigned kAfterFirstClickDelayMs = 1000;
  int requested_width_ = 0;
  int requested_height_ = 0;
  int last_width_ = -1;
  int last_height_ = -1;
  bool resize_pending_ = false;
  bool browser_height_set_ = false;
};

}  // namespace proclens::gtk_front
