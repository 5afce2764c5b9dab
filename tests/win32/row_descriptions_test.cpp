// A row's description as the list view's info tip: after the text the
// control put in the buffer, cut to the buffer's room at a character
// boundary, and for the row's own item whatever the sort did.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/window/win32_row_descriptions.h"
#include "win32/list_view_fixture.h"

namespace proclens::win32 {
namespace {

constexpr char kGuard = '#';  // fills the memory just past the buffer

// The buffer the control hands over, with a guard behind it, as narrow or wide text.
template <typename Char, typename Tip>
std::string AnswerInto(const std::string& existing, const std::string& description, int capacity,
                       UINT code) {
  std::vector<Char> memory(static_cast<std::size_t>(capacity) + 4, Char(kGuard));
  std::copy(existing.begin(), existing.end(), memory.begin());
  memory[existing.size()] = Char(0);
  Tip tip = {};
  tip.hdr.code = code;
  tip.pszText = memory.data();
  tip.cchTextMax = capacity;
  EXPECT_TRUE(AppendInfoTip(tip.hdr, description));
  for (std::size_t i = static_cast<std::size_t>(capacity); i < memory.size(); ++i) {
    EXPECT_EQ(memory[i], Char(kGuard)) << "written past the buffer at " << i;
  }
  std::string text;
  for (const Char* at = memory.data(); *at; ++at) text.push_back(static_cast<char>(*at));
  return text;
}

TEST(InfoTipAnswerTest, FollowsTheControlsTextAndKeepsToTheRoom) {
  const struct {
    const char* name;
    std::string existing;
    std::string description;
    int capacity;
    std::string shown;
  } cases[] = {
      {"alone in an empty buffer", "", "Runs as SYSTEM.", 80, "Runs as SYSTEM."},
      {"after the cut item text", "svchost.exe", "Hosts Event Log.\nRuns as SYSTEM.", 80,
       "svchost.exe\nHosts Event Log.\nRuns as SYSTEM."},
      {"empty leaves the buffer", "svchost.exe", "", 80, "svchost.exe"},
      {"cut to the room", "abc", "defghijk", 10, "abc\ndefgh"},
      {"exactly filling it", "abc", "defgh", 10, "abc\ndefgh"},
      {"no room after the line break", "abcd", "efg", 6, "abcd"},
      {"no room at all", "abcd", "efg", 5, "abcd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ((AnswerInto<char, NMLVGETINFOTIPA>(c.existing, c.description, c.capacity,
                                                 LVN_GETINFOTIPA)), c.shown);
    EXPECT_EQ((AnswerInto<wchar_t, NMLVGETINFOTIPW>(c.existing, c.description, c.capacity,
                                                    LVN_GETINFOTIPW)), c.shown);
  }
  NMHDR other = {};
  other.code = LVN_COLUMNCLICK;
  EXPECT_FALSE(AppendInfoTip(other, "Runs as SYSTEM."));
}

TEST(InfoTipAnswerTest, CutsBetweenCharactersNeverInside) {
  const std::wstring wide = L"ab\U0001F600c";  // a, b, a surrogate pair, c
  const struct {
    std::size_t room;
    std::size_t utf16;
  } wide_cases[] = {{0, 0}, {2, 2}, {3, 2}, {4, 4}, {9, 5}};
  for (const auto& c : wide_cases) EXPECT_EQ(Utf16Fit(wide, c.room), c.utf16) << c.room;

  const struct {
    std::string text;
    UINT code_page;
    std::size_t room;
    std::size_t fits;
  } narrow_cases[] = {
      {"a\x82\xA0" "b", 932, 2, 1},   // Shift-JIS: a double-byte character after a
      {"a\x82\xA0" "b", 932, 3, 3},
      {"a\xC3\xA9" "b", CP_UTF8, 2, 1},
      {"a\xE2\x82\xAC", CP_UTF8, 3, 1},
      {"a\xE9" "b", 1252, 2, 2},
      {"a\xE9" "b", 1252, 7, 3},
  };
  for (const auto& c : narrow_cases) {
    EXPECT_EQ(CodePageFit(c.text, c.room, c.code_page), c.fits) << c.code_page << " " << c.room;
  }
}

ProcessItem Described(const std::string& caption, const std::string& description) {
  ProcessItem item;
  item.caption = caption;
  item.sub_items = {"C:\\" + caption};
  item.description = description;
  return item;
}

using RowInfoTipTest = ListViewFixture;

TEST_F(RowInfoTipTest, RowAnswersWithItsOwnItemsDescriptionAfterASort) {
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(list_.handle()) & LVS_EX_INFOTIP);
  list_.AppendItem(Described("c.exe", "Started by b.exe."));
  list_.AppendItem(Described("a.exe", "Hosts Event Log (Eventlog).\nRuns as SYSTEM."));
  list_.AppendItem(Described("b.exe", ""));
  list_.SortItems([](const ProcessItem& x, const ProcessItem& y) { return x.caption.compare(y.caption); });

  const std::vector<std::string> expected = {"Hosts Event Log (Eventlog).\nRuns as SYSTEM.", "",
                                             "Started by b.exe."};
  for (int row = 0; row < 3; ++row) {
    char text[128] = {};
    NMLVGETINFOTIPA tip = {};
    tip.hdr = {list_.handle(), 1, static_cast<UINT>(LVN_GETINFOTIPA)};
    tip.pszText = text;
    tip.cchTextMax = sizeof(text);
    tip.iItem = row;
    EXPECT_TRUE(list_.AnswerInfoTip(tip.hdr));
    EXPECT_EQ(text, expected[static_cast<std::size_t>(row)]) << "row " << row;
  }
}

}  // namespace
}  // namespace proclens::win32
