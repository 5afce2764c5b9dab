#include "platform/linux/window/page_links.h"

#include <gio/gio.h>
#include "platform/linux/window/webkit_library.h"

#include <cstdio>

namespace proclens::gtk_front {
namespace {

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer library) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;
  const WebKitLibrary& webkit = *static_cast<const WebKitLibrary*>(library);
  // New-window decisions are navigation decisions (no type-checking cast: the
  // library's type functions are not linked in).
  WebKitNavigationAction* action = webkit.webkit_navigation_policy_decision_get_navigation_action(
      reinterpret_cast<WebKitNavigationPolicyDecision*>(decision));
  WebKitURIRequest* request = webkit.webkit_navigation_action_get_request(action);
  const gchar* uri = webkit.webkit_uri_request_get_uri(request);
  // Only what the user clicked: a script opening windows on its own gets nothing.
  if (uri != nullptr && webkit.webkit_navigation_action_is_user_gesture(action) &&
      OpensInDefaultBrowser(uri)) {
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
      std::fprintf(stderr, "proclens: cannot open %s: %s\n", uri, error ? error->message : "");
      g_clear_error(&error);
    }
  }
  webkit.webkit_policy_decision_ignore(decision);
  return TRUE;
}

}  // namespace

bool OpensInDefaultBrowser(const std::string& uri) {
  for (const char* scheme : {"http:", "https:", "mailto:"}) {
    const std::string prefix = scheme;
    if (uri.size() > prefix.size() &&
        g_ascii_strncasecmp(uri.c_str(), prefix.c_str(), prefix.size()) == 0) {
      return true;
    }
  }
  return false;
}

void SendNewWindowLinksToDefaultBrowser(const WebKitLibrary& webkit, WebKitWebView* view) {
  g_signal_connect(view, "decide-policy", G_CALLBACK(&OnDecidePolicy),
                   const_cast<WebKitLibrary*>(&webkit));
  webkit.webkit_settings_set_default_charset(webkit.webkit_web_view_get_settings(view), "UTF-8");
}

}  // namespace proclens::gtk_front
