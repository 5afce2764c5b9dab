#pragma once
// The browser pane is a viewer: it shows pages and saves nothing. A reply that
// asks to be saved (Content-Disposition other than inline) or that the view
// cannot show is refused, in the page and in its frames; a download that starts
// all the same (a link with a download attribute) is cancelled before it has a
// file to write.

#include <string_view>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebContext WebKitWebContext;

namespace proclens::gtk_front {
struct WebKitLibrary;
}

namespace proclens::gtk_front {

// Connects the view's reply decisions and the context's downloads; once per view.
void RefuseDownloads(const WebKitLibrary& webkit, WebKitWebView* view, WebKitWebContext* context);

// Whether a Content-Disposition value (every such header of a reply, joined
// with commas) asks for the body to be saved: any disposition type but
// "inline" does, unknown ones included, so only an absent or inline one is shown.
bool AsksToBeSaved(std::string_view content_disposition);

}  // namespace proclens::gtk_front
