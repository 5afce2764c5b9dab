#include "platform/linux/window/viewer_policy.h"

#include <glib.h>

#include "platform/linux/window/webkit_library.h"
#include "platform/linux/base/text.h"

namespace proclens::gtk_front {
namespace {

// Replies only: navigations and new windows are decided elsewhere
// (page_links.h), and a handler that declines leaves them to WebKit.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer library) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  const WebKitLibrary& webkit = *static_cast<const WebKitLibrary*>(library);
  // No type-checking cast: the library's type functions are not linked in.
  auto* reply = reinterpret_cast<WebKitResponsePolicyDecision*>(decision);
  WebKitURIResponse* response = webkit.webkit_response_policy_decision_get_response(reply);
  // Local files and res:// resources have no HTTP headers.
  SoupMessageHeaders* headers =
      response != nullptr ? webkit.webkit_uri_response_get_http_headers(response) : nullptr;
  const char* disposition =
      headers != nullptr ? webkit.soup_message_headers_get_list(headers, "Content-Disposition")
                         : nullptr;
  if (webkit.webkit_response_policy_decision_is_mime_type_supported(reply) &&
      !AsksToBeSaved(disposition != nullptr ? disposition : "")) {
    webkit.webkit_policy_decision_use(decision);
  } else {
    // A refused page fails to load, and the hook then shows the offline page.
    webkit.webkit_policy_decision_ignore(decision);
  }
  return TRUE;
}

void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer library) {
  static_cast<const WebKitLibrary*>(library)->webkit_download_cancel(download);
}

}  // namespace

bool AsksToBeSaved(std::string_view content_disposition) {
  const std::string_view type = linux_port::Trim(content_disposition.substr(0, content_disposition.find(';')));
  constexpr std::string_view kInline = "inline";
  if (type.empty()) return false;
  return type.size() != kInline.size() ||
         g_ascii_strncasecmp(type.data(), kInline.data(), kInline.size()) != 0;
}

void RefuseDownloads(const WebKitLibrary& webkit, WebKitWebView* view, WebKitWebContext* context) {
  gpointer library = const_cast<WebKitLibrary*>(&webkit);
  g_signal_connect(view, "decide-policy", G_CALLBACK(&OnDecidePolicy), library);
  g_signal_connect(context, "download-started", G_CALLBACK(&OnDownloadStarted), library);
}

}  // namespace proclens::gtk_front
