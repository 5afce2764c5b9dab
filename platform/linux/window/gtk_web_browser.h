#pragma once
// WebBrowser: a WebKitGTK web view. Plain file paths become file:// addresses;
// the view reports its title changes to the control's one handler slot.
// Creating a web view is slow, so the pane holds an empty box until its first
// frame has been drawn, or until the first call that needs the view.

#include <gtkmm/box.h>

#include <functional>
#include <string>

#include "app/controls.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _GError GError;

namespace proclens::gtk_front {
struct WebKitLibrary;
}

namespace proclens::gtk_front {

class GtkWebBrowser : public WebBrowser {
 public:
  GtkWebBrowser();
  ~GtkWebBrowser() override;
  GtkWebBrowser(const GtkWebBrowser&) = delete;
  GtkWebBrowser& operator=(const GtkWebBrowser&) = delete;

  // The pane, to be packed by the window.
  Gtk::Widget& widget() { return holder_; }
  // Creates the web view now if it does not exist yet; nullptr when WebKitGTK
  // cannot be loaded (the pane then stays empty and Navigate says why).
  WebKitWebView* View();

  void Navigate(const std::string& address) override;
  void Update() override;

 protected:
  void ShowAccessibleName(const std::string& name) override;

 public:
  // Runs the title-change handler the way the window runs its handlers, so a
  // failure in it is shown rather than thrown through the toolkit.
  std::function<void(const std::function<void()>& handler)> dispatch;

  // The address the view was last told to load, as a URI.
  std::string CurrentUri() const;

 private:
  static void OnTitleNotify(WebKitWebView* view, void* param_spec, GtkWebBrowser* self);
  static int OnLoadFailed(WebKitWebView* view, int load_event, const char* failing_uri,
                          GError* error, GtkWebBrowser* self);
  static void OnLoadChanged(WebKitWebView* view, int load_event, GtkWebBrowser* self);
  // Tells the hook that the page failed; true when the hook took it.
  bool ReportLoadFailure();

  std::string load_error_;
  const WebKitLibrary* webkit_ = nullptr;  // loaded with the view, not with the program
  Gtk::Box holder_;
  sigc::connection create_later_;  // the idle that creates the view after the first frame
  WebKitWebContext* context_ = nullptr;  // the view's own, released after it
  WebKitWebView* view_ = nullptr;  // our own reference, released first
  unsigned long title_handler_ = 0;
  unsigned long load_failed_handler_ = 0;
  unsigned long load_changed_handler_ = 0;
};

// The URI that Navigate loads for an address: addresses with a scheme pass
// through; a path becomes a file:// URI (a relative one against the current
// folder). Throws std::runtime_error when no URI can be made of it.
std::string NavigationUri(const std::string& address);

}  // namespace proclens::gtk_front
