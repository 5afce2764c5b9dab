#pragma once
// "res://<program path>/TYPE/NAME": the program's own resources from its
// GResource bundle, shown in the browser pane. Pages loaded from files may
// use them (the scheme counts as local); pages from the web may not.

typedef struct _WebKitWebContext WebKitWebContext;

namespace proclens::gtk_front {
struct WebKitLibrary;
}

namespace proclens::gtk_front {

// Registers the scheme with a new context; once per context (each browser
// pane has its own, which ends with it).
void RegisterResScheme(const WebKitLibrary& webkit, WebKitWebContext* context);

}  // namespace proclens::gtk_front
