// A unit's description from a search path of the test's own, drop-ins,
// templates, aliases and hostile files included.

#include "platform/linux/units/unit_file_search.h"

#include <sys/stat.h>

#include <fstream>

#include <gtest/gtest.h>

#include "linux/live_process.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string Unit(const std::string& description) { return "[Unit]\nDescription=" + description + "\n"; }

TEST(UnitFileSearchTest, FilesAndDropInsInSystemdsOrder) {
  const linux_test::TempDir tree;
  const fs::path etc = tree.path() / "etc", run = tree.path() / "run", lib = tree.path() / "lib";
  Write(lib / "ssh.service", Unit("Secure Shell"));
  Write(lib / "cron.service", Unit("Cron"));
  Write(etc / "cron.service", Unit("Local cron"));
  Write(lib / "cron.service.d/50-x.conf", Unit("lib 50"));
  Write(etc / "cron.service.d/50-x.conf", Unit("etc 50"));
  Write(run / "cron.service.d/10-y.conf", Unit("run 10"));
  Write(run / "cron.service.d/.hidden.conf", Unit("hidden"));
  Write(lib / "reset.service", Unit("Gone"));
  Write(lib / "reset.service.d/override.conf", Unit(""));
  Write(lib / "getty@.service", Unit("Getty on %I"));
  Write(etc / "getty@tty2.service.d/x.conf", Unit("Special %i"));
  Write(lib / "gdm.service", Unit("Display manager"));
  Write(lib / "gdm.service.d/10.conf", Unit("GDM from its drop-in"));
  fs::create_directories(etc);
  fs::create_symlink("../lib/gdm.service", etc / "display-manager.service");
  Write(lib / "masked.service", Unit("hidden"));
  fs::create_symlink("/dev/null", etc / "masked.service");
  Write(lib / "empty.service", Unit("hidden"));
  Write(etc / "empty.service", "");
  Write(lib / "loop.service", Unit("After the loop"));
  fs::create_symlink("loop.service", etc / "loop.service");
  ASSERT_EQ(::mkfifo((etc / "fifo.service").c_str(), 0600), 0);
  Write(lib / "huge.service", Unit(std::string(kUnitFileLimit, 'h')));
  Write(lib / "foo-bar.service", Unit("FB"));
  Write(lib / "foo-.service.d/10.conf", Unit("from the prefix"));
  // The type's drop-ins apply to every unit of the type: a socket has them here.
  Write(lib / "socket.d/05.conf", Unit("from the type"));
  Write(lib / "piped.socket", Unit("Piped"));
  fs::create_directories(lib / "piped.socket.d");
  ASSERT_EQ(::mkfifo((lib / "piped.socket.d/x.conf").c_str(), 0600), 0);

  const UnitFileSearch search({etc, run, lib});
  struct Case {
    const char* unit;
    std::optional<FileDescription> description;
  };
  const Case cases[] = {
      {"ssh.service", FileDescription{"Secure Shell", lib / "ssh.service"}},
      {"cron.service", FileDescription{"etc 50", etc / "cron.service.d/50-x.conf"}},
      {"reset.service", std::nullopt},
      {"getty@tty1.service", FileDescription{"Getty on tty1", lib / "getty@.service"}},
      {"getty@tty2.service", FileDescription{"Special tty2", etc / "getty@tty2.service.d/x.conf"}},
      {"display-manager.service", FileDescription{"GDM from its drop-in", lib / "gdm.service.d/10.conf"}},
      {"masked.service", std::nullopt},
      {"empty.service", std::nullopt},
      {"loop.service", FileDescription{"After the loop", lib / "loop.service"}},
      {"fifo.service", std::nullopt},
      {"huge.service", std::nullopt},
      {"foo-bar.service", FileDescription{"from the prefix", lib / "foo-.service.d/10.conf"}},
      {"piped.socket", FileDescription{"from the type", lib / "socket.d/05.conf"}},
      {"none.service", std::nullopt},
      {"getty@.service", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    EXPECT_EQ(search.Describe(c.unit), c.description);
  }
}

TEST(UnitFileSearchTest, DropInNamesRunFromTheInstanceToItsPrefixes) {
  EXPECT_EQ(DropInNames("a-b@x.service"), (std::vector<std::string>{"a-b@x.service", "a-b@.service", "a-.service",
                                                                     "a-@x.service", "a-@.service"}));
  EXPECT_EQ(DropInNames("ssh.service"), std::vector<std::string>{"ssh.service"});
}

}  // namespace
}  // namespace proclens::linux_port
