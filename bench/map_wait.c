/* Waits until the X server maps a top-level window whose name holds TEXT and
 * prints that moment (CLOCK_REALTIME, seconds with nine decimals). It watches
 * the root window's children as a window manager does, so it reads the map
 * as the server reports it, whichever program made the window; a window is
 * mapped once its program has built it and asked for it to be shown.
 *
 *   map_wait TEXT TIMEOUT-SECONDS
 *
 * "ready" is printed on its own line once the watch is set, before any
 * program to be timed should start. Exits 1 when no such window is mapped in
 * time. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static int NameHolds(Display* display, Window window, const char* text) {
  XTextProperty name;
  int holds = 0;
  if (XGetWMName(display, window, &name) && name.value != NULL) {
    holds = strstr((const char*)name.value, text) != NULL;
    XFree(name.value);
  }
  return holds;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s TEXT TIMEOUT-SECONDS\n", argv[0]);
    return 2;
  }
  const char* text = argv[1];
  const double limit = atof(argv[2]);
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  printf("ready\n");
  fflush(stdout);

  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != MapNotify || event.xmap.override_redirect) continue;
      struct timespec now;
      clock_gettime(CLOCK_REALTIME, &now);
      if (!NameHolds(display, event.xmap.window, text)) continue;
      printf("%lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
      XCloseDisplay(display);
      return 0;
    }
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double waited = (double)(now.tv_sec - start.tv_sec) + (double)(now.tv_nsec - start.tv_nsec) / 1e9;
    if (waited >= limit) break;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(ConnectionNumber(display), &readable);
    struct timeval wait = {0, 100000};
    select(ConnectionNumber(display) + 1, &readable, NULL, NULL, &wait);
  }
  XCloseDisplay(display);
  return 1;
}
