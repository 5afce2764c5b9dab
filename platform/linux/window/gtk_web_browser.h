#pragma once
// WebBrowser: a WebKitGTK web view. Plain file paths become file:// addresses;
// the view reports its title changes to the control's one handler slot.

#include <gtkmm/widget.h>

#include <string>

#include "app/controls.h"

typedef struct _WebKitWebView WebKitWebView;

namespace proclens::gtk_front {

class GtkWebBrowser : public WebBrowser {
 public:
  GtkWebBrowser();
  ~GtkWebBrowser() override;
  GtkWebBrowser(const GtkWebBrowser&) = delete;
  GtkWebBrowser& operator=(const GtkWebBrowser&) = delete;

  // The view, to be packed by the window (which adds its own reference).
  Gtk::Widget& widget() { return *widget_; }

  void Navigate(const std::string& address) override;
  void Update() override;

  // The address the view was last told to load, as a URI.
  std::string CurrentUri() const;

 private:
  static void OnTitleNotify(WebKitWebView* view, void* param_spec, GtkWebBrowser* self);

  WebKitWebView* view_ = nullptr;  // our own reference, released last
  Gtk::Widget* widget_ = nullptr;  // the gtkmm wrapper of view_, owned by the view
  unsigned long title_handler_ = 0;
};

// The URI that Navigate loads for an address: addresses with a scheme pass
// through; a path becomes a file:// URI (a relative one against the current
// folder). Throws std::runtime_error when no URI can be made of it.
std::string NavigationUri(const std::string& address);

}  // namespace proclens::gtk_front
