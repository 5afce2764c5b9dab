#pragma once
// Why a Windows process runs: the account it runs as, in the form that
// `whoami` and `tasklist /v` show, "DOMAIN\name" ("NT AUTHORITY\SYSTEM",
// "MYPC\anna"), which tells a local account from a domain account of the
// same name.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

// The account of the process's token user, in the ANSI code page; nullopt
// when the process or its token cannot be opened (the user is then not known).
std::optional<std::string> ProcessUserName(std::uint32_t pid);

// "DOMAIN\name", the name alone for an account without a domain ("Everyone"),
// else the SID's text ("S-1-5-21-...") for a SID that no account name maps to;
// nullopt only when not even that text can be had.
std::optional<std::string> AccountText(PSID sid);

}  // namespace proclens::win32
