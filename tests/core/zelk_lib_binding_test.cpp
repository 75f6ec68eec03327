#include "core/zelk_lib_binding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

#include "core/app_log.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace core {
namespace {

// Every wrapper answers the fallback its export's contract gives.
void ExpectEveryFallback(const ZelkLibBinding& lib) {
  const std::u16string dir = u"/nowhere";
  EXPECT_NO_THROW(lib.AppendLog(dir, u"line"));
  EXPECT_FALSE(lib.StringCompare(u"a", u"a"));
  EXPECT_FALSE(lib.StringStartWith(u"abc", u"a"));
  EXPECT_FALSE(lib.StringEndWith(u"abc", u"c"));
  EXPECT_EQ(lib.StringToDWORD(u"12"), 0u);

  EXPECT_FALSE(lib.FileExist(u"/"));
  EXPECT_FALSE(lib.FileDelete(u"/x"));
  EXPECT_FALSE(lib.PathExist(u"/"));
  EXPECT_FALSE(lib.PathDelete(u"/x"));
  EXPECT_FALSE(lib.MoveDir(u"/a", u"/b"));
  EXPECT_FALSE(lib.UnZipFile(u"/a.zip", u"/b"));
  EXPECT_FALSE(lib.TryCreateFolderPathByFileName(u"/a/b"));
  EXPECT_FALSE(lib.CheckFileIsUsing(u"/a"));
  EXPECT_EQ(lib.GetFileExt(u"a.pdf"), u"");
  EXPECT_EQ(lib.GetFileName(u"/a/b.pdf"), u"");
  EXPECT_EQ(lib.GetFileParentDirectoryName(u"/a/b.pdf"), u"");
  EXPECT_FALSE(lib.GetFileSizeAndVersion(u"/a").read);

  EXPECT_FALSE(lib.HasRunningInstance(u"Zelk"));
  EXPECT_FALSE(lib.SendMsgToRunningInstance(u"Zelk", 0x463, u""));
  EXPECT_NO_THROW(lib.WriteDataToUrlProtocolShareMemory(u"Zelk://x"));
  EXPECT_EQ(lib.ReadDataFromUrlProtocolShareMemory(), u"");
  EXPECT_FALSE(lib.WriteDataToZelkInterfaceShareMemory(u"127.0.0.1"));

  std::u16string status = u"stale";
  EXPECT_EQ(lib.NeedUpdateZelkEnviroment(dir, status), u"");
  EXPECT_EQ(status, u"");
  EXPECT_FALSE(lib.TryRegisterZelkEnviroment(dir, u"0"));
  EXPECT_EQ(lib.TrySetIE_FEATURE_BROWSER_EMULATION(u"Zelk"), 0);
  EXPECT_FALSE(lib.CheckNeedUpdate(dir));
  EXPECT_NO_THROW(lib.SetUnShowIntroduce(dir));

  const StoredSkin skin = lib.LoadSkinData(dir);
  EXPECT_EQ(skin.imageMode, u"0");
  EXPECT_EQ(skin.colour, u"0");
  EXPECT_EQ(skin.image, u"");
  EXPECT_NO_THROW(lib.SaveSkinData(dir, 1, 5, u"a.png"));
  EXPECT_EQ(lib.LoadOptionData(dir), u"");
  EXPECT_NO_THROW(lib.SaveOptionData(dir, u"/d"));
  const StoredLogin login = lib.LoadLoginData(dir);
  EXPECT_EQ(login.loginId, u"");
  EXPECT_EQ(login.password, u"");
  EXPECT_TRUE(login.remember);
  EXPECT_TRUE(login.autoLogin);
  EXPECT_NO_THROW(lib.SaveLoginData(dir, u"id", u"pw", true, false));

  EXPECT_EQ(lib.EncryptStr(u"pw"), u"");
  EXPECT_FALSE(lib.IsMobileNumber(u"13800000000"));
  EXPECT_EQ(lib.GetTrueMobileNumber(u"+86 138"), u"+86 138");

  status = u"stale";
  EXPECT_EQ(lib.GetWebContent(u"http://h/", status), u"");
  EXPECT_EQ(status, u"");
  status = u"stale";
  EXPECT_EQ(lib.PostWebContent(u"http://h/", u"a=1", status), u"");
  EXPECT_EQ(status, u"");
  EXPECT_EQ(lib.CombinURL(u"http://h/", u"x"), u"");
  EXPECT_EQ(lib.CombinURLRandomParamArge(u"http://h/x"), u"http://h/x");
  EXPECT_EQ(lib.UrlEncode(u"a b"), u"a b");
  std::u16string error = u"stale";
  EXPECT_EQ(lib.DownloadImageByUrl(u"http://h/a.png", u"/tmp/a.png", error), 0);
  EXPECT_EQ(error, u"");
  EXPECT_FALSE(lib.CheckCanVisitInternent());

  EXPECT_EQ(lib.GetOSName(), u"");
  EXPECT_EQ(lib.GetMacAddress(), u"");
  EXPECT_EQ(lib.GetComputerName(), u"");
  EXPECT_EQ(lib.GetIEVersion(), u"");
  EXPECT_FALSE(lib.IsWin64());
  EXPECT_EQ(lib.GetAllInstallFrameworks(), u"");
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV11());
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV20());
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV30());
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV35());
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV40());
  EXPECT_FALSE(lib.HasInstallDotNetFrameworkV45());
  EXPECT_FALSE(lib.InstallDoNetFramework4BySilent(u"/p", u"/p/x"));
}

