#include "cli/output.h"

#include <cstdio>

namespace proclens::cli {
namespace {

// Windows writes the ANSI code page, where the bytes 0x80 to 0x9F are letters
// and signs, not controls.
#ifdef _WIN32
constexpr bool kNarrowTextIsUtf8 = false;
#else
constexpr bool kNarrowTextIsUtf8 = true;
#endif

constexpr char kHex[] = "0123456789abcdef";

void AppendEscaped(std::string& out, const char* prefix, unsigned char code) {
  out += prefix;
  out += kHex[code >> 4];
  out += kHex[code & 0xF];
}

bool NeedsCare(unsigned char byte) { return byte < 0x20 || byte == 0x7F || (kNarrowTextIsUtf8 && byte == 0xC2); }

}  // namespace

void AppendVisible(std::string& out, std::string_view text, std::string_view kept) {
  std::size_t i = 0;
  while (i < text.size()) {
    // Most text needs nothing: copy it in runs.
    std::size_t plain = i;
    while (plain < text.size() && !NeedsCare(static_cast<unsigned char>(text[plain]))) ++plain;
    out.append(text, i, plain - i);
    if (plain == text.size()) break;
    i = plain;
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // U+0080 to U+009F, the C1 controls (CSI among them), are 0xC2 0x80 to 0xC2 0x9F in UTF-8.
      AppendEscaped(out, "\\u00", next);
      i += 2;
      continue;
    }
    if (byte == 0xC2 || kept.find(text[i]) != std::string_view::npos) {
      out += text[i];
    } else {
      AppendEscaped(out, "\\x", byte);
    }
    ++i;
  }
}

std::string Visible(std::string_view text) {
  std::string visible;
  AppendVisible(visible, text);
  return visible;
}

void AppendField(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  AppendVisible(out, text, "\t\n\r");
  for (auto c = out.begin() + static_cast<std::ptrdiff_t>(start); c != out.end(); ++c) {
    if (*c == '\t' || *c == '\n' || *c == '\r') *c = ' ';
  }
}

std::string OneField(std::string_view text) {
  std::string field;
  AppendField(field, text);
  return field;
}

void PrintJson(const nlohmann::ordered_json& value) {
  const std::string text = value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::printf("%s\n", text.c_str());
}

bool FlushOutput(const char* command) {
  if (std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "proclens-cli %s: cannot write to standard output\n", command);
  return false;
}

}  // namespace proclens::cli
