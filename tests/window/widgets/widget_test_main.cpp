// The widget tests need GTK, and GTK needs a display: without one they fail
// at once with a clear message rather than crashing inside GTK.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("proclens_widget_tests: cannot open a display (run under xvfb-run)\n", stderr);
    return 1;
  }
  Gtk::Main::init_gtkmm_internals();
  return RUN_ALL_TESTS();
}
