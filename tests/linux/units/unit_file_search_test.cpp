// A unit's description from a search path of the test's own, drop-ins,
// templates, aliases and hostile files included.

#include "platform/linux/units/unit_file_search.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "linux/support/live_process.h"
#include "linux/units/unit_test_support.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;

using units_test::WriteFile;
std::string Unit(const std::string& description) { return units_test::UnitText(description); }

TEST(UnitFileSearchTest, FilesAndDropInsInSystemdsOrder) {
  const linux_test::TempDir tree;
  const fs::path etc = tree.path() / "etc", run = tree.path() / "run", lib = tree.path() / "lib";
  WriteFile(lib / "ssh.service", Unit("Secure Shell"));
  WriteFile(lib / "cron.service", Unit("Cron"));
  WriteFile(etc / "cron.service", Unit("Local cron"));
  WriteFile(lib / "cron.service.d/50-x.conf", Unit("lib 50"));
  WriteFile(etc / "cron.service.d/50-x.conf", Unit("etc 50"));
  WriteFile(run / "cron.service.d/10-y.conf", Unit("run 10"));
  WriteFile(run / "cron.service.d/.hidden.conf", Unit("hidden"));
  WriteFile(lib / "reset.service", Unit("Gone"));
  WriteFile(lib / "reset.service.d/override.conf", Unit(""));
  WriteFile(lib / "getty@.service", Unit("Getty on %I"));
  WriteFile(etc / "getty@tty2.service.d/x.conf", Unit("Special %i"));
  WriteFile(lib / "gdm.service", Unit("Display manager"));
  WriteFile(lib / "gdm.service.d/10.conf", Unit("GDM from its drop-in"));
  fs::create_directories(etc);
  fs::create_symlink("../lib/gdm.service", etc / "display-manager.service");
  WriteFile(lib / "masked.service", Unit("hidden"));
  fs::create_symlink("/dev/null", etc / "masked.service");
  WriteFile(lib / "empty.service", Unit("hidden"));
  WriteFile(etc / "empty.service", "");
  WriteFile(lib / "loop.service", Unit("After the loop"));
  fs::create_symlink("loop.service", etc / "loop.service");
  ASSERT_EQ(::mkfifo((etc / "fifo.service").c_str(), 0600), 0);
  WriteFile(lib / "huge.service", Unit(std::string(kUnitFileLimit, 'h')));
  WriteFile(lib / "foo-bar.service", Unit("FB"));
  WriteFile(lib / "foo-.service.d/10.conf", Unit("from the prefix"));
  // The type's drop-ins apply to every unit of the type: a socket has them here.
  WriteFile(lib / "socket.d/05.conf", Unit("from the type"));
  WriteFile(lib / "piped.socket", Unit("Piped"));
  fs::create_directories(lib / "piped.socket.d");
  ASSERT_EQ(::mkfifo((lib / "piped.socket.d/x.conf").c_str(), 0600), 0);

  const UnitFileSearch search({etc, run, lib});
  const std::pair<const char*, const char*> cases[] = {
      {"ssh.service", "Secure Shell (lib/ssh.service)"},
      {"cron.service", "etc 50 (etc/cron.service.d/50-x.conf)"},
      {"reset.service", "none"},
      {"getty@tty1.service", "Getty on tty1 (lib/getty@.service)"},
      {"getty@tty2.service", "Special tty2 (etc/getty@tty2.service.d/x.conf)"},
      {"display-manager.service", "GDM from its drop-in (lib/gdm.service.d/10.conf)"},
      {"masked.service", "none"},
      {"empty.service", "none"},
      {"loop.service", "After the loop (lib/loop.service)"},
      {"fifo.service", "none"},
      {"huge.service", "none"},
      {"foo-bar.service", "from the prefix (lib/foo-.service.d/10.conf)"},
      {"piped.socket", "from the type (lib/socket.d/05.conf)"},
      {"none.service", "none"},
      {"getty@.service", "none"},
  };
  for (const auto& [unit, shown] : cases)
    EXPECT_EQ(units_test::Shown(search.Describe(unit), tree.path()), shown) << unit;
}

TEST(UnitFileSearchTest, DropInNamesRunFromTheInstanceToItsPrefixes) {
  EXPECT_EQ(DropInNames("a-b@x.service"), (std::vector<std::string>{"a-b@x.service", "a-b@.service", "a-.service",
                                                                     "a-@x.service", "a-@.service"}));
  EXPECT_EQ(DropInNames("ssh.service"), std::vector<std::string>{"ssh.service"});
}

}  // namespace
}  // namespace proclens::linux_port
