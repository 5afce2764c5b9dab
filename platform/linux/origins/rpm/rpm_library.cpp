#include "platform/linux/origins/rpm/rpm_library.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/linux/origins/rpm/rpm_sqlite_reads.h"

namespace proclens::linux_port {
namespace {

using MallocText = std::unique_ptr<char, decltype(&std::free)>;

// Debian's configuration puts the database in the home folder of whoever runs
// rpm, with a shell command; the system's database is then root's.
constexpr std::string_view kDebianDbpath = "%(bash -c 'echo ~/.rpmdb')";
// Where rpm keeps it when the configuration says nothing usable.
constexpr const char* kDefaultDbpath = "/var/lib/rpm";
// A database path names a few macros at most (%{_var}/lib/rpm).
constexpr int kDeepestMacro = 8;

bool IsMacroNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool ExpandInto(std::string_view body, const std::function<std::optional<std::string>(std::string_view)>& lookup,
                int depth, std::string& out) {
  if (depth > kDeepestMacro) return false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '%') {
      out += body[i];
      continue;
    }
    if (i + 1 < body.size() && body[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // %name or %{name} or %{?name}; anything else (%(...), %{lua:...},
    // %{expand:...}, %[...]) would run or compute something.
    std::string_view name;
    bool optional = false;
    if (i + 1 < body.size() && body[i + 1] == '{') {
      const std::size_t close = body.find('}', i + 2);
      if (close == std::string_view::npos) return false;
      name = body.substr(i + 2, close - i - 2);
      if (name.starts_with('?')) {
        optional = true;
        name.remove_prefix(1);
      }
      i = close;
    } else {
      std::size_t end = i + 1;
      while (end < body.size() && IsMacroNameChar(body[end])) ++end;
      name = body.substr(i + 1, end - i - 1);
      i = end - 1;
    }
    if (name.empty()) return false;
    for (const char c : name) {
      if (!IsMacroNameChar(c)) return false;
    }
    const std::optional<std::string> inner = lookup(name);
    if (!inner) {
      if (!optional) return false;
      continue;
    }
    if (!ExpandInto(*inner, lookup, depth + 1, out)) return false;
  }
  return true;
}

std::string RootHomeFolder() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(0, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    return found->pw_dir;
  return "/root";
}

// Where the database lies below any root, from the system's definition of
// %_dbpath, expanded without running anything.
std::string DatabasePath(const RpmLibrary& rpm) {
  const auto body_of = [&rpm](std::string_view name) -> std::optional<std::string> {
    const std::string macro(name);
    if (rpm.rpmMacroIsDefined(nullptr, macro.c_str()) == 0) return std::nullopt;
    const MallocText body(rpm.rpmExpand(("%{macrobody:" + macro + "}").c_str(), nullptr), &std::free);
    return body ? std::optional<std::string>(body.get()) : std::nullopt;
  };
  const std::optional<std::string> body = body_of("_dbpath");
  if (body && *body == kDebianDbpath) return RootHomeFolder() + "/.rpmdb";
  if (body) {
    if (auto path = ExpandPlainMacros(*body, body_of); path && path->starts_with('/')) return *path;
  }
  return kDefaultDbpath;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// librpm's own list without the home folder's ~/.rpmmacros: the files of the
// system, its vendor and its administrator, in librpm's order.
std::string SystemMacroFiles(const std::string& config) {
  return config + "/macros:" + config + "/macros.d/macros.*:" + config + "/platform/%{_target}/macros:" + config +
         "/fileattrs/*.attr:" + config + "/*/macros:/etc/rpm/macros.*:/etc/rpm/macros:/etc/rpm/%{_target}/macros";
}

// The same for rpmrc, without ~/.rpmrc; librpm requires each file named to exist.
std::string SystemRcFiles(const std::string& config) {
  std::string files = config + "/rpmrc";
  if (IsRegularFile("/etc/rpmrc")) files += ":/etc/rpmrc";
  return files;
}

// librpm writes its errors to the terminal, and after a critical one ends the
// program; a missing or damaged database is an ordinary answer here.
int DropMessage(rpmlogRec, rpmlogCallbackData) { return 0; }

// Readies the library: its messages kept quiet, the system's configuration
// read, and the database's place worked out; empty when all went well.
std::string Start(RpmLibrary& rpm) {
  // Only emergencies are kept at all: librpm stores every warning it logs
  // for the whole run otherwise.
  rpm.rpmlogSetMask(RPMLOG_MASK(RPMLOG_EMERG));
  rpm.rpmlogSetCallback(DropMessage, nullptr);
  // The system's rpmrc and macros, read once for the process: they say where
  // the database lies (%_dbpath) and how it is stored. A user's own files may
  // define macros that run commands, and this program may run as root with a
  // user's HOME: none of them is read. librpm keeps the list's address.
  const char* config_dir = rpm.rpmConfigDir();
  const std::string config = config_dir != nullptr ? config_dir : "/usr/lib/rpm";
  static const std::string* macro_files = new std::string(SystemMacroFiles(config));
  *rpm.macrofiles = macro_files->c_str();
  if (rpm.rpmReadConfigFiles(SystemRcFiles(config).c_str(), nullptr) != 0) return "its configuration cannot be read";
  // The answer takes the definition's place, so that opening the database
  // never expands the definition itself (the other macros stay as the system
  // has them).
  rpm.dbpath = DatabasePath(rpm);
  rpm.rpmPushMacro(nullptr, "_dbpath", nullptr, rpm.dbpath.c_str(), RMIL_CMDLINE);
  // Reading writes nothing beside the database (SQLite's shared-memory and
  // write-ahead files).
  ReadRpmSqliteDatabasesAsImmutable();
  return {};
}

}  // namespace

std::optional<std::string> ExpandPlainMacros(std::string_view body,
                                             const std::function<std::optional<std::string>(std::string_view)>& lookup) {
  std::string out;
  if (!ExpandInto(body, lookup, 0, out)) return std::nullopt;
  return out;
}

// rpm 4.20 raised the library's version; the calls used here are the same in
// both.
const RpmLibrary* LoadRpm() {
  // Never destroyed: the read-ahead thread may still use it while the
  // program ends. librpm's absence is ordinary here and goes unsaid.
  static const auto* loaded =
      new LoadedLibrary<RpmLibrary>(LoadLibraryTable<RpmLibrary>({"librpm.so.10", "librpm.so.9"}, nullptr, Start));
  return loaded->get();
}

}  // namespace proclens::linux_port
