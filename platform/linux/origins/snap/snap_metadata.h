#pragma once
// What a snap says about itself (meta/snap.yaml) and what snapd says about
// it: the texts, the publisher, and the store's record of the .snap file.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

struct SnapYaml {
  std::string name;
  std::string title;
  std::string summary;
};

// The top-level texts of a snap.yaml; nullopt when it is no YAML mapping (or
// libyaml cannot be loaded).
std::optional<SnapYaml> ParseSnapYaml(std::string_view yaml);

// A store account as snapd describes a snap's publisher.
struct SnapPublisher {
  std::string display_name;  // chosen by the account's owner: any account may call itself "Mozilla"
  std::string username;      // the account's own, unique name
  std::string validation;    // "verified" or "starred" where the store vouches for the account
};

// The publisher in snapd's reply to GET /v2/snaps/NAME; nullopt when the
// reply names none.
std::optional<SnapPublisher> PublisherInSnapdReply(std::string_view json);

// How the page names the publisher: the display name where the store
// verified the account, else with the account and the note that the store
// did not verify it.
std::string PublisherText(const SnapPublisher& publisher, bool german);

// The top-level headers of an assertion (the text up to its first empty
// line); multi-line and list values are left out.
std::map<std::string, std::string, std::less<>> AssertionHeaders(std::string_view assertion);

// Whether name is a snap's (instance) name: lower-case letters, digits and
// dashes, optionally "_" and an instance key.
bool IsSnapName(std::string_view name);

}  // namespace proclens::linux_port
