#include "siteclient/url_helpers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "unit/siteclient/site_fakes.h"

namespace proclens {
namespace {

using site_fakes::FakeHttp;
using site_fakes::FakeReply;
using ::testing::ElementsAre;
using ::testing::Each;

constexpr char kAgent[] = "viewer.exe/1 (Windows  NT 5.1, 0409 English/United States)";
constexpr char kAddress[] = "http://site.test/process/a.exe.html";

TEST(UrlExistsTest, OnlyStatus200Counts) {
  FakeHttp http;
  for (const std::uint32_t status : {200u, 201u, 204u, 299u, 404u, 500u}) {
    http.replies[kAddress] = FakeReply{true, status, {}};
    EXPECT_EQ(UrlExists(http, kAgent, kAddress), status == 200) << status;
  }
  http.replies[kAddress] = FakeReply{true, std::nullopt, {}};  // the status query fails
  EXPECT_FALSE(UrlExists(http, kAgent, kAddress));
}

TEST(UrlExistsTest, SendsTheAgentWithFlagsZeroAndNeverReadsTheBody) {
  FakeHttp http;
  http.replies[kAddress] = FakeReply{true, 200, {std::string("body")}};
  EXPECT_TRUE(UrlExists(http, kAgent, kAddress));
  EXPECT_THAT(http.log.agents, ElementsAre(kAgent));
  EXPECT_THAT(http.log.flags, ElementsAre(0u));
  EXPECT_THAT(http.log.events,
              ElementsAre("open client", "open request", "status", "close request", "close client"));
}

TEST(UrlExistsTest, FailedOpensAnswerFalseAndCloseWhatWasOpened) {
  FakeHttp http;
  http.client_opens = false;
  EXPECT_FALSE(UrlExists(http, kAgent, kAddress));
  EXPECT_THAT(http.log.events, ElementsAre("open client"));

  http.client_opens = true;
  http.log = {};
  EXPECT_FALSE(UrlExists(http, kAgent, "http://unreachable.test/"));
  EXPECT_THAT(http.log.events, ElementsAre("open client", "open request", "close client"));
}

TEST(FetchUrlTextTest, GathersEveryChunkUntilAnEmptyRead) {
  FakeHttp http;
  const std::string full(1024, 'a');
  http.replies[kAddress] = FakeReply{true, 200, {full, std::string("bc"), std::string("d")}};
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), full + "bcd");
  EXPECT_THAT(http.log.flags, ElementsAre(kInternetFlagExistingConnect));
  EXPECT_THAT(http.log.read_sizes, Each(1024u));
  EXPECT_EQ(http.log.read_sizes.size(), 4u);  // three chunks and the empty read
  EXPECT_EQ(http.log.events.back(), "close client");
  EXPECT_EQ(http.log.events[http.log.events.size() - 2], "close request");
}

TEST(FetchUrlTextTest, ZeroBytesAreKeptWithEverythingAfterThem) {
  FakeHttp http;
  http.replies[kAddress] =
      FakeReply{true, 200, {std::string("AAAA\0BBBB", 9), std::string("ef"), std::string("\0g", 2)}};
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), std::string("AAAA\0BBBBef\0g", 13));
}

TEST(FetchUrlTextTest, FailedReadEndsTheLoopKeepingWhatCameBefore) {
  FakeHttp http;
  http.replies[kAddress] = FakeReply{true, 200, {std::string("first"), std::nullopt, std::string("x")}};
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), "first");
}

TEST(FetchUrlTextTest, StatusIsNotConsulted) {
  FakeHttp http;
  http.replies[kAddress] = FakeReply{true, 500, {std::string("\xA7" "down")}};
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), "\xA7" "down");
}

TEST(FetchUrlTextTest, NothingOpenedGivesEmptyText) {
  FakeHttp http;
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), "");
  http.client_opens = false;
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), "");
  http.client_opens = true;
  http.replies[kAddress] = FakeReply{true, 200, {}};
  EXPECT_EQ(FetchUrlText(http, kAgent, kAddress), "");
}

TEST(FetchUrlTextTest, StopsAtTheBodyLimit) {
  FakeHttp http;
  // An endless body: far more chunks than the limit allows.
  const std::size_t chunk_count = kHttpBodyLimit / 1000 + 50;
  http.replies[kAddress] = FakeReply{true, 200, {}};
  http.replies[kAddress].chunks.assign(chunk_count, std::string(1000, 'z'));
  const std::string text = FetchUrlText(http, kAgent, kAddress);
  EXPECT_EQ(text.size(), kHttpBodyLimit);
  EXPECT_LT(http.log.read_sizes.size(), chunk_count);
  EXPECT_EQ(http.log.events.back(), "close client");
}

}  // namespace
}  // namespace proclens
