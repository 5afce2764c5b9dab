#include "catalogue/process_facts_text.h"

#include <gtest/gtest.h>

#include "platform/narrow_text.h"

namespace proclens {
namespace {

// Marks where the escape ran, so that every text from outside is seen to pass it.
std::string Marked(std::string_view text) { return "[" + std::string(text) + "]"; }

std::string Joined(const std::vector<std::string>& sentences) {
  std::string all;
  for (const std::string& sentence : sentences) all += (all.empty() ? "" : " | ") + sentence;
  return all;
}

ProcessFacts Started(std::uint32_t pid, std::string parent, std::string user) {
  ProcessFacts facts;
  facts.parent = ParentFacts{pid, std::move(parent), false};
  facts.user = std::move(user);
  return facts;
}

TEST(WhySentences, NameServicesUnitParentAndUserInBothLanguages) {
  ProcessFacts services = Started(600, "services.exe", "SYSTEM");
  services.services = {{"Eventlog", "Event Log", "Logs events"}, {"PlugPlay", "", ""}, {"a<b", "A&B", ""}};
  ProcessFacts unit;
  unit.unit = UnitFacts{"ssh.service", "OpenBSD Secure Shell server", false};
  ProcessFacts user_scope;
  user_scope.unit = UnitFacts{"app-gnome-x.scope", "", true};
  ProcessFacts ended;
  ended.parent = ParentFacts{77, "", true};
  ProcessFacts only_user;
  only_user.user = "1234";
  struct Case {
    const ProcessFacts& facts;
    bool german;
    std::string sentences;
  };
  const std::string ae = narrow::kAUmlaut, ue = narrow::kUUmlaut;
  const Case cases[] = {
      {services, false,
       "The process [p] runs the services [Event Log] ([Eventlog]), [PlugPlay] and [A&B] ([a<b]). | "
       "It was started by [services.exe] (600) for the user [SYSTEM]."},
      {services, true,
       "Der Prozess [p] f" + ue + "hrt die Dienste [Event Log] ([Eventlog]), [PlugPlay] und [A&B] ([a<b]) aus. | "
       "Er wurde von [services.exe] (600) f" + ue + "r den Benutzer [SYSTEM] gestartet."},
      {unit, false, "The process [p] runs as the service [ssh.service] ([OpenBSD Secure Shell server]) of the system."},
      {unit, true,
       "Der Prozess [p] l" + ae + "uft als Dienst [ssh.service] ([OpenBSD Secure Shell server]) des Systems."},
      {user_scope, false, "The process [p] runs as the unit [app-gnome-x.scope] of your session."},
      {ended, false, "It was started by a process that has ended since (77)."},
      {ended, true, "Er wurde von einem inzwischen beendeten Prozess (77) gestartet."},
      {only_user, false, "It runs for the user [1234]."},
      {ProcessFacts{}, false, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Joined(WhySentences("[p]", c.facts, c.german, Marked)), c.sentences);
}

TEST(ContainerSentence, NamesTheContainerItsImageAndRuntimeOrItsShortId) {
  ProcessFacts facts;
  EXPECT_EQ(ContainerSentence(facts, false, Marked), "");
  facts.container = ContainerFacts{"podman", "0123456789abcdef0123", "web", "localhost/nginx:1"};
  EXPECT_EQ(ContainerSentence(facts, false, Marked),
            "The process runs in the container [web] (image [localhost/nginx:1], [podman]).");
  EXPECT_EQ(ContainerSentence(facts, true, Marked),
            "Der Prozess l" + std::string(narrow::kAUmlaut) +
                "uft im Container [web] (Image [localhost/nginx:1], [podman]).");
  facts.container = ContainerFacts{"docker", "0123456789abcdef0123", "", ""};
  EXPECT_EQ(ContainerSentence(facts, false, Marked), "The process runs in the container [0123456789ab] ([docker]).");
}

// A runtime's or service manager's text is cut before the page or a
// terminal gets it, never inside a character.
TEST(WhySentences, LongTextsAreCutAtACharactersStart) {
  ProcessFacts facts;
  facts.user = std::string(4094, 'u') + "\xC3\xBC" + "tail";  // U+00FC straddles the cut
  const std::string sentence = WhySentences("p", facts, false, Marked).at(0);
  EXPECT_EQ(sentence, "It runs for the user [" + std::string(4094, 'u') + "].");
}

TEST(ProcessFactsLines, PutTheContainerFirstAndEscapeNothing) {
  ProcessFacts facts = Started(1, "init", "root");
  facts.container = ContainerFacts{"lxc", "", "c<1>", ""};
  EXPECT_EQ(Joined(ProcessFactsLines("sh", facts, false)),
            "The process runs in the container c<1> (lxc). | It was started by init (1) for the user root.");
}

}  // namespace
}  // namespace proclens
