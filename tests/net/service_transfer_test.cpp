#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/window_messages.h"
#include "net/endpoints.h"
#include "net/service_requests.h"
#include "net/service_transfer.h"
#include "net/usage_report.h"
#include "platform/code_page.h"
#include "platform/headless_message_loop.h"

namespace net {
namespace {

// What the stand-in transfer exports answer and what they saw. Tests run one at a time.
struct Exports {
  std::deque<std::pair<std::u16string, std::u16string>> replies;  // status, text
  std::vector<std::u16string> requested;
  std::vector<std::u16string> log;
  std::u16string imageError;
  int imageResult = 0;
  int internet = 1;
  std::u16string osName = u"Microsoft Windows 7 Ultimate";
  std::mutex mutex;  // the usage reports call from two workers at once
};
Exports* exports = nullptr;

void fill(char16_t* buffer, int bytes, const std::u16string& text) {
  const std::size_t units = std::min<std::size_t>(text.size(), bytes / 2 - 1);
  std::memcpy(buffer, text.data(), units * 2);
  buffer[units] = u'\0';
}

const char16_t* reply(const char16_t* url, char16_t* status) {
  std::lock_guard lock(exports->mutex);
  exports->requested.emplace_back(url);
  auto [s, t] = exports->replies.size() > 1 ? exports->replies.front() : exports->replies.back();
  if (exports->replies.size() > 1) exports->replies.pop_front();
  fill(status, 12, s);
  // As the library does: the text stays valid until the same thread calls again.
  static thread_local std::u16string text;
  text = t;
  return text.c_str();
}

extern "C" {
const char16_t* GetWebContent(const char16_t* url, char16_t* status) {
  return reply(url, status);
}
const char16_t* PostWebContent(const char16_t* url, const char16_t*, char16_t* status) {
  return reply(url, status);
}
void AppendLog(const char16_t*, const char16_t* line) {
  std::lock_guard lock(exports->mutex);
  exports->log.emplace_back(line);
}
int DownloadImageByUrl(const char16_t*, const char16_t*, char16_t* error) {
  fill(error, 256, exports->imageError);
  return exports->imageResult;
}
int CheckCanVisitInternent() {
  return exports->internet;
}
const char16_t* CombinURL(const char16_t* base, const char16_t* relative) {
  static thread_local std::u16string joined;
  joined = std::u16string(base) + u"/" + relative;
  return joined.c_str();
}
const char16_t* GetOSName() {
  return exports->osName.c_str();
}
const char16_t* GetMacAddress() {
  return u"00-11-22-33-44-55";
}
const char16_t* GetComputerName() {
  return u"site office";
}
}

class ServiceTransfer : public ::testing::Test {
 protected:
  ServiceTransfer() {
    exports = &state;
    const std::map<std::string, void*> table = {
        {"GetWebContent", reinterpret_cast<void*>(&GetWebContent)},
        {"PostWebContent", reinterpret_cast<void*>(&PostWebContent)},
        {"AppendLog", reinterpret_cast<void*>(&AppendLog)},
        {"DownloadImageByUrl", reinterpret_cast<void*>(&DownloadImageByUrl)},
        {"CheckCanVisitInternent", reinterpret_cast<void*>(&CheckCanVisitInternent)},
        {"CombinURL", reinterpret_cast<void*>(&CombinURL)},
        {"GetOSName", reinterpret_cast<void*>(&GetOSName)},
        {"GetMacAddress", reinterpret_cast<void*>(&GetMacAddress)},
        {"GetComputerName", reinterpret_cast<void*>(&GetComputerName)},
    };
    lib = core::ZelkLibBinding([table](const char* name) -> void* {
      const auto it = table.find(name);
      return it == table.end() ? nullptr : it->second;
    });
  }
  ~ServiceTransfer() override { exports = nullptr; }

