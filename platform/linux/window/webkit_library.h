#pragma once
// WebKitGTK, loaded when the browser pane is first made rather than with the
// program: its hundred-odd libraries would take most of the time to the first
// frame of the process list.

#include <webkit2/webkit2.h>

#include <string>

#include "platform/linux/base/library_loader.h"

namespace proclens::gtk_front {

// Each member has the name and type of the WebKitGTK function it points at
// (libsoup's too: WebKitGTK links it, so it is found through the same handle).
#define PROCLENS_WEBKIT_FUNCTIONS(X)                     \
  X(webkit_web_context_new_ephemeral)                    \
  X(webkit_download_cancel)                              \
  X(webkit_response_policy_decision_get_response)        \
  X(webkit_response_policy_decision_is_mime_type_supported) \
  X(webkit_uri_response_get_http_headers)                \
  X(webkit_policy_decision_use)                          \
  X(soup_message_headers_get_list)                       \
  X(webkit_web_context_register_uri_scheme)              \
  X(webkit_web_context_get_security_manager)             \
  X(webkit_security_manager_register_uri_scheme_as_local) \
  X(webkit_web_view_new_with_context)                    \
  X(webkit_web_view_load_uri)                            \
  X(webkit_web_view_get_uri)                             \
  X(webkit_web_view_get_title)                           \
  X(webkit_web_view_get_settings)                        \
  X(webkit_settings_set_default_charset)                 \
  X(webkit_uri_scheme_request_get_uri)                   \
  X(webkit_uri_scheme_request_finish)                    \
  X(webkit_uri_scheme_request_finish_error)              \
  X(webkit_navigation_policy_decision_get_navigation_action) \
  X(webkit_navigation_action_get_request)                \
  X(webkit_navigation_action_is_user_gesture)            \
  X(webkit_uri_request_get_uri)                          \
  X(webkit_policy_decision_ignore)                       \
  X(webkit_web_view_get_main_resource)                   \
  X(webkit_web_resource_get_response)                    \
  X(webkit_uri_response_get_status_code)                 \
  X(webkit_network_error_quark)                          \
  X(webkit_settings_set_hardware_acceleration_policy)    \
  X(webkit_web_context_set_cache_model)

PROCLENS_LIBRARY_TABLE(WebKitLibrary, PROCLENS_WEBKIT_FUNCTIONS);

// The library, loaded at the first call and kept for the rest of the run;
// nullptr when it cannot be loaded, with the reason in *error.
const WebKitLibrary* LoadWebKit(std::string* error);

}  // namespace proclens::gtk_front
