#include "platform/linux/window/gtk_web_browser.h"

#include <glibmm/main.h>

#include <cctype>
#include <memory>
#include <stdexcept>

#include "platform/linux/window/gtk_text.h"
#include "platform/linux/window/page_links.h"
#include "platform/linux/window/res_scheme.h"
#include "platform/linux/window/viewer_policy.h"
#include "platform/linux/window/webkit_library.h"

namespace proclens::gtk_front {
namespace {

// "scheme:" with a scheme of two or more letters; a lone letter before a
// colon would be a drive, not a scheme.
bool HasScheme(const std::string& address) {
  std::size_t colon = address.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  if (!std::isalpha(static_cast<unsigned char>(address[0]))) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(address[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

std::string NavigationUri(const std::string& address) {
  if (HasScheme(address)) return address;
  std::unique_ptr<gchar, decltype(&g_free)> absolute(
      g_canonicalize_filename(address.c_str(), nullptr), &g_free);
  GError* error = nullptr;
  std::unique_ptr<gchar, decltype(&g_free)> uri(g_filename_to_uri(absolute.get(), nullptr, &error),
                                                &g_free);
  if (!uri) {
    std::string message = error ? error->message : "The address cannot be opened.";
    g_clear_error(&error);
    throw std::runtime_error(message);
  }
  return uri.get();
}

GtkWebBrowser::GtkWebBrowser() {
  auto first_draw = std::make_shared<sigc::connection>();
  *first_draw = holder_.signal_draw().connect(
      [this, first_draw](const Cairo::RefPtr<Cairo::Context>&) {
        first_draw->disconnect();
        create_later_ = Glib::signal_idle().connect([this] {
          View();
          return false;
        });
        return false;
      },
      true);
}

GtkWebBrowser::~GtkWebBrowser() {
  create_later_.disconnect();
  if (view_ == nullptr) return;
  for (unsigned long handler : {title_handler_, load_failed_handler_, load_changed_handler_}) {
    g_signal_handler_disconnect(view_, handler);
  }
  g_object_unref(view_);
  g_object_unref(context_);
}

WebKitWebView* GtkWebBrowser::View() {
  if (view_ != nullptr) return view_;
  webkit_ = LoadWebKit(&load_error_);
  if (webkit_ == nullptr) return nullptr;
  const WebKitLibrary& webkit = *webkit_;
  // Ephemeral: cookies, local storage and caches live in memory and end with
  // the run, as everything else of ours does; nothing goes under the home folder.
  context_ = webkit.webkit_web_context_new_ephemeral();
  // One page at a time, never kept for going back: a document viewer's caches.
  webkit.webkit_web_context_set_cache_model(context_, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  RegisterResScheme(webkit, context_);
  view_ = reinterpret_cast<WebKitWebView*>(webkit.webkit_web_view_new_with_context(context_));
  g_object_ref_sink(view_);
  // Plain pages need no compositing; it would load the GPU drivers into both
  // processes (tens of megabytes in the web process alone).
  webkit.webkit_settings_set_hardware_acceleration_policy(
      webkit.webkit_web_view_get_settings(view_), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  SendNewWindowLinksToDefaultBrowser(webkit, view_);
  RefuseDownloads(webkit, view_, context_);
  title_handler_ =
      g_signal_connect(view_, "notify::title", G_CALLBACK(&GtkWebBrowser::OnTitleNotify), this);
  load_failed_handler_ =
      g_signal_connect(view_, "load-failed", G_CALLBACK(&GtkWebBrowser::OnLoadFailed), this);
  load_changed_handler_ =
      g_signal_connect(view_, "load-changed", G_CALLBACK(&GtkWebBrowser::OnLoadChanged), this);
  gtk_box_pack_start(GTK_BOX(holder_.gobj()), GTK_WIDGET(view_), TRUE, TRUE, 0);
  if (!AccessibleName().empty()) ShowAccessibleName(AccessibleName());
  gtk_widget_show(GTK_WIDGET(view_));
  // The web process starts with the first load; starting it now keeps that
  // cost out of the first click on a process.
  if (webkit.webkit_web_view_get_uri(view_) == nullptr) {
    webkit.webkit_web_view_load_uri(view_, "about:blank");
  }
  return view_;
}

void GtkWebBrowser::OnTitleNotify(WebKitWebView* view, void*, GtkWebBrowser* self) {
  const gchar* title = self->webkit_->webkit_web_view_get_title(view);
  const std::string text = ValidUtf8(title ? title : "");
  // WebKit empties the title when a new page commits; that is no title of the
  // new page, and the hook must wait for the page's own.
  if (text.empty()) return;
  if (self->dispatch) {
    self->dispatch([self, &text] { self->NotifyTitleChange(text); });
  } else {
    self->NotifyTitleChange(text);
  }
}

bool GtkWebBrowser::ReportLoadFailure() {
  bool taken = false;
  if (dispatch) {
    dispatch([this, &taken] { taken = NotifyLoadFailed(); });
  } else {
    taken = NotifyLoadFailed();
  }
  return taken;
}

// A load that we replaced by another (a new click, the offline page) is
// cancelled, not failed. When the hook takes a failure the offline page is on
// its way, and WebKit's own error page must not replace it.
int GtkWebBrowser::OnLoadFailed(WebKitWebView*, int, const char*, GError* error,
                                GtkWebBrowser* self) {
  if (error != nullptr && error->domain == self->webkit_->webkit_network_error_quark() &&
      error->code == WEBKIT_NETWORK_ERROR_CANCELLED) {
    return FALSE;
  }
  return self->ReportLoadFailure() ? TRUE : FALSE;
}

// WebKit shows an error status's body like any page, under the server's
// title; the page failed all the same.
void GtkWebBrowser::OnLoadChanged(WebKitWebView* view, int load_event, GtkWebBrowser* self) {
  if (load_event != WEBKIT_LOAD_COMMITTED) return;
  const WebKitLibrary& webkit = *self->webkit_;
  WebKitWebResource* resource = webkit.webkit_web_view_get_main_resource(view);
  WebKitURIResponse* response =
      resource != nullptr ? webkit.webkit_web_resource_get_response(resource) : nullptr;
  // Local files and res:// pages have no status (0).
  if (response != nullptr && webkit.webkit_uri_response_get_status_code(response) >= 400) {
    self->ReportLoadFailure();
  }
}

void GtkWebBrowser::Navigate(const std::string& address) {
  const std::string uri = NavigationUri(address);
  WebKitWebView* view = View();
  if (view == nullptr) throw std::runtime_error("The browser pane is not available: " + load_error_);
  webkit_->webkit_web_view_load_uri(view, uri.c_str());
}

// The pane and, once it exists, the web view in it carry the name.
void GtkWebBrowser::ShowAccessibleName(const std::string& name) {
  if (auto accessible = holder_.get_accessible()) accessible->set_name(ValidUtf8(name));
  if (view_ == nullptr) return;
  if (AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(view_))) {
    atk_object_set_name(accessible, ValidUtf8(name).c_str());
  }
}

void GtkWebBrowser::Update() {
  if (WebKitWebView* view = View()) gtk_widget_queue_draw(GTK_WIDGET(view));
}

std::string GtkWebBrowser::CurrentUri() const {
  if (view_ == nullptr) return "";
  const gchar* uri = webkit_->webkit_web_view_get_uri(view_);
  return uri ? uri : "";
}

}  // namespace proclens::gtk_front
