#include "platform/linux/window/command_line_answer.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace proclens::gtk_front {

std::optional<int> AnswerCommandLine(int& argc, char**& argv) {
  // Parses the toolkit's options without opening a display; it leaves --help
  // and every word it does not know in argv.
  gtk_parse_args(&argc, &argv);
  const std::vector<std::string> words(argv + 1, argv + argc);
  const WindowCommandLine read = ReadWindowCommandLine("proclens", words);
  switch (read.start) {
    case WindowStart::kShowWindow:
      return std::nullopt;
    case WindowStart::kUsageError:
      std::fprintf(stderr, "%s\n", read.text.c_str());
      return kUsageExitStatus;
    case WindowStart::kPrintHelp:
    case WindowStart::kPrintVersion:
      break;
  }
  return std::fputs(read.text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace proclens::gtk_front
