#include "platform/linux/window/main_window.h"

#include <gdkmm/cursor.h>
#include <glibmm/main.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

#include <exception>
#include <memory>
#include <utility>

#include "app/form_layout.h"
#include "app/form_texts.h"
#include "platform/linux/window/gtk_text.h"

namespace proclens::gtk_front {
namespace {

// Flat buttons as small as their glyphs allow: the theme's padding would make
// them much larger than the panel's 26-pixel row.
constexpr char kSpeedButtonStyle[] =
    ".proclens-speed-button { padding: 1px; min-width: 0; min-height: 0; }";

void InstallStyle() {
  auto provider = Gtk::CssProvider::create();
  provider->load_from_data(kSpeedButtonStyle);
  Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

MainWindow::MainWindow()
    : show_in_explorer_popupmenu_(list_view_.popup_item(),
                                  EnglishFormTexts().show_in_explorer_popupmenu),
      top_label_(EnglishFormTexts().top_label),
      large_speed_button_(top_panel_, view_group_, "view-large.png",
                          layout::kLargeSpeedButtonWidth),
      small_speed_button_(top_panel_, view_group_, "view-small.png",
                          layout::kSmallSpeedButtonWidth),
      report_speed_button_(top_panel_, view_group_, "view-report.png",
                           layout::kReportSpeedButtonWidth) {
  InstallStyle();
  set_title(ValidUtf8(WindowCaption()));
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
  for (const char* size : {"16", "24", "32", "48"}) {
    if (auto icon = ArtworkPixbuf(std::string("proclens-") + size + ".png")) icons.push_back(icon);
  }
  set_icon_list(icons);
  set_default_size(layout::kDesignWidth, layout::kDesignHeight);

  BuildTopPanel();
  BuildPanes();
  client_.pack_start(top_panel_, Gtk::PACK_SHRINK);
  client_.pack_start(splitter2_, Gtk::PACK_EXPAND_WIDGET);
  client_.pack_start(status_bar_.widget(), Gtk::PACK_SHRINK);
  client_.signal_size_allocate().connect(sigc::mem_fun(*this, &MainWindow::OnClientAllocated),
                                         true);
  add(client_);
  client_.show_all();
}

void MainWindow::BuildTopPanel() {
  // A layout, unlike a fixed container, does not ask for the room its children
  // take, so the buttons at the right edge never stop the window shrinking.
  top_panel_.set_size_request(-1, layout::kTopPanelHeight);
  image1_.set(ArtworkPixbuf("proclens-32.png"));
  // The logo opens the publisher's site and is called by its name.
  if (auto accessible = image1_.get_accessible()) accessible->set_name(ValidUtf8(SiteName()));
  logo_box_.add(image1_);
  logo_box_.set_visible_window(true);
  logo_box_.signal_realize().connect([this] {
    logo_box_.get_window()->set_cursor(Gdk::Cursor::create(get_display(), "pointer"));
  });
  logo_box_.signal_button_release_event().connect([this](GdkEventButton* event) {
    if (event->button == 1 && on_logo_click) Dispatch(on_logo_click);
    return false;
  });
  top_panel_.put(logo_box_, layout::kImage1Left, layout::kImage1Top);
  top_panel_.put(top_label_.widget(), layout::kTopLabelLeft, layout::kTopLabelTop);
  report_speed_button_.SetDown(true);  // the list starts in report view
}

void MainWindow::BuildPanes() {
  splitter2_.set_wide_handle(true);  // a bar the user can see and grab
  splitter2_.pack1(list_view_.widget(), true, false);
  splitter2_.pack2(web_browser_.widget(), false, false);
  web_browser_.widget().set_size_request(-1, 0);
}

FormControls MainWindow::Controls() {
  return FormControls{*this,
                      list_view_,
                      large_image_list_,
                      small_image_list_,
                      web_browser_,
                      status_bar_,
                      top_label_,
                      large_speed_button_,
                      small_speed_button_,
                      report_speed_button_,
                      show_in_explorer_popupmenu_,
                      message_dialog_};
}

void MainWindow::Attach(TForm1& form) {
  form_ = &form;
  large_speed_button_.on_click = [this] { Dispatch([this] { form_->LargeSpeedButtonClick(); }); };
  small_speed_button_.on_click = [this] { Dispatch([this] { form_->SmallSpeedButtonClick(); }); };
  report_speed_button_.on_click = [this] { Dispatch([this] { form_->ReportSpeedButtonClick(); }); };
  list_view_.on_click = [this] {
    Dispatch([this] { form_->ListViewClick(); });
    // Not at once: the page the click asked for is still loading, and its
    // title must not wait behind this work on the loop.
    if (after_first_click_)
      Glib::signal_timeout().connect_once(std::exchange(after_first_click_, nullptr), kAfterFirstClickDelayMs);
  };
  list_view_.on_column_click = [this](int column) {
    Dispatch([this, column] { form_->ListViewColumnClick(column); });
  };
  list_view_.popup_item().signal_activate().connect(
      [this] { Dispatch([this] { form_->ShowInExplorerPopupmenuClick(); }); });
  on_logo_click = [this] { form_->Image1Click(); };
  // F5 anywhere in the window brings the list up to date.
  signal_key_press_event().connect(
      [this](GdkEventKey* event) {
        if (event->keyval != GDK_KEY_F5) return false;
        Dispatch([this] {
          if (before_refresh) before_refresh();
          form_->RefreshProcessList();
        });
        return true;
      },
      false);
  web_browser_.dispatch = [this](const std::function<void()>& handler) { Dispatch(handler); };
  signal_delete_event().connect(
      [this](GdkEventAny*) {
        Dispatch([this] { form_->FormClose(); });
        return false;  // the default: closing the window ends the program
      },
      false);
}

void MainWindow::RunAfterFirstFrame(std::function<void()> work) {
  auto first_draw = std::make_shared<sigc::connection>();
  *first_draw = signal_draw().connect(
      [first_draw, work = std::move(work)](const Cairo::RefPtr<Cairo::Context>&) {
        first_draw->disconnect();
        Glib::signal_idle().connect_once(work);
        return false;
      },
      true);
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    message_dialog_.ShowModal(WindowCaption(), failure.what());
  }
}

void MainWindow::SetOuterSize(int width, int height) {
  requested_width_ = width;
  requested_height_ = height;
  set_default_size(width, height);
  if (get_realized()) resize(width, height);
}

void MainWindow::SetPosition(int left, int top) { move(left, top); }

int MainWindow::ClientWidth() const {
  if (last_width_ >= 0) return last_width_;
  int width = 0, height = 0;
  get_default_size(width, height);
  return width;
}

int MainWindow::ClientHeight() const {
  if (last_height_ >= 0) return last_height_;
  int width = 0, height = 0;
  get_default_size(width, height);
  return height;
}

// Layout changes made during allocation would fight the toolkit, so the
// form's resize handler and the splitter's first position run right after it.
void MainWindow::OnClientAllocated(Gtk::Allocation& allocation) {
  if (allocation.get_width() == last_width_ && allocation.get_height() == last_height_) return;
  last_width_ = allocation.get_width();
  last_height_ = allocation.get_height();
  if (resize_pending_) return;
  resize_pending_ = true;
  Glib::signal_idle().connect_once(sigc::mem_fun(*this, &MainWindow::ApplyNewSize),
                                   Glib::PRIORITY_HIGH_IDLE);
}

void MainWindow::ApplyNewSize() {
  resize_pending_ = false;
  // The browser pane starts at its design height; the list takes every other change of height.
  const int browser_height = layout::kWebBrowserHeight;
  if (!browser_height_set_ && splitter2_.get_allocated_height() > browser_height) {
    browser_height_set_ = true;
    int handle = 0;
    splitter2_.get_style_property("handle-size", handle);
    splitter2_.set_position(splitter2_.get_allocated_height() - browser_height - handle);
  }
  if (form_ != nullptr) Dispatch([this] { form_->FormResize(); });
}

}  // namespace proclens::gtk_front