ZelkLibBinding OpenFake() {
  return ZelkLibBinding(platform::DynamicLibrary::open(ZELK_FAKE_LIBRARY));
}

class FakeLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib_.loaded());
    lib_.setProgramDirectory(platform::Utf8ToUtf16(dir_.path()));
  }
  std::string log() const {
    std::string content;
    platform::ReadWholeFile(dir_.file("fake.log"), content);
    return content;
  }

  testing_support::TempDir dir_;
  ZelkLibBinding lib_ = OpenFake();
};

TEST(ZelkLibBindingFallbacks, WithoutLibraryEveryWrapperAnswersItsFallback) {
  const ZelkLibBinding lib;
  EXPECT_FALSE(lib.loaded());
  ExpectEveryFallback(lib);
}

TEST(ZelkLibBindingFallbacks, LibraryThatCannotBeOpenedBehavesAsNone) {
  const ZelkLibBinding lib(platform::DynamicLibrary::open("/nonexistent/libZelkLib.so"));
  EXPECT_FALSE(lib.loaded());
  ExpectEveryFallback(lib);
}

TEST(ZelkLibBindingFallbacks, LoadedLibraryWithoutAnyExportAnswersEveryFallback) {
  std::set<std::string> asked;
  const ZelkLibBinding lib([&asked](const char* name) -> void* {
    asked.insert(name);
    return nullptr;
  });
  EXPECT_TRUE(lib.loaded());
  ExpectEveryFallback(lib);
  // Each wrapper asked for its own export by its exact name.
  for (const char* name : {"AppendLog", "StringToDWORD", "GetFileSizeAndVersion",
                           "TrySetIE_FEATURE_BROWSER_EMULATION", "CombinURLRandomParamArge",
                           "HasInstallDotNetFrameworkV45", "InstallDoNetFramework4BySilent",
                           "NeedUpdateZelkEnviroment", "ReadDataFromUrlProtocolShareMemory"}) {
    EXPECT_EQ(asked.count(name), 1u) << name;
  }
  EXPECT_EQ(asked.size(), 56u);  // every export of the shared header
}

TEST(ZelkLibBindingLookup, ExportIsLookedUpAgainOnEveryCall) {
  platform::DynamicLibrary fake = platform::DynamicLibrary::open(ZELK_FAKE_LIBRARY);
  ASSERT_TRUE(fake.loaded());
  bool hidden = true;
  int lookups = 0;
  const ZelkLibBinding lib([&](const char* name) -> void* {
    ++lookups;
    return hidden ? nullptr : fake.symbol(name);
  });
  EXPECT_EQ(lib.GetFileExt(u"pdf"), u"");
  hidden = false;
  EXPECT_EQ(lib.GetFileExt(u"pdf"), u".pdf");
  EXPECT_EQ(lookups, 2);
}

