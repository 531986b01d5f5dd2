// One update query over the scripted internet: what is sent, how the body is read, and when the check fails.
#include <gtest/gtest.h>

#include <string>

#include "platform/host/MemoryEnvironment.h"
#include "platform/host/ScriptedHttp.h"
#include "unit/update/ReplyBuilder.h"
#include "update/UpdateChecker.h"
#include "update/UpdateReply.h"

namespace tc {
namespace {

using namespace test;

const std::u16string kBase = u"http://updates.test/update/1/";
const std::u16string kAddress = kBase + u"?version=1.1.1.0&source=program";

class UpdateCheckerTest : public ::testing::Test {
 protected:
  bool Check(ScriptedHttp::Reply reply) {
    http.Serve(kAddress, std::move(reply));
    return checker.CheckForUpdates(http, environment);
  }

  ScriptedHttp http;
  MemoryEnvironment environment;
  UpdateChecker checker{kBase};
};

TEST_F(UpdateCheckerTest, SendsOneGetWithTheVersionAndTheFixedRequestSettings) {
  ASSERT_TRUE(Check({ValidBody(0x01020304, "http://a.test/new")}));
  EXPECT_EQ(http.agents, std::vector<std::u16string>{u"WebUpdateChecker"});
  EXPECT_EQ(http.proxies, std::vector<HttpProxy>{HttpProxy::Preconfigured});
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(http.requests[0].url, kAddress);
  EXPECT_EQ(http.requests[0].headers, u"Content-type: text/plain");
  EXPECT_EQ(http.requests[0].flags, 0x84000300u);
  EXPECT_EQ(checker.ServerVersion(), 0x01020304u);
  EXPECT_EQ(checker.DownloadUrl(), u"http://a.test/new");
}

TEST(UpdateChecker, SendsEachPartOfItsVersionInDecimal) {
  EXPECT_EQ(UpdateChecker(u"http://u.test/update/1/", 0xFF0A0009).RequestAddress(),
            u"http://u.test/update/1/?version=255.10.0.9&source=program");
  EXPECT_EQ(UpdateChecker(TC_UPDATE_URL).RequestAddress(),
            std::u16string(TC_UPDATE_URL) + u"?version=1.1.1.0&source=program");
}

TEST_F(UpdateCheckerTest, ReadsInChunksOf256BytesUntilTheEmptyRead) {
  ASSERT_TRUE(Check({ValidBody(1, "http://a.test/" + std::string(1000, 'x')), 256}));
  ASSERT_FALSE(http.readSizes.empty());
  for (std::size_t size : http.readSizes) EXPECT_EQ(size, 256u);
  // 1,357 bytes: five full chunks and one short one, then the read that finds the end.
  EXPECT_EQ(http.readSizes.size(), 7u);
}

TEST_F(UpdateCheckerTest, SucceedsWithAValidReplyJustUnderTheLimit) {
  // 786,429 bytes of records are 1,048,572 characters of Base64: with the "*", three bytes under the limit.
  const std::string fixed = VersionRecord(0x02000000) + AddressRecord("http://a.test/") + Record(9, "");
  const std::string body = Body(VersionRecord(0x02000000) + AddressRecord("http://a.test/") +
                                Record(9, std::string(786429 - fixed.size(), 'f')));
  ASSERT_EQ(body.size(), kUpdateReplyLimit - 3);
  EXPECT_TRUE(Check({body, 256}));
  EXPECT_EQ(checker.ServerVersion(), 0x02000000u);
}

TEST_F(UpdateCheckerTest, ReadsABodyOfExactlyTheLimitToItsEnd) {
  // Read whole, then refused only because 2^20 - 1 characters can't be Base64.
  EXPECT_FALSE(Check({"*" + std::string(kUpdateReplyLimit - 1, 'A'), 256}));
  ASSERT_EQ(http.readSizes.size(), kUpdateReplyLimit / 256 + 1);
}

TEST_F(UpdateCheckerTest, StopsAtTheChunkThatCrossesTheLimit) {
  EXPECT_FALSE(Check({"*" + std::string(kUpdateReplyLimit + 4096, 'A'), 256}));
  EXPECT_EQ(http.readSizes.size(), kUpdateReplyLimit / 256 + 1);
}

TEST_F(UpdateCheckerTest, StopsAtTheFirstChunkWithoutTheStar) {
  EXPECT_FALSE(Check({"<html>" + std::string(5000, ' '), 256}));
  EXPECT_EQ(http.readSizes.size(), 1u);
}

TEST_F(UpdateCheckerTest, FailsAndClosesEveryHandleOnEveryPath) {
  const std::string valid = ValidBody(0x01010101, "http://a.test/");
  const struct {
    const char* name;
    bool sessionsFail;
    bool served;
    ScriptedHttp::Reply reply;
    bool expected;
  } cases[] = {
      {"success", false, true, {valid}, true},
      {"no internet handle", true, true, {valid}, false},
      {"no connection", false, false, {valid}, false},
      {"first read fails", false, true, {valid, 256, 0}, false},
      {"later read fails", false, true, {valid, 8, 2}, false},
      {"final read fails", false, true, {valid, 256, 1}, false},
      {"empty body", false, true, {""}, false},
      {"no star", false, true, {valid.substr(1)}, false},
      {"trailing line break", false, true, {valid + "\r\n"}, false},
      {"no address record", false, true, {Body(VersionRecord(0x01010101))}, false},
  };
  for (const auto& c : cases) {
    ScriptedHttp fresh;
    fresh.sessionsFail = c.sessionsFail;
    if (c.served) fresh.Serve(kAddress, c.reply);
    UpdateChecker check(kBase);
    EXPECT_EQ(check.CheckForUpdates(fresh, environment), c.expected) << c.name;
    EXPECT_EQ(fresh.openHandles, 0) << c.name;
    EXPECT_LE(fresh.requests.size(), 1u) << c.name;
  }
}

TEST_F(UpdateCheckerTest, ForgetsTheLastReplyBeforeEachRequest) {
  ASSERT_TRUE(Check({ValidBody(0x05000000, "http://a.test/")}));
  EXPECT_FALSE(Check({"*AAAA"}));
  EXPECT_EQ(checker.ServerVersion(), 0u);
  EXPECT_EQ(checker.DownloadUrl(), u"");
}

TEST_F(UpdateCheckerTest, RefusesANewerVersionWhoseAddressIsNotAWebAddress) {
  for (const char* address : {"file:///C:/Windows/System32/calc.exe", "C:\\Windows\\System32\\calc.exe",
                              "\\\\attacker\\share\\setup.exe", "javascript:alert(1)", "", "http://a.test/\" -x"}) {
    EXPECT_FALSE(Check({ValidBody(0x09000000, address)})) << address;
    EXPECT_EQ(checker.ServerVersion(), 0u) << address;
    EXPECT_EQ(checker.DownloadUrl(), u"") << address;
    // An address that is never opened may hold anything: the same or an older version is still the answer.
    EXPECT_TRUE(Check({ValidBody(0x01010100, address)})) << address;
    EXPECT_TRUE(Check({ValidBody(0x01000000, address)})) << address;
  }
}

TEST_F(UpdateCheckerTest, ReadsTheAddressInTheAnsiCodePage) {
  ASSERT_TRUE(Check({ValidBody(1, "http://a.test/\x80\xE9")}));
  EXPECT_EQ(checker.DownloadUrl(), u"http://a.test/\u20AC\u00E9");
}

}  // namespace
}  // namespace tc
