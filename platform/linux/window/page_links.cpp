#include "platform/linux/window/page_links.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include <cstdio>

namespace proclens::gtk_front {
namespace {

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const gchar* uri = webkit_uri_request_get_uri(request);
  // Only what the user clicked: a script opening windows on its own gets nothing.
  if (uri != nullptr && webkit_navigation_action_is_user_gesture(action) &&
      OpensInDefaultBrowser(uri)) {
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
      std::fprintf(stderr, "proclens: cannot open %s: %s\n", uri, error ? error->message : "");
      g_clear_error(&error);
    }
  }
  webkit_policy_decision_ignore(decision);
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

void SendNewWindowLinksToDefaultBrowser(WebKitWebView* view) {
  g_signal_connect(view, "decide-policy", G_CALLBACK(&OnDecidePolicy), nullptr);
  webkit_settings_set_default_charset(webkit_web_view_get_settings(view), "UTF-8");
}

}  // namespace proclens::gtk_front
