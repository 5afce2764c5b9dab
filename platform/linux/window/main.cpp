// The program entry: answer --help and --version, open the display, build
// the window's program, start it and run until the window is closed.

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>
#include <optional>

#include "platform/linux/window/command_line_answer.h"
#include "platform/linux/window/window_app.h"

namespace {

// The program stores nothing between runs, and the browser pane's graphics
// library would start a shader cache under the home folder: it stays off
// unless the user chose otherwise. Set before any thread could read the
// environment; the pane's helper processes inherit it.
void KeepNoShaderCache() { g_setenv("MESA_SHADER_CACHE_DISABLE", "true", FALSE); }

// gtk_init would abort without a display; say why instead.
bool OpenDisplay(int& argc, char**& argv) {
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("proclens: cannot open a display (is DISPLAY set?)\n", stderr);
    return false;
  }
  Gtk::Main::init_gtkmm_internals();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  KeepNoShaderCache();
  if (const std::optional<int> status = proclens::gtk_front::AnswerCommandLine(argc, argv)) return *status;
  if (!OpenDisplay(argc, argv)) return 1;
  // Ended before main returns: the package databases' reading ahead is
  // waited for before any exit handler runs.
  proclens::gtk_front::WindowApp app;
  app.Start();
  app.Run();
  return 0;
}
