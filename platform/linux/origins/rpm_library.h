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

#include <string>

namespace proclens::linux_port {

// Each member has the name and type of the librpm (or librpmio) function it
// points at.
#define PROCLENS_RPM_FUNCTIONS(X) \
  X(rpmReadConfigFiles)           \
  X(rpmExpand)                    \
  X(rpmPushMacro)                 \
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
  X(rpmfilesFDigest)

struct RpmLibrary {
#define PROCLENS_RPM_MEMBER(name) decltype(&::name) name = nullptr;
  PROCLENS_RPM_FUNCTIONS(PROCLENS_RPM_MEMBER)
#undef PROCLENS_RPM_MEMBER
  // Where the database lies below any root (%_dbpath); empty when the
  // configuration does not say.
  std::string dbpath;
};

// The library, loaded with its configuration (the macros that place the
// database) at the first call and kept for the rest of the run; nullptr when
// it is not installed or its configuration cannot be read. Its messages are
// kept from the terminal, and none of them can end the program.
const RpmLibrary* LoadRpm();

}  // namespace proclens::linux_port
