#pragma once
// librpm, opened when the RPM database is first asked rather than linked:
// most Debian systems have no RPM database at all, and a system without
// librpm must run as it does without one.

#include <rpm/header.h>
#include <rpm/rpmdb.h>
#include <rpm/rpmfiles.h>
#include <rpm/rpmlib.h>
#include <rpm/rpmlog.h>
#include <rpm/rpmmacro.h>
#include <rpm/rpmtd.h>
#include <rpm/rpmts.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {

// Each member has the name and type of the librpm (or librpmio) function it
// points at.
#define PROCLENS_RPM_FUNCTIONS(X) \
  X(rpmReadConfigFiles)           \
  X(rpmConfigDir)                 \
  X(rpmExpand)                    \
  X(rpmMacroIsDefined)            \
  X(rpmPushMacro)                 \
  X(rpmPopMacro)                  \
  X(rpmlogSetMask)                \
  X(rpmlogSetCallback)            \
  X(rpmtsCreate)                  \
  X(rpmtsFree)                    \
  X(rpmtsSetRootDir)              \
  X(rpmtsOpenDB)                  \
  X(rpmtsSetVSFlags)              \
  X(rpmtsInitIterator)            \
  X(rpmdbNextIterator)            \
  X(rpmdbFreeIterator)            \
  X(rpmdbGetIteratorOffset)       \
  X(rpmdbGetIteratorFileNum)      \
  X(headerLink)                   \
  X(headerFree)                   \
  X(headerGet)                    \
  X(headerGetString)              \
  X(rpmtdFreeData)                \
  X(rpmfilesNew)                  \
  X(rpmfilesFree)                 \
  X(rpmfilesFC)                   \
  X(rpmfilesFN)                   \
  X(rpmfilesBN)                   \
  X(rpmfilesDN)                   \
  X(rpmfilesDI)                   \
  X(rpmfilesFFlags)               \
  X(rpmfilesVFlags)               \
  X(rpmfilesFState)               \
  X(rpmfilesFSize)                \
  X(rpmfilesFDigest)                \
  X(macrofiles) /* librpm's list of macro files: a variable, not a function */

PROCLENS_LIBRARY_TABLE(RpmFunctions, PROCLENS_RPM_FUNCTIONS);

struct RpmLibrary : RpmFunctions {
  // Where the database lies below any root (%_dbpath), always absolute.
  std::string dbpath;
};

// The library, loaded with the system's configuration (the macros that place
// the database) at the first call and kept for the rest of the run; nullptr
// when it is not installed or its configuration cannot be read. No file of
// any home folder is read, and no macro that runs a command is expanded to
// find the database. Its messages are kept from the terminal, and none of
// them can end the program.
const RpmLibrary* LoadRpm();

// The database path that a _dbpath definition gives, as written (the body of
// %{macrobody:_dbpath}): the plain text and the plain macros it names, each
// looked up with lookup (their bodies, nullopt for one not defined). A body
// that would run anything (a shell command, Lua, a macro with arguments)
// gives nullopt, and so does a chain of more than a few macros.
std::optional<std::string> ExpandPlainMacros(std::string_view body,
                                             const std::function<std::optional<std::string>(std::string_view)>& lookup);

}  // namespace proclens::linux_port