TEST_F(FakeLibraryTest, MissingExportsOfALoadedLibraryAnswerTheirFallback) {
  EXPECT_FALSE(lib_.StringEndWith(u"abc", u"c"));
  EXPECT_EQ(lib_.GetTrueMobileNumber(u"+86 138 0000 0000"), u"+86 138 0000 0000");
  EXPECT_EQ(lib_.GetOSName(), u"");
  EXPECT_FALSE(lib_.HasRunningInstance(u"Zelk"));
}

TEST_F(FakeLibraryTest, YesCountsOnlyWhenTheExportAnsweredExactlyOne) {
  EXPECT_TRUE(lib_.FileExist(u"1"));
  EXPECT_FALSE(lib_.FileExist(u"0"));
  EXPECT_FALSE(lib_.FileExist(u"2"));
  EXPECT_FALSE(lib_.FileExist(u"-1"));
  EXPECT_FALSE(lib_.IsWin64());  // the fake answers 2
  EXPECT_TRUE(lib_.CheckCanVisitInternent());
  EXPECT_TRUE(lib_.StringCompare(u"same", u"same"));
  EXPECT_FALSE(lib_.StringCompare(u"same", u"other"));
  EXPECT_EQ(lib_.StringToDWORD(u"4278190335"), 4278190335u);
}

TEST_F(FakeLibraryTest, ReturnedTextsAreCopiedBeforeTheLibraryReusesItsBuffer) {
  const std::u16string first = lib_.GetFileExt(u"pdf");
  const std::u16string second = lib_.GetFileExt(u"doc");
  EXPECT_EQ(first, u".pdf");
  EXPECT_EQ(second, u".doc");
  std::u16string status;
  const std::u16string reply = lib_.GetWebContent(u"http://h/a", status);
  lib_.GetWebContent(u"http://h/b", status);
  EXPECT_EQ(reply, u"reply:http://h/a");
}

TEST_F(FakeLibraryTest, OutBuffersHaveTheContractSizesAndComeBackWhole) {
  const FileSizeAndVersion read = lib_.GetFileSizeAndVersion(u"/app/Zelk");
  ASSERT_TRUE(read.read);
  EXPECT_EQ(read.sizeText, std::u16string(25, u'7'));
  EXPECT_EQ(read.version, std::u16string(49, u'3'));
  EXPECT_FALSE(lib_.GetFileSizeAndVersion(u"missing").read);

  std::u16string status;
  EXPECT_EQ(lib_.NeedUpdateZelkEnviroment(u"/app", status), u"需要注册环境");
  EXPECT_EQ(status, u"1");

  const StoredSkin skin = lib_.LoadSkinData(u"/app");
  EXPECT_EQ(skin.imageMode, u"1");
  EXPECT_EQ(skin.colour, u"4278190335");
  EXPECT_EQ(skin.image, u"bg.png");

  const StoredLogin login = lib_.LoadLoginData(u"/app");
  EXPECT_EQ(login.loginId, u"13800000000");
  EXPECT_EQ(login.password, u"secret");
  EXPECT_TRUE(login.remember);
  EXPECT_FALSE(login.autoLogin);
}

TEST_F(FakeLibraryTest, AnUnterminatedStatusBufferIsCutAtItsLastUnit) {
  std::u16string status;
  EXPECT_EQ(lib_.GetWebContent(u"full", status), u"reply:full");
  EXPECT_EQ(status, u"99999");
}

TEST_F(FakeLibraryTest, TransfersHandBackReplyStatusAndErrorText) {
  std::u16string status;
  EXPECT_EQ(lib_.GetWebContent(u"http://h/", status), u"reply:http://h/");
  EXPECT_EQ(status, u"1");
  status.clear();
  EXPECT_EQ(lib_.PostWebContent(u"http://h/", u"appNames=a,b", status), u"posted:appNames=a,b");
  EXPECT_EQ(status, u"1");
  std::u16string error;
  EXPECT_EQ(lib_.DownloadImageByUrl(u"http://h/a.png", u"/tmp/a.png", error), 3);
  EXPECT_EQ(error, u"");
  EXPECT_EQ(lib_.DownloadImageByUrl(u"gone", u"/tmp/a.png", error), 0);
  EXPECT_EQ(error, u"HTTP 404 Not Found");
}

