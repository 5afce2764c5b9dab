#include "infopage/offline_page.h"

#include <gtest/gtest.h>

#include "unit/infopage/fake_page_platform.h"

namespace proclens {
namespace {

using testing::FakePagePlatform;
using testing::VersionBlockWith;

constexpr char kSite[] = "http://proclens.example/";
constexpr char kFieldsTemplate[] =
    "T:_file_|N:_name_|P:_product_|C:_company_|X:_fileNoExt_|D:_desc_";

ProcessItem Item(std::string caption, std::string path, int image_index = 5) {
  ProcessItem item;
  item.caption = std::move(caption);
  item.sub_items = {std::move(path)};
  item.image_index = image_index;
  return item;
}

class OfflinePageTest : public ::testing::Test {
 protected:
  OfflinePageTest() {
    platform.resources.rcdata["PROC_EN_HTML"] = kFieldsTemplate;
    platform.resources.rcdata["PROC_DE_HTML"] = std::string("DE|") + kFieldsTemplate;
  }
  std::string Page(const ProcessItem& item) { return BuildOfflinePage(item, platform.Page(), kSite); }

  FakePagePlatform platform;
};

struct LocationCase {
  const char* path;
  char separator;
  const char* folder;
  const char* file_name;
};

TEST(LocateItemFile, SplitsAtTheLastSeparatorAndKeepsOnlyRealFolders) {
  const LocationCase cases[] = {
      {"C:\\WINDOWS\\system32\\svchost.exe", '\\', "C:\\WINDOWS\\system32\\", "svchost.exe"},
      {"C:\\tool.exe", '\\', "", "caption.exe"},           // a drive root is no folder
      {"D:x.exe", '\\', "", "caption.exe"},
      {"\\\\srv\\share\\a.exe", '\\', "\\\\srv\\share\\", "a.exe"},
      {"C:\\dir:stream.exe", '\\', "C:\\dir:", "stream.exe"},
      {" Access is denied. C:\\x\\y.exe", '\\', "", "caption.exe"},  // error texts have none
      {"", '\\', "", "caption.exe"},
      {"/usr/bin/sleep", '/', "/usr/bin/", "sleep"},
      {"/usr/bin/sleep", '\\', "", "caption.exe"},         // "/" only where it separates
      {"/bin/x", '/', "/bin/", "x"},
      {"/x", '/', "", "caption.exe"},
      {"/opt/a:b/c\\d/e", '/', "/opt/a:b/c\\d/", "e"},
      {"/opt/tools/a:b\\c", '/', "/opt/tools/", "a:b\\c"},  // ":" and "\\" name files on Linux
      {"/memfd:sealed (deleted)", '/', "", "caption.exe"},
  };
  for (const LocationCase& c : cases) {
    const ItemLocation location = LocateItemFile(Item("caption.exe", c.path), c.separator);
    EXPECT_EQ(location.folder, c.folder) << c.path;
    EXPECT_EQ(location.file_name, c.file_name) << c.path;
  }
}

TEST_F(OfflinePageTest, EnglishPageOfASystemFileWithItsFolderSentence) {
  platform.versions.blocks["C:\\WINDOWS\\system32\\svchost.exe"] =
      VersionBlockWith(u"Host Process", u"Operating System", u"Example Corp");
  EXPECT_EQ(Page(Item("svchost.exe", "C:\\WINDOWS\\system32\\svchost.exe")),
            "T:svchost.exe|N:Host Process|P:Operating System|C:Example Corp|X:svchost.exe"
            "|D: svchost.exe is located in folder C:\\WINDOWS\\system32\\.");
}

TEST_F(OfflinePageTest, GermanPageWithDefaultsWhenTheFileHasNoVersion) {
  platform.system.lang_id = 0x0807;  // German (Switzerland): primary language 7
  EXPECT_EQ(Page(Item("tool.exe", "C:\\Tools\\tool.exe")),
            "DE|T:tool.exe|N:tool.exe|P:unbekannt|C:unbekannt|X:tool.exe"
            "|D: tool.exe befindet sich im Ordner C:\\Tools\\.");
}

TEST_F(OfflinePageTest, EmptyVersionTextsFallBackOneByOne) {
  platform.versions.blocks["C:\\Apps\\a.exe"] = VersionBlockWith(u"", u"Suite", u"");
  EXPECT_EQ(Page(Item("a.exe", "C:\\Apps\\a.exe")),
            "T:a.exe|N:a.exe|P:Suite|C:unknown|X:a.exe|D: a.exe is located in folder C:\\Apps\\.");
}

TEST_F(OfflinePageTest, VersionTextsComeFromTheListedFileNotANamesake) {
  platform.versions.blocks["svchost.exe"] = VersionBlockWith(u"Real Host", u"System", u"Vendor");
  platform.versions.blocks["C:\\Users\\bob\\svchost.exe"] = VersionBlockWith(u"Fake", u"X", u"Y");
  EXPECT_EQ(Page(Item("svchost.exe", "C:\\Users\\bob\\svchost.exe")),
            "T:svchost.exe|N:Fake|P:X|C:Y|X:svchost.exe"
            "|D: svchost.exe is located in folder C:\\Users\\bob\\.");

  // A look-alike whose own file has no version is not given the real one's texts.
  platform.versions.blocks.erase("C:\\Users\\bob\\svchost.exe");
  EXPECT_EQ(Page(Item("svchost.exe", "C:\\Users\\bob\\svchost.exe")).substr(0, 50),
            "T:svchost.exe|N:svchost.exe|P:unknown|C:unknown|X:");

  // Without a folder the bare name is all there is to go by.
  EXPECT_EQ(Page(Item("svchost.exe", " Access is denied.")),
            "T:svchost.exe|N:Real Host|P:System|C:Vendor|X:svchost.exe|D:");
}

TEST_F(OfflinePageTest, CommentsSentenceOnlyForTheSystemProcessImage) {
  const std::string comments =
      "<BR>Read all user comments about SvcHost.EXE on <a "
      "href=\"http://proclens.example/process/SvcHost.EXE.html\">"
      "http://proclens.example/process/SvcHost.EXE.html</a>.";
  EXPECT_EQ(Page(Item("SvcHost.EXE", " Access is denied.", kSystemProcessImage)),
            "T:SvcHost.EXE|N:SvcHost.EXE|P:unknown|C:unknown|X:SvcHost.EXE|D:" + comments);
  EXPECT_EQ(Page(Item("SvcHost.EXE", "C:\\W\\SvcHost.EXE", kSystemProcessImage)),
            "T:SvcHost.EXE|N:SvcHost.EXE|P:unknown|C:unknown|X:SvcHost.EXE"
            "|D: SvcHost.EXE is located in folder C:\\W\\." + comments);
  for (int image : {kNoImage, kMissingFileImage, 2}) {
    EXPECT_EQ(Page(Item("SvcHost.EXE", " Access is denied.", image)).find("comments"),
              std::string::npos);
  }
}

TEST_F(OfflinePageTest, GermanCommentsSentenceUsesTheGermanAddress) {
  platform.system.lang_id = 0x0407;
  const std::string page = Page(Item("smss.exe", " Zugriff verweigert.", kSystemProcessImage));
  EXPECT_NE(page.find("|D:<BR>Lesen sie alle Kommentare von anderen Anwendern "), std::string::npos);
  EXPECT_NE(page.find("<a href=\"http://proclens.example/prozess/smss.exe.html\">"
                      "http://proclens.example/prozess/smss.exe.html</a>."),
            std::string::npos);
}

// Placeholder text inside a value (a package may be named "_company_", a
// folder "_name_") is that value's own text: nothing fills it. Only our own
// sentence's _file_ in the description is filled.
TEST_F(OfflinePageTest, PlaceholdersNeverFillTextThatAnotherInserted) {
  platform.versions.blocks["C:\\Apps\\a.exe"] =
      VersionBlockWith(u"_product_ tool", u"Suite _company_ _file_", u"Acme _name_");
  platform.versions.blocks["C:\\_name_\\_file_.exe"] = VersionBlockWith(u"", u"", u"");
  struct Case {
    ProcessItem item;
    std::string page;
  };
  const Case cases[] = {
      {Item("a.exe", "C:\\Apps\\a.exe"),
       "T:a.exe|N:_product_ tool|P:Suite _company_ _file_|C:Acme _name_|X:a.exe"
       "|D: a.exe is located in folder C:\\Apps\\."},
      {Item("_file_.exe", "C:\\_name_\\_file_.exe", kSystemProcessImage),
       "T:_file_.exe|N:_file_.exe|P:unknown|C:unknown|X:_file_.exe"
       "|D: _file_.exe is located in folder C:\\_name_\\.<BR>Read all user comments about _file_.exe on "
       "<a href=\"http://proclens.example/process/_file_.exe.html\">http://proclens.example/process/_file_.exe.html</a>."},
  };
  for (const Case& c : cases) EXPECT_EQ(Page(c.item), c.page);
}

TEST_F(OfflinePageTest, ValuesFromOutsideAreEscapedOurMarkupIsNot) {
  platform.versions.blocks["C:\\A&B <x>\\evil.exe"] = VersionBlockWith(
      u"<script>alert(1)</script>", u"\"><img src=x onerror=alert(2)>", u"O'Brien & Sons");
  const std::string page =
      Page(Item("evil.exe", "C:\\A&B <x>\\evil.exe", kSystemProcessImage));
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_NE(page.find("N:&lt;script&gt;alert(1)&lt;/script&gt;|"), std::string::npos);
  EXPECT_NE(page.find("P:&quot;&gt;&lt;img src=x onerror=alert(2)&gt;|"), std::string::npos);
  EXPECT_NE(page.find("C:O&#39;Brien &amp; Sons|"), std::string::npos);
  EXPECT_NE(page.find("located in folder C:\\A&amp;B &lt;x&gt;\\.<BR>Read all"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"http://proclens.example/process/evil.exe.html\">"),
            std::string::npos);
}

TEST_F(OfflinePageTest, HostileFileNameIsEscapedEverywhereItAppears) {
  const std::string page =
      Page(Item("x\"><b>.exe", " Access is denied.", kSystemProcessImage));
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_NE(page.find("T:x&quot;&gt;&lt;b&gt;.exe|"), std::string::npos);
  EXPECT_NE(page.find("href=\"http://proclens.example/process/x&quot;&gt;&lt;b&gt;.exe.html\""),
            std::string::npos);
}

TEST_F(OfflinePageTest, TemplateBytesSurviveZeroBytesIncluded) {
  platform.resources.rcdata["PROC_EN_HTML"] = std::string("A\0_file_\0\xFF", 10);
  EXPECT_EQ(Page(Item("a.exe", " Access is denied.")), std::string("A\0a.exe\0\xFF", 9));
}

TEST_F(OfflinePageTest, MissingTemplateGivesAnEmptyPage) {
  platform.resources.rcdata.clear();
  EXPECT_EQ(Page(Item("a.exe", "C:\\Apps\\a.exe")), "");
}

TEST(RewriteAddresses, PointTheTemplateImagesAtTheProgramsResources) {
  const std::string page =
      "<td background=\"http://proclens.example/img/bgverlauf.jpg\">"
      "<img src=\"http://proclens.example/img/space.gif\">"
      "<img src=\"http://proclens.example/img/space.jpg\">"
      "<img src=\"HTTP://ProcLens.Example/IMG/Home.GIF\">"
      "<img src=\"/gif/Awards\"><img src=\"/GIF/DOWNLOAD\">"
      "<a href=\"http://proclens.example/software.html\">";
  int path_calls = 0;
  const auto program = [&path_calls] {
    ++path_calls;
    return std::string("C:\\P\\proclens.exe");
  };
  const auto upper = [](std::string text) { return testing::AsciiUpper(std::move(text)); };
  EXPECT_EQ(RewriteAddresses(page, program, kSite, upper),
            "<td background=\"res://C:\\P\\proclens.exe/JPG/BGverlauf\">"
            "<img src=\"res://C:\\P\\proclens.exe/GIF/space\">"
            "<img src=\"res://C:\\P\\proclens.exe/JPG/SPACE\">"
            "<img src=\"res://C:\\P\\proclens.exe/GIF/Home\">"
            "<img src=\"res://C:\\P\\proclens.exe/GIF/AWARDS\">"
            "<img src=\"res://C:\\P\\proclens.exe/GIF/DOWNLOAD\">"
            "<a href=\"http://proclens.example/software.html\">");
  EXPECT_EQ(path_calls, 5);  // asked afresh for each rewrite that inserts it
}

TEST(RewriteAddresses, ExtensionsGoOnlyWhereTheyEndAResourceName) {
  const auto upper = [](std::string text) { return testing::AsciiUpper(std::move(text)); };
  const struct {
    const char* program;
    const char* page;
    const char* rewritten;
  } cases[] = {
      {"C:\\Tools\\my.gifs\\p.exe", "<img src=\"/GIF/AWARDS\">",
       "<img src=\"res://C:\\Tools\\my.gifs\\p.exe/GIF/AWARDS\">"},
      {"/opt/x.jpg.d/proclens", "<td background=\"http://proclens.example/img/bgmenu.JPG\">",
       "<td background=\"res:///opt/x.jpg.d/proclens/JPG/BGmenu\">"},
      // Other texts of the template keep their extensions; a doubled one goes whole.
      {"/p", "<img src=\"http://proclens.example/img/a.gif.jpg\"> see x.gif",
       "<img src=\"res:///p/GIF/a\"> see x.gif"},
      // The path from one rewrite is not rewritten again by a later one.
      {"/srv/GIF/AWARDS/p", "<img src=\"/GIF/DOWNLOAD.gif\">",
       "<img src=\"res:///srv/GIF/AWARDS/p/GIF/DOWNLOAD\">"},
  };
  for (const auto& c : cases) {
    const std::string program = c.program;
    EXPECT_EQ(RewriteAddresses(c.page, [&program] { return program; }, kSite, upper), c.rewritten)
        << c.program;
  }
}

TEST_F(OfflinePageTest, TheRunsSiteBaseReplacesTheTemplatesSoImagesStillResolve) {
  platform.resources.rcdata["PROC_EN_HTML"] =
      "<img src=\"http://proclens.example/img/home.gif\"><a href=\"http://proclens.example/\">";
  const std::string page = BuildOfflinePage(Item("a.exe", " x", 3), platform.Page(),
                                            "http://127.0.0.1:8080/site/");
  EXPECT_EQ(page,
            "<img src=\"res://C:\\Program Files\\ProcLens\\proclens.exe/GIF/home\">"
            "<a href=\"http://127.0.0.1:8080/site/\">");
}

TEST_F(OfflinePageTest, ProgramPathIsEscapedForTheAttributeItStandsIn) {
  platform.resources.rcdata["PROC_EN_HTML"] = "<img src=\"/GIF/AWARDS\">";
  platform.files.program_path = "C:\\a\"b&c\\p.exe";
  EXPECT_EQ(Page(Item("a.exe", " x")), "<img src=\"res://C:\\a&quot;b&amp;c\\p.exe/GIF/AWARDS\">");
}

TEST_F(OfflinePageTest, LinuxPathsSplitAtTheSlash) {
  platform.UseLinuxPaths();
  EXPECT_EQ(Page(Item("sleep", "/usr/bin/sleep")),
            "T:sleep|N:sleep|P:unknown|C:unknown|X:sleep|D: sleep is located in folder /usr/bin/.");
}

// A '#' or '?' would end the address's path early and a '%' would read as an
// escape; where addresses are encoded the path is, with its slashes kept.
TEST_F(OfflinePageTest, EncodedAddressesKeepAProgramFolderWithHashQuestionAndPercentWhole) {
  platform.resources.rcdata["PROC_EN_HTML"] = "<img src=\"/GIF/AWARDS\"><style>x{background:url(/GIF/AWARDS)}";
  platform.UseLinuxPaths();
  platform.files.program_path = "/opt/c#/100%/why?/Pro gram/proclens";
  EXPECT_NE(Page(Item("a", " x")).find("res:///opt/c#/100%/why?/"), std::string::npos);  // the Windows client's rule
  platform.system.traits.percent_encode_addresses = true;
  EXPECT_EQ(Page(Item("a", " x")),
            "<img src=\"res:///opt/c%23/100%25/why%3F/Pro%20gram/proclens/GIF/AWARDS\">"
            "<style>x{background:url(res:///opt/c%23/100%25/why%3F/Pro%20gram/proclens/GIF/AWARDS)}");
}

TEST_F(OfflinePageTest, TheCheckSentenceFollowsTheDescriptionAndNoPlaceholderFillsIt) {
  platform.resources.rcdata["PROC_EN_HTML"] = "D:_desc_ K:_check_|N:_name_";
  platform.with_verify = true;
  platform.verify.result.state = "matches";
  platform.verify.result.package = "a_file_";
  ProcessItem item = Item("a.exe", "C:\\Apps\\a.exe");
  item.pid = 42;
  EXPECT_EQ(Page(item), "D: a.exe is located in folder C:\\Apps\\. "
                        "K:This file is the one that package a_file_ installed.|N:a.exe");
  ASSERT_EQ(platform.verify.asked.size(), 1u);
  EXPECT_EQ(platform.verify.asked[0].path, "C:\\Apps\\a.exe");
  EXPECT_EQ(platform.verify.asked[0].pid, 42u);
  EXPECT_EQ(platform.verify.asked[0].size_limit, 32u << 20);

  // A file named on the command line is no process; an item without a
  // folder has no file to check.
  item.pid = 0;
  Page(item);
  EXPECT_EQ(platform.verify.asked.back().pid, 0u);
  EXPECT_EQ(Page(Item("a.exe", " Access is denied.")), "D: K:|N:a.exe");
  EXPECT_EQ(platform.verify.asked.size(), 2u);
  platform.with_verify = false;
  EXPECT_EQ(Page(Item("a.exe", "C:\\Apps\\a.exe")), "D: a.exe is located in folder C:\\Apps\\. K:|N:a.exe");
}

// Why the process runs comes first in the description, and the container it
// runs in before the check; both from outside, so both escaped.
TEST_F(OfflinePageTest, WhyItRunsLeadsTheDescriptionAndItsContainerTheCheck) {
  platform.resources.rcdata["PROC_EN_HTML"] = "D:_desc_ K:_check_";
  platform.with_verify = true;
  platform.verify.result.state = "matches";
  platform.verify.result.package = "nginx";
  platform.verify.result.authority = CheckAuthority::kContainer;
  platform.with_facts = true;
  platform.facts.unit_description = "Web <server>";
  ProcessFacts& facts = platform.facts.by_pid[42];
  facts.unit = UnitFacts{"nginx.service", "", false};
  facts.container = ContainerFacts{"docker", "abc", "web&1", "nginx:1"};
  ProcessItem item = Item("nginx<", "C:\\Apps\\nginx");
  item.pid = 42;
  EXPECT_EQ(Page(item), "D:The process nginx&lt; runs as the service nginx.service (Web &lt;server&gt;) of the system."
                        " nginx is located in folder C:\\Apps\\. K:The process runs in the container web&amp;1 "
                        "(image nginx:1, docker). This file is the one that package nginx installed, as the "
                        "container's own package database says.");
  EXPECT_EQ(platform.facts.describes, 1);
}

// Only a program that nothing installed and whose file names no software
// loses the "unknown by unknown" sentence, and only where the template marks it.
TEST_F(OfflinePageTest, APageSaysWhenNothingInstalledTheProgram) {
  platform.UseLinuxPaths();
  platform.with_verify = true;
  platform.versions.blocks["/opt/named"] = VersionBlockWith(u"Named tool", u"Suite", u"Acme");
  const std::string marked = std::string("[") + kOriginSentenceStart + "P:_product_ C:_company_" +
                             kOriginSentenceEnd + "] N:_name_";
  const std::string nobody =
      "[No package system installed the program of the process <B>tool</B>, so nothing on this computer "
      "says which software it belongs to or who made it.] N:tool";
  struct Case {
    const char* path;
    const char* state;
    std::string page_template;
    std::string page;
  };
  const Case cases[] = {
      {"/opt/tool", "no-package", marked, nobody},
      {"/opt/tool", "no-record", marked, "[<!--origin-->P:unknown C:unknown<!--/origin-->] N:tool"},
      {"/opt/named", "no-package", marked, "[<!--origin-->P:Suite C:Acme<!--/origin-->] N:Named tool"},
      {"/opt/tool", "no-package", "P:_product_ N:_name_", "P:unknown N:tool"},
  };
  for (const Case& c : cases) {
    platform.resources.rcdata["PROC_EN_HTML"] = c.page_template;
    platform.verify.result = FileCheck{};
    platform.verify.result.state = c.state;
    EXPECT_EQ(Page(Item("tool", c.path)), c.page) << c.path << " " << c.state;
  }
}

}  // namespace
}  // namespace proclens
