#include "catalogue/process_facts_text.h"

#include "platform/narrow_text.h"

namespace proclens {
namespace {

// Texts from processes, runtimes and service managers are shown cut to this
// many bytes, at a character's start.
constexpr std::size_t kLongestFact = 4095;

using Escape = TextEscape;

std::string Plain(std::string_view text) { return std::string(text); }

std::string Shortened(const std::string& text) {
  if (text.size() <= kLongestFact) return text;
  std::size_t end = kLongestFact;
  // UTF-8 continuation bytes (the Linux build); the ANSI build's bytes are
  // each a character of their own and never match this.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// "NAME (DETAIL)", or NAME alone without a detail.
std::string WithDetail(const std::string& name, const std::string& detail) {
  return detail.empty() ? name : name + " (" + detail + ")";
}

std::string ContainerText(const ContainerFacts& container, bool german, Escape escape) {
  const std::string name = escape(Shortened(container.name.empty() ? container.id.substr(0, 12) : container.name));
  std::string detail;
  if (!container.image.empty()) detail = std::string(german ? "Image " : "image ") + escape(Shortened(container.image)) + ", ";
  detail += escape(container.runtime);
  return german ? "Der Prozess l" + std::string(narrow::kAUmlaut) + "uft im Container " + name + " (" + detail + ")."
                : "The process runs in the container " + name + " (" + detail + ").";
}

std::string UnitSentence(const std::string& process, const UnitFacts& unit, bool german, Escape escape) {
  const bool service = unit.name.ends_with(".service");
  const std::string named = WithDetail(escape(Shortened(unit.name)),
                                       unit.description.empty() ? "" : escape(Shortened(unit.description)));
  if (german) {
    return "Der Prozess " + process + " l" + narrow::kAUmlaut + "uft als " + (service ? "Dienst " : "Unit ") + named +
           (unit.user_manager ? " deiner Sitzung." : " des Systems.");
  }
  return "The process " + process + " runs as the " + (service ? "service " : "unit ") + named +
         (unit.user_manager ? " of your session." : " of the system.");
}

std::string ServicesSentence(const std::string& process, const std::vector<ServiceFacts>& services, bool german,
                             Escape escape) {
  std::string list;
  for (std::size_t i = 0; i < services.size(); ++i) {
    if (i > 0) list += i + 1 == services.size() ? (german ? " und " : " and ") : ", ";
    const ServiceFacts& service = services[i];
    const std::string& shown = service.display_name.empty() ? service.name : service.display_name;
    list += escape(Shortened(shown));
    if (!service.display_name.empty()) list += " (" + escape(Shortened(service.name)) + ")";
  }
  const bool one = services.size() == 1;
  if (german) {
    return "Der Prozess " + process + " f" + narrow::kUUmlaut + "hrt " + (one ? "den Dienst " : "die Dienste ") +
           list + " aus.";
  }
  return "The process " + process + " runs " + (one ? "the service " : "the services ") + list + ".";
}

std::string StartedSentence(const ProcessFacts& facts, bool german, Escape escape) {
  std::string by;
  if (facts.parent) {
    const ParentFacts& parent = *facts.parent;
    const std::string pid = std::to_string(parent.pid);
    if (parent.ended) {
      by = german ? "von einem inzwischen beendeten Prozess (" + pid + ")"
                  : "by a process that has ended since (" + pid + ")";
    } else {
      by = (german ? "von " : "by ") + escape(Shortened(parent.name)) + " (" + pid + ")";
    }
  }
  const std::string user = facts.user ? escape(Shortened(*facts.user)) : std::string();
  if (german) {
    if (by.empty()) return "Er l" + std::string(narrow::kAUmlaut) + "uft f" + narrow::kUUmlaut + "r den Benutzer " + user + ".";
    return "Er wurde " + by + (user.empty() ? "" : std::string(" f") + narrow::kUUmlaut + "r den Benutzer " + user) +
           " gestartet.";
  }
  if (by.empty()) return "It runs for the user " + user + ".";
  return "It was started " + by + (user.empty() ? "" : " for the user " + user) + ".";
}

}  // namespace

std::vector<std::string> WhySentences(const std::string& process, const ProcessFacts& facts, bool german,
                                      TextEscape escape) {
  std::vector<std::string> sentences;
  if (!facts.services.empty()) sentences.push_back(ServicesSentence(process, facts.services, german, escape));
  if (facts.unit) sentences.push_back(UnitSentence(process, *facts.unit, german, escape));
  if (facts.parent || facts.user) sentences.push_back(StartedSentence(facts, german, escape));
  return sentences;
}

std::string ContainerSentence(const ProcessFacts& facts, bool german, TextEscape escape) {
  return facts.container ? ContainerText(*facts.container, german, escape) : std::string();
}

std::vector<std::string> ProcessFactsLines(const std::string& process, const ProcessFacts& facts, bool german) {
  std::vector<std::string> lines;
  if (facts.container) lines.push_back(ContainerText(*facts.container, german, Plain));
  for (std::string& sentence : WhySentences(process, facts, german, Plain)) lines.push_back(std::move(sentence));
  return lines;
}

}  // namespace proclens
