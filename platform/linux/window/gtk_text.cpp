#include "platform/linux/window/gtk_text.h"

#include <glib.h>

#include <memory>

namespace proclens::gtk_front {

std::string ValidUtf8(const std::string& text) {
  std::unique_ptr<gchar, decltype(&g_free)> valid(
      g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())), &g_free);
  return valid ? std::string(valid.get()) : std::string();
}

std::string WithLineFeeds(const std::string& text) {
  std::string lines = text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != '\r') continue;
    // A "\r\n" pair is one break already.
    if (i + 1 < lines.size() && lines[i + 1] == '\n') {
      lines.erase(i, 1);
    } else {
      lines[i] = '\n';
    }
  }
  return lines;
}

std::string MnemonicLabel(const std::string& caption) {
  std::string label;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        label += '&';
        ++i;
      } else {
        label += '_';
      }
    } else if (c == '_') {
      label += "__";
    } else {
      label += c;
    }
  }
  return label;
}

}  // namespace proclens::gtk_front
