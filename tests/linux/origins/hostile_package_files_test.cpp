// Any package can install desktop entries, metainfo and list lines. Here a
// database and an applications folder hold the worst of them, and they are
// read the way the window and proclens-cli read them.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "infopage/version_info_reader.h"
#include "linux/origins/dpkg_only.h"
#include "linux/origins/sandbox_support.h"
#include "linux/support/version_test_support.h"
#include "platform/linux/desktop/desktop_icon_index.h"
#include "platform/linux/linux_version_ops.h"

namespace proclens::linux_port {
namespace {

std::string Repeat(const std::string& text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) result += text;
  return result;
}

// Ä 3,000 times: 6,000 bytes, longer than a version block's text.
std::string LongName() { return Repeat("\xC3\x84", 3000); }

std::string Entry(const fs::path& program, const std::string& icon) {
  return "[Desktop Entry]\nType=Application\nName=x\nExec=" + program.string() + "\nIcon=" + icon + "\n";
}

// A FIFO or a link loop would hold a reader up for good: the test ends instead.
struct Deadline {
  explicit Deadline(unsigned seconds) { ::alarm(seconds); }
  ~Deadline() { ::alarm(0); }
};

long PeakKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class HostilePackageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    Package("deep", {"deep.metainfo.xml"}, "<component><name>Deep</name><description>" + Repeat("<x>", 10000) +
                                               Repeat("</x>", 10000) + "</description></component>");
    Package("longname", {"long.metainfo.xml"}, "<component><name>" + LongName() + "</name></component>");
    Package("bigmeta", {"big.metainfo.xml"},
            "<component><name>Big</name><!--" + std::string(600 << 10, ' ') + "--></component>");
    Package("fifo", {"a-fifo.desktop", "b-good.desktop"});
    Package("http", {"http.desktop"});
    WriteText(Apps() / "b-good.desktop", Entry(Bin("good-app"), "good-icon"));
    WriteText(Apps() / "http.desktop", Entry(Bin("http-app"), "http://127.0.0.1:9/icon.png"));
    ASSERT_EQ(::mkfifo((Apps() / "a-fifo.desktop").c_str(), 0644), 0);
    // Only the index reads these: a sparse 200 MB entry, a loop of folder
    // links, and an entry deeper than any real one.
    WriteText(Apps() / "sparse.desktop", Entry(Bin("sparse-app"), "sparse-icon"));
    fs::resize_file(Apps() / "sparse.desktop", 200u << 20);
    fs::create_directory_symlink(".", Apps() / "loop-a");
    fs::create_directory_symlink(".", Apps() / "loop-b");
    WriteText(Apps() / "1/2/3/4/5/6/7/8/9/10/deep.desktop", Entry(Bin("deep-app"), "deep-icon"));
    // List lines: a path with a line break spans two of another package's.
    Package("victim", {}, "", Bin("a").string() + "\n" + Bin("b").string());
  }

  fs::path Apps() const { return root_.path() / "usr/share/applications"; }
  fs::path Bin(const std::string& name) const {
    const fs::path program = root_.path() / "bin" / name;
    WriteText(program, "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    return program;
  }

  // A package that ships its program bin/NAME, the metainfo or desktop entries
  // named, and the list lines given.
  void Package(const std::string& name, const std::vector<std::string>& files, const std::string& metainfo = "",
               const std::string& lines = "") {
    std::string list = Bin(name).string() + "\n" + lines + "\n";
    for (const std::string& file : files) {
      const std::string folder = file.ends_with(".desktop") ? "/usr/share/applications/" : "/usr/share/metainfo/";
      list += folder + file + "\n";
      if (!metainfo.empty()) WriteText(root_.path() / folder.substr(1) / file, metainfo);
    }
    WriteText(root_.path() / "var/lib/dpkg/info" / (name + ".list"), list);
    status_ += "Package: " + name + "\nMaintainer: M <m@example.org>\nDescription: " + name + " summary\n\n";
    WriteText(root_.path() / "var/lib/dpkg/status", status_);
  }

  linux_test::TempDir root_;
  std::string status_;
};

TEST_F(HostilePackageFiles, NeitherHoldTheReaderUpNorNameWhatTheyShouldNot) {
  struct Case {
    const char* what;
    std::string program;
    std::string product;  // as the package gives it; empty: no package ships the file
    const char* icon;     // nullptr: no icon
  };
  const std::string newline_path = Bin("a").string() + "\n" + Bin("b").string();
  WriteText(newline_path, "x");
  const Case cases[] = {
      {"metainfo nested 10,000 deep", Bin("deep"), "deep", nullptr},
      {"metainfo name of 6,000 bytes", Bin("longname"), LongName(), nullptr},
      {"metainfo of 600 KiB", Bin("bigmeta"), "bigmeta", nullptr},
      {"desktop entry that is a FIFO", Bin("fifo"), "fifo", "good-icon"},
      {"icon that is an address", Bin("http"), "http", nullptr},
      {"path with a line break", newline_path, "", nullptr},
  };
  const Deadline deadline(20);
  proclens::testing::FixedLanguageSystem system(0x0409);
  ProgramOrigins indexed = DpkgOnly(root_.path().string());
  indexed.Describe({Bin("none").string()}, false);
  for (const bool first_question : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (first_question ? ", first question" : ", indexed"));
      ProgramOrigins fresh = DpkgOnly(root_.path().string());
      ProgramOrigins& origins = first_question ? fresh : indexed;
      proclens::testing::VersionsOver versions(system, &origins);
      LinuxVersionOps& ops = versions.ops;
      const VersionTexts texts = ReadVersionInfo(c.program, {ops, system});
      EXPECT_EQ(texts.ok, !c.product.empty());
      // A long text is shortened where a character begins, never emptied.
      const std::size_t cut = texts.product.size();
      EXPECT_EQ(texts.product, c.product.substr(0, cut));
      EXPECT_TRUE(cut == c.product.size() || (cut > 0 && (c.product[cut] & 0xC0) != 0x80)) << cut;
      EXPECT_EQ(origins.ApplicationIcon({c.program, 0, true}).value_or(""), c.icon ? c.icon : "");
    }
  }
}

TEST_F(HostilePackageFiles, TheIconIndexReadsEveryOrdinaryEntryAndNoneOfThem) {
  const Deadline deadline(20);
  const long peak_before = PeakKiB();
  const DesktopIconIndex index = DesktopIconIndex::LoadFrom({Apps().string()});
  EXPECT_LT(PeakKiB() - peak_before, 64 << 10);  // the sparse entry is never read
  EXPECT_EQ(index.IconFor(Bin("good-app")), "good-icon");
  for (const char* program : {"http-app", "sparse-app", "deep-app"}) EXPECT_EQ(index.IconFor(Bin(program)), std::nullopt);
}

}  // namespace
}  // namespace proclens::linux_port
