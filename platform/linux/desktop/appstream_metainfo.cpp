#include "platform/linux/desktop/appstream_metainfo.h"

#include <glib.h>

#include <cstring>
#include <memory>

#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {

// Real metainfo nests a few levels (<components><component><releases><release>
// <description><ul><li>); a file nested thousands deep costs the parser memory
// for every level, so it is dropped at the first element below this depth.
constexpr std::size_t kDeepestElement = 16;

// One text field with its untranslated and its German form.
struct Translated {
  std::string plain;
  std::string german;
  bool has_plain = false;
  bool has_german = false;

  std::string Pick(bool want_german) const {
    return std::string(Trim(want_german && has_german ? german : plain));
  }
};

struct ParseState {
  std::vector<std::string> path;  // open elements below the document root
  bool in_component = false;      // inside the first <component>
  bool component_done = false;
  Translated name;
  Translated summary;
  Translated developer;
  std::vector<std::string> binaries;
  std::string* text = nullptr;    // where character data goes, if anywhere
};

bool PathIs(const std::vector<std::string>& path, std::initializer_list<const char*> names) {
  if (path.size() < names.size()) return false;
  // The component may be the root or a child of <components>.
  auto it = path.end() - static_cast<std::ptrdiff_t>(names.size());
  for (const char* name : names) {
    if (*it++ != name) return false;
  }
  return true;
}

// Where the element's text goes: nowhere unless it is untranslated or German.
std::string* Slot(Translated& field, const char* lang) {
  if (lang == nullptr) {
    if (field.has_plain) return nullptr;  // the first untranslated element counts
    field.has_plain = true;
    return &field.plain;
  }
  if (std::strcmp(lang, "de") != 0 || field.has_german) return nullptr;
  field.has_german = true;
  return &field.german;
}

void OnStart(GMarkupParseContext*, const gchar* element, const gchar** names, const gchar** values,
             gpointer data, GError** error) {
  auto& state = *static_cast<ParseState*>(data);
  if (state.path.size() >= kDeepestElement) {
    g_set_error_literal(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "elements nested too deep");
    return;
  }
  state.path.emplace_back(element);
  state.text = nullptr;
  if (std::strcmp(element, "component") == 0 && !state.component_done) {
    state.in_component = true;
    return;
  }
  if (!state.in_component) return;
  const char* lang = nullptr;
  for (std::size_t i = 0; names[i] != nullptr; ++i) {
    if (std::strcmp(names[i], "xml:lang") == 0) lang = values[i];
  }
  const auto& path = state.path;
  if (PathIs(path, {"component", "name"})) {
    state.text = Slot(state.name, lang);
  } else if (PathIs(path, {"component", "summary"})) {
    state.text = Slot(state.summary, lang);
  } else if (PathIs(path, {"component", "developer_name"}) ||
             PathIs(path, {"component", "developer", "name"})) {
    state.text = Slot(state.developer, lang);
  } else if (PathIs(path, {"component", "provides", "binary"})) {
    state.binaries.emplace_back();
    state.text = &state.binaries.back();
  }
}

void OnEnd(GMarkupParseContext*, const gchar* element, gpointer data, GError**) {
  auto& state = *static_cast<ParseState*>(data);
  if (!state.path.empty()) state.path.pop_back();
  state.text = nullptr;
  if (std::strcmp(element, "component") == 0 && state.in_component) {
    state.in_component = false;
    state.component_done = true;
  }
}

void OnText(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
  auto& state = *static_cast<ParseState*>(data);
  if (state.text != nullptr) state.text->append(text, length);
}

struct ContextFree {
  void operator()(GMarkupParseContext* context) const { g_markup_parse_context_free(context); }
};

}  // namespace

std::optional<MetainfoTexts> ParseMetainfo(std::string_view xml, bool german) {
  static const GMarkupParser parser = {OnStart, OnEnd, OnText, nullptr, nullptr};
  ParseState state;
  std::unique_ptr<GMarkupParseContext, ContextFree> context(
      g_markup_parse_context_new(&parser, G_MARKUP_PREFIX_ERROR_POSITION, &state, nullptr));
  GError* error = nullptr;
  const bool parsed =
      g_markup_parse_context_parse(context.get(), xml.data(), static_cast<gssize>(xml.size()), &error) &&
      g_markup_parse_context_end_parse(context.get(), &error);
  if (error != nullptr) g_error_free(error);
  if (!parsed || !state.component_done) return std::nullopt;

  MetainfoTexts texts;
  texts.name = state.name.Pick(german);
  texts.summary = state.summary.Pick(german);
  texts.developer = state.developer.Pick(german);
  for (const std::string& binary : state.binaries) {
    const std::string_view trimmed = Trim(binary);
    if (!trimmed.empty()) texts.binaries.emplace_back(trimmed);
  }
  return texts;
}

}  // namespace proclens::linux_port
