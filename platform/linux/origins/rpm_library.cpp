#include "platform/linux/origins/rpm_library.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/linux/library_loader.h"

namespace proclens::linux_port {
namespace {

// rpm 4.20 raised the library's version; the calls used here are the same in
// both.
constexpr const char* kRpmSonames[] = {"librpm.so.10", "librpm.so.9"};

using MallocText = std::unique_ptr<char, decltype(&std::free)>;

// Debian's configuration finds the database with a shell command, which
// librpm would start at every expansion: a child process of the window at a
// click, and some 15 ms. Its answer, .rpmdb in the home folder, is taken from
// HOME as the shell takes it.
constexpr std::string_view kDebianDbpath = "%(bash -c 'echo ~/.rpmdb')";

// Where the database lies below any root.
std::string DatabasePath(const RpmLibrary& rpm) {
  // The definition as written (librpm 4.16 and later know %{macrobody:}).
  const MallocText body(rpm.rpmExpand("%{macrobody:_dbpath}", nullptr), &std::free);
  const char* home = std::getenv("HOME");
  if (body && body.get() == kDebianDbpath && home != nullptr && home[0] == '/') return std::string(home) + "/.rpmdb";
  const MallocText dbpath(rpm.rpmExpand("%{?_dbpath}", nullptr), &std::free);
  return dbpath && dbpath.get()[0] == '/' ? dbpath.get() : "";
}

// librpm writes its errors to the terminal, and after a critical one ends the
// program; a missing or damaged database is an ordinary answer here.
int DropMessage(rpmlogRec, rpmlogCallbackData) { return 0; }

struct Loaded {
  RpmLibrary library;
  bool complete = false;
};

Loaded Load() {
  Loaded loaded;
  for (const char* soname : kRpmSonames) {
    LibraryLoader loader(soname);
#define PROCLENS_RPM_RESOLVE(name) loader.Resolve(loaded.library.name, #name);
    PROCLENS_RPM_FUNCTIONS(PROCLENS_RPM_RESOLVE)
#undef PROCLENS_RPM_RESOLVE
    loaded.complete = loader.error().empty();
    if (loaded.complete) break;
  }
  if (!loaded.complete) return loaded;
  const RpmLibrary& rpm = loaded.library;
  // Only emergencies are kept at all: librpm stores every warning it logs
  // for the whole run otherwise.
  rpm.rpmlogSetMask(RPMLOG_MASK(RPMLOG_EMERG));
  rpm.rpmlogSetCallback(DropMessage, nullptr);
  // The system's rpmrc and macros, read once for the process: they say where
  // the database lies (%_dbpath) and how it is stored.
  loaded.complete = rpm.rpmReadConfigFiles(nullptr, nullptr) == 0;
  if (!loaded.complete) return loaded;
  // The answer takes the definition's place, so that opening the database
  // does not work it out again (the other macros stay as the system has them).
  loaded.library.dbpath = DatabasePath(rpm);
  if (!loaded.library.dbpath.empty())
    rpm.rpmPushMacro(nullptr, "_dbpath", nullptr, loaded.library.dbpath.c_str(), RMIL_CMDLINE);
  return loaded;
}

}  // namespace

const RpmLibrary* LoadRpm() {
  static const Loaded loaded = Load();
  return loaded.complete ? &loaded.library : nullptr;
}

}  // namespace proclens::linux_port
