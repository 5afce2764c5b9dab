#include "infopage/page_addresses.h"

#include <optional>
#include <string_view>
#include <vector>

#include "infopage/html_escape.h"
#include "infopage/text_replace.h"

namespace proclens {
namespace {

// The page while it is rewritten: template text, and the addresses put in so
// far, kept apart so that later steps see only the template's own text.
struct Piece {
  std::string text;                         // template text, or the address after the path
  std::optional<std::string> program_path;  // set for an address: "res://" + path + text
};

using Pieces = std::vector<Piece>;

void Rewrite(Pieces& pieces, const std::string& old_text, const std::string& program_path,
             const std::string& address_tail,
             const std::function<std::string(std::string)>& upper_case) {
  Pieces rewritten;
  for (Piece& piece : pieces) {
    if (piece.program_path) {
      rewritten.push_back(std::move(piece));
      continue;
    }
    std::size_t copied = 0;
    for (const std::size_t at : FindAllIgnoringCase(piece.text, old_text, upper_case)) {
      rewritten.push_back({piece.text.substr(copied, at - copied), std::nullopt});
      rewritten.push_back({address_tail, program_path});
      copied = at + old_text.size();
    }
    rewritten.push_back({piece.text.substr(copied), std::nullopt});
  }
  pieces = std::move(rewritten);
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Resource names have no extension: the rest of the name that follows an
// address keeps its letters and loses any ".jpg" or ".gif" right after them.
void TakeOffExtensions(Pieces& pieces) {
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    Piece& piece = pieces[i];
    if (piece.program_path || !pieces[i - 1].program_path) continue;
    std::size_t name_end = 0;
    while (name_end < piece.text.size() && IsNameCharacter(piece.text[name_end])) ++name_end;
    for (;;) {
      const std::string_view rest = std::string_view(piece.text).substr(name_end);
      if (!StartsWithIgnoringAsciiCase(rest, ".jpg") && !StartsWithIgnoringAsciiCase(rest, ".gif")) break;
      piece.text.erase(name_end, 4);
    }
  }
}

// Where a template text leaves the page: inside the style element or not.
// "<style" and "</style" count only as whole tag names.
bool EndsInsideStyle(std::string_view text, bool inside) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    const std::string_view tag = text.substr(at + 1);
    const bool closing = !tag.empty() && tag[0] == '/';
    const std::string_view name = tag.substr(closing ? 1 : 0);
    if (!StartsWithIgnoringAsciiCase(name, "style")) continue;
    if (name.size() > 5 && IsNameCharacter(name[5])) continue;
    inside = !closing;
  }
  return inside;
}

std::string Assemble(const Pieces& pieces) {
  std::string page;
  bool in_style = false;
  for (const Piece& piece : pieces) {
    if (piece.program_path) {
      const std::string& path = *piece.program_path;
      page += "res://" + (in_style ? EscapeCss(path) : EscapeHtml(path)) + piece.text;
      continue;
    }
    // A tag name may be split by an address only in a broken template; the
    // state is decided on the template's text alone.
    in_style = EndsInsideStyle(piece.text, in_style);
    page += piece.text;
  }
  return page;
}

}  // namespace

std::string RewriteAddresses(const std::string& page, const std::function<std::string()>& program_path,
                             const std::string& site_base,
                             const std::function<std::string(std::string)>& upper_case) {
  Pieces pieces{{page, std::nullopt}};
  Rewrite(pieces, "/GIF/DOWNLOAD", program_path(), "/GIF/DOWNLOAD", upper_case);
  Rewrite(pieces, "/GIF/AWARDS", program_path(), "/GIF/AWARDS", upper_case);
  // "img/bg" and "img/space.jpg" before "img/", which begins both.
  Rewrite(pieces, site_base + "img/bg", program_path(), "/JPG/BG", upper_case);
  Rewrite(pieces, site_base + "img/space.jpg", program_path(), "/JPG/SPACE", upper_case);
  Rewrite(pieces, site_base + "img/", program_path(), "/GIF/", upper_case);
  TakeOffExtensions(pieces);
  return Assemble(pieces);
}

}  // namespace proclens
