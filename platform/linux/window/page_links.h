#pragma once
// Links of the pages in the browser pane that ask for a new window (the
// offline page's base target is "_blank") open in the user's default browser,
// never in the pane. Pages from files carry the build's narrow text, UTF-8,
// without saying so, so the pane reads undeclared pages as UTF-8.

#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace proclens::gtk_front {
struct WebKitLibrary;
}

namespace proclens::gtk_front {

// Connects the view's policy decisions; call once per view.
void SendNewWindowLinksToDefaultBrowser(const WebKitLibrary& webkit, WebKitWebView* view);

// Whether an address asked for in a new window goes to the default browser:
// web and mail addresses only, so a page cannot start local files or programs.
bool OpensInDefaultBrowser(const std::string& uri);

}  // namespace proclens::gtk_front