TEST_F(FakeLibraryTest, RandomArgumentFallsBackToTheInputWhenTheLibraryAnswersEmpty) {
  EXPECT_EQ(lib_.CombinURLRandomParamArge(u"http://h/p"), u"http://h/p?r=42");
  EXPECT_EQ(lib_.CombinURLRandomParamArge(u"empty"), u"empty");
}

TEST_F(FakeLibraryTest, QuietWrappersSwallowWhatTheLibraryRaises) {
  EXPECT_FALSE(lib_.StringCompare(u"throw", u"throw"));
  EXPECT_FALSE(lib_.StringStartWith(u"throw", u"t"));
  EXPECT_FALSE(lib_.UnZipFile(u"/a.zip", u"/b"));
  EXPECT_EQ(lib_.UrlEncode(u"throw"), u"throw");
  EXPECT_EQ(lib_.UrlEncode(u"a b"), u"enc:a b");
  EXPECT_EQ(log(), "");
}

TEST_F(FakeLibraryTest, OtherWrappersLetWhatTheLibraryRaisesReachTheCaller) {
  EXPECT_THROW(lib_.FileExist(u"throw"), std::runtime_error);
}

TEST_F(FakeLibraryTest, GetFailuresAreLoggedByKindOfRaisedValue) {
  std::u16string status = u"stale";
  EXPECT_EQ(lib_.GetWebContent(u"std", status), u"");
  EXPECT_EQ(status, u"");
  lib_.GetWebContent(u"str", status);
  lib_.GetWebContent(u"cstr", status);
  lib_.GetWebContent(u"int", status);
  EXPECT_EQ(log(),
            "请求网址失败，失败原因:connection refused，图片网址:std\n"
            "请求网址失败，失败原因:bad reply，图片网址:str\n"
            "请求网址失败，失败原因:no route，图片网址:cstr\n"
            "未知异常造成请求网址int失败\n");
}

TEST_F(FakeLibraryTest, PostFailuresAreLoggedByKindOfRaisedValue) {
  std::u16string status;
  EXPECT_EQ(lib_.PostWebContent(u"std", u"a=1", status), u"");
  lib_.PostWebContent(u"int", u"a=1", status);
  EXPECT_EQ(log(),
            "提交网址失败，失败原因:connection refused，图片网址:std\n"
            "未知异常造成提交网址int失败\n");
}

TEST_F(FakeLibraryTest, DownloadFailuresAreLoggedByKindOfRaisedValue) {
  std::u16string error;
  EXPECT_EQ(lib_.DownloadImageByUrl(u"str", u"/tmp/a.png", error), 0);
  EXPECT_EQ(lib_.DownloadImageByUrl(u"int", u"/tmp/a.png", error), 0);
  EXPECT_EQ(log(),
            "下载图片失败，失败原因:bad reply，图片网址:str\n"
            "未知原因造成下载图片失败，图片网址:int\n");
}

TEST_F(FakeLibraryTest, WriteLogPassesTheProgramDirectoryAndTheLine) {
  WriteLog(lib_, std::string_view("Init Begin"));
  WriteLog(lib_, std::u16string_view(u"接收到URL协议"));
  EXPECT_EQ(log(), "Init Begin\n接收到URL协议\n");
}

TEST_F(FakeLibraryTest, WriteLogReadsItsEightBitLineInTheSystemCodePage) {
  platform::SetAnsiCodesetOverride("GBK");
  WriteLog(lib_, std::string_view("\xC4\xE3\xBA\xC3"));  // "你好" in GBK
  platform::SetAnsiCodesetOverride("");
  EXPECT_EQ(log(), "你好\n");
}

}  // namespace
}  // namespace core