  Exports state;
  core::ZelkLibBinding lib;
};

TEST(StatusText, ReadsAsAtoiDoes) {
  EXPECT_TRUE(IsSuccessStatus(u"1"));
  EXPECT_TRUE(IsSuccessStatus(u"01"));
  EXPECT_TRUE(IsSuccessStatus(u"1x"));
  EXPECT_TRUE(IsSuccessStatus(u" 1"));
  EXPECT_FALSE(IsSuccessStatus(u""));
  EXPECT_FALSE(IsSuccessStatus(u"0"));
  EXPECT_FALSE(IsSuccessStatus(u"11"));
  EXPECT_FALSE(IsSuccessStatus(u"x1"));
}

TEST_F(ServiceTransfer, AHijackedGetIsSentSixTimesAndTheSixthReplyIsKept) {
  for (int i = 1; i <= 7; ++i) {
    state.replies.push_back(
        {i == 6 ? u"0" : u"1", u"<a href=ipush_jsp/server.jsp>" + std::u16string(1, u'0' + i)});
  }
  std::string replyAnsi = "old";
  EXPECT_FALSE(GetServiceContent(lib, u"http://h/zelk/NewsApi.aspx?count=6", replyAnsi));
  EXPECT_EQ(state.requested.size(), 6u);
  EXPECT_EQ(replyAnsi, "<a href=ipush_jsp/server.jsp>6");
  ASSERT_EQ(state.log.size(), 6u);
  for (const auto& line : state.log)
    EXPECT_EQ(line, u"本次请求被网络运行商重定向劫持，需要重新请求.");
}

TEST_F(ServiceTransfer, AGetStopsRetryingOnceTheOperatorLetsItThrough) {
  state.replies = {
      {u"1", u"ipush_jsp/server.jsp"}, {u"1", u"ipush_jsp/server.jsp"}, {u"1", u"{\"result\":1}"}};
  std::string replyAnsi;
  EXPECT_TRUE(GetServiceContent(lib, u"http://h/x", replyAnsi));
  EXPECT_EQ(replyAnsi, "{\"result\":1}");
  EXPECT_EQ(state.requested.size(), 3u);
  EXPECT_EQ(state.log.size(), 2u);
}

TEST_F(ServiceTransfer, APostIsSentOnceEvenWhenHijacked) {
  state.replies = {{u"1", u"ipush_jsp/server.jsp"}};
  std::string replyAnsi;
  EXPECT_TRUE(PostServiceContent(lib, u"http://h/p", u"appNames=a,b", replyAnsi));
  EXPECT_EQ(replyAnsi, "ipush_jsp/server.jsp");
  EXPECT_EQ(state.requested.size(), 1u);
  EXPECT_TRUE(state.log.empty());
}

TEST_F(ServiceTransfer, SuccessWithAnEmptyReplyIsSuccessAndTheReplyIsReplaced) {
  state.replies = {{u"1", u""}};
  std::string replyAnsi = "previous";
  EXPECT_TRUE(GetServiceContent(lib, u"http://h/x", replyAnsi));
  EXPECT_EQ(replyAnsi, "");
}

TEST_F(ServiceTransfer, WithoutTheLibraryEveryTransferFailsQuietly) {
  core::ZelkLibBinding none;
  std::string replyAnsi = "x";
  EXPECT_FALSE(GetServiceContent(none, u"http://h/x", replyAnsi));
  EXPECT_EQ(replyAnsi, "");
  EXPECT_FALSE(PostServiceContent(none, u"http://h/x", u"", replyAnsi));
  EXPECT_EQ(DownloadImageFile(none, u"http://h/a.png", u"/tmp/a.png"), 0);
  EXPECT_FALSE(CanVisitInternet(none));
  EXPECT_EQ(BuildServiceUrl(none, endpoints::kNews), u"");
  EXPECT_EQ(AddRandomUrlParam(none, u"http://h/x"), u"http://h/x");
  EXPECT_EQ(UrlEncodeText(none, u"http://h/a b"), u"http://h/a b");
  EXPECT_EQ(EncryptText(none, "13800000000"), "13800000000");
  EXPECT_EQ(GetShortOSName(none), u"");
}

TEST_F(ServiceTransfer, OnlyA404AfterOtherTextOfAnImageFailureIsLogged) {
  EXPECT_EQ(DownloadImageFile(lib, u"", u"/tmp/a.png"), 0);
  state.imageError = u" 404 Not Found";
  EXPECT_EQ(DownloadImageFile(lib, u"http://h/a.png", u"/tmp/a.png"), 0);
  EXPECT_TRUE(state.log.empty());
  state.imageError = u"HTTP 404 Not Found";
  EXPECT_EQ(DownloadImageFile(lib, u"http://h/a.png", u"/tmp/a.png"), 0);
  ASSERT_EQ(state.log.size(), 1u);
  EXPECT_EQ(state.log[0], u"HTTP 404 Not Found");
  state.imageError = u"HTTP 500";
  EXPECT_EQ(DownloadImageFile(lib, u"http://h/a.png", u"/tmp/a.png"), 0);
  EXPECT_EQ(state.log.size(), 1u);
  state.imageResult = 7;
  EXPECT_EQ(DownloadImageFile(lib, u"http://h/a.png", u"/tmp/a.png"), 7);
}

struct MainWindow : platform::MessageTarget {
  std::vector<std::uint32_t> received;
  void onMessage(platform::Message& message) override { received.push_back(message.message); }
};

TEST_F(ServiceTransfer, AFailedRequestSignalsTheNetworkLossOnlyWhenTheInternetIsGone) {
  platform::HeadlessMessageLoop loop;
  MainWindow window;
  const core::ServiceContext context{&lib, &loop, loop.addTarget(window)};
  ReportRequestFailure(context);
  loop.pumpFor(0);
  EXPECT_TRUE(window.received.empty());
  state.internet = 0;
  ReportRequestFailure(context);
  loop.pumpFor(0);
  EXPECT_EQ(window.received, (std::vector<std::uint32_t>{core::WM_NETWORK_ERROR}));
}

TEST_F(ServiceTransfer, UsageReportsCarryTheSystemIdentityUnescapedOnAWorker) {
  platform::HeadlessMessageLoop loop;
  MainWindow window;
  const core::ServiceContext context{&lib, &loop, loop.addTarget(window)};
  state.replies = {{u"0", u""}};
  state.internet = 0;
  ReportUserBehavior(context, u"KnowlegeSearch & more", BehaviorKind::Knowledge);
  ReportClientStart(context);
  ASSERT_TRUE(loop.waitIdle(5000));
  EXPECT_TRUE(state.log.empty());
  ASSERT_EQ(state.requested.size(), 2u);
  std::sort(state.requested.begin(), state.requested.end());
  EXPECT_EQ(
      state.requested[0],
      ServiceBaseUrl() +
          u"/zelk/RecordUserBehavior.aspx?req=0&osName=Windows 7"
          u"&mac=00-11-22-33-44-55&computerName=site office&behaviorName=KnowlegeSearch & more"
          u"&behaviorKind=2");
  EXPECT_EQ(state.requested[1], ServiceBaseUrl() +
                                    u"/zelk/RecordUserBehavior.aspx?req=1&osName=Windows 7"
                                    u"&mac=00-11-22-33-44-55&computerName=site office");
  EXPECT_EQ(window.received.size(), 2u);  // each failed report raised the signal
}

TEST_F(ServiceTransfer, WithoutAJoinedBaseAReportGoesOutEmptyAndFailsTheOrdinaryWay) {
  const core::ZelkLibBinding noJoin([this](const char* name) -> void* {
    return std::strcmp(name, "CombinURL") == 0 ? nullptr : lib.symbol(name);
  });
  platform::HeadlessMessageLoop loop;
  MainWindow window;
  const core::ServiceContext context{&noJoin, &loop, loop.addTarget(window)};
  state.replies = {{u"0", u""}};
  state.internet = 0;
  ReportClientStart(context);
  ASSERT_TRUE(loop.waitIdle(5000));
  EXPECT_EQ(state.requested, (std::vector<std::u16string>{u""}));
  EXPECT_TRUE(state.log.empty());  // not refused as too long
  EXPECT_EQ(window.received, (std::vector<std::uint32_t>{core::WM_NETWORK_ERROR}));
}

TEST_F(ServiceTransfer, OtherSystemsThanWindowsAreNotReadThroughTheWindowsTable) {
  state.osName = u"Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-28-amd64 x86_64)";
  EXPECT_EQ(GetShortOSName(lib), u"Linux");
  state.osName = u"Ubuntu 22.04.3 LTS (Linux 5.15.90.1-microsoft-standard-WSL2 x86_64)";
  EXPECT_EQ(GetShortOSName(lib), u"Linux");
  state.osName = u"microsoft windows 8.1";
  EXPECT_EQ(GetShortOSName(lib), u"Windows 8.1");
  state.osName = u"";
  EXPECT_EQ(GetShortOSName(lib), u"Windows");
}

TEST_F(ServiceTransfer, AnOverlongRequestIsRefusedWithALogLineAndNothingIsSent) {
  platform::HeadlessMessageLoop loop;
  MainWindow window;
  const core::ServiceContext context{&lib, &loop, loop.addTarget(window)};
  ReportUserBehavior(context, std::u16string(3000, u'x'), BehaviorKind::AppStarted);
  ASSERT_TRUE(loop.waitIdle(5000));
  EXPECT_TRUE(state.requested.empty());
  ASSERT_EQ(state.log.size(), 1u);
  EXPECT_NE(state.log[0].find(u"超出长度限制"), std::u16string::npos);
}

}  // namespace
}  // namespace net
