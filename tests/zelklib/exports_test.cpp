// The shipped library as the client meets it: loaded with dlopen from the application folder,
// every export looked up by name and called with the buffer sizes the client passes.

#include <elf.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "http_server.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "support/temp_dir.h"
#include "zelklib/shared_text.h"
#include "zelklib/zelklib_exports.h"

namespace {

namespace fs = std::filesystem;
using platform::Utf16ToUtf8;

// The export table of the client's binding, written out independently of the header.
const std::set<std::string> kExportNames = {"AppendLog",
                                            "StringCompare",
                                            "StringStartWith",
                                            "StringEndWith",
                                            "StringToDWORD",
                                            "FileExist",
                                            "FileDelete",
                                            "PathExist",
                                            "PathDelete",
                                            "MoveDir",
                                            "UnZipFile",
                                            "TryCreateFolderPathByFileName",
                                            "CheckFileIsUsing",
                                            "GetFileExt",
                                            "GetFileName",
                                            "GetFileParentDirectoryName",
                                            "GetFileSizeAndVersion",
                                            "HasRunningInstance",
                                            "SendMsgToRunningInstance",
                                            "WriteDataToUrlProtocolShareMemory",
                                            "ReadDataFromUrlProtocolShareMemory",
                                            "WriteDataToZelkInterfaceShareMemory",
                                            "NeedUpdateZelkEnviroment",
                                            "TryRegisterZelkEnviroment",
                                            "TrySetIE_FEATURE_BROWSER_EMULATION",
                                            "CheckNeedUpdate",
                                            "SetUnShowIntroduce",
                                            "LoadSkinData",
                                            "SaveSkinData",
                                            "LoadOptionData",
                                            "SaveOptionData",
                                            "LoadLoginData",
                                            "SaveLoginData",
                                            "EncryptStr",
                                            "IsMobileNumber",
                                            "GetTrueMobileNumber",
                                            "GetWebContent",
                                            "PostWebContent",
                                            "CombinURL",
                                            "CombinURLRandomParamArge",
                                            "UrlEncode",
                                            "DownloadImageByUrl",
                                            "CheckCanVisitInternent",
                                            "GetOSName",
                                            "GetMacAddress",
                                            "GetComputerName",
                                            "GetIEVersion",
                                            "IsWin64",
                                            "GetAllInstallFrameworks",
                                            "HasInstallDotNetFrameworkV11",
                                            "HasInstallDotNetFrameworkV20",
                                            "HasInstallDotNetFrameworkV30",
                                            "HasInstallDotNetFrameworkV35",
                                            "HasInstallDotNetFrameworkV40",
                                            "HasInstallDotNetFrameworkV45",
                                            "InstallDoNetFramework4BySilent"};

std::string libraryPath() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return std::string(app != nullptr ? app : "app") + "/" +
         platform::SharedLibraryFileName("ZelkLib");
}

// Names of the symbols the file defines for dynamic linking, read from its .dynsym section
// (what `nm -D --defined-only` lists).
std::set<std::string> definedDynamicSymbols(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (file.size() < sizeof(Elf64_Ehdr)) return names;
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(file.data());
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(file.data() + header->e_shoff);
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_DYNSYM) continue;
    const char* strings = file.data() + sections[sections[i].sh_link].sh_offset;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(file.data() + sections[i].sh_offset);
    const std::size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
    for (std::size_t k = 1; k < count; ++k) {
      if (symbols[k].st_shndx != SHN_UNDEF) names.insert(strings + symbols[k].st_name);
    }
  }
  return names;
}

// An out-buffer of the client's size followed by a guard area that must stay untouched.
template <int Bytes>
struct GuardedBuffer {
  static constexpr int kUnits = Bytes / 2;
  char16_t units[kUnits + 16];
  GuardedBuffer() { std::fill(std::begin(units), std::end(units), u'\xAAAA'); }
  char16_t* data() { return units; }
  std::u16string text() const { return std::u16string(units); }
  bool guardIntact() const {
    return std::all_of(units + kUnits, std::end(units), [](char16_t c) { return c == u'\xAAAA'; });
  }
  bool terminatedInside() const {
    return std::find(units, units + kUnits, u'\0') != units + kUnits;
  }
};

class Exports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = new platform::DynamicLibrary(platform::DynamicLibrary::open(libraryPath()));
  }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(library_->loaded()) << library_->error();
    setenv("XDG_RUNTIME_DIR", dir_.file("run").c_str(), 1);
    setenv("XDG_DATA_HOME", dir_.file("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir_.file("config").c_str(), 1);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
  void TearDown() override {
    // The shared memory the library made for this test's runtime folder.
    zelklib::RemoveSharedText(zelklib::SharedTextName(zelklib::SharedTextKind::UrlProtocol));
    zelklib::RemoveSharedText(zelklib::SharedTextName(zelklib::SharedTextKind::Interface));
  }
  template <class Function>
  Function* get(const char* name) {
    return reinterpret_cast<Function*>(library_->symbol(name));
  }
  std::u16string dir16(const std::string& relative = "") const {
    return platform::Utf8ToUtf16(relative.empty() ? dir_.path() : dir_.file(relative));
  }

  static platform::DynamicLibrary* library_;
  testing_support::TempDir dir_;
};

platform::DynamicLibrary* Exports::library_ = nullptr;

#define EXPORT(name) get<decltype(::name)>(#name)

TEST_F(Exports, TheLibraryExportsExactlyTheTableAndEveryNameResolves) {
  EXPECT_EQ(definedDynamicSymbols(libraryPath()), kExportNames);
  for (const auto& name : kExportNames) EXPECT_NE(library_->symbol(name.c_str()), nullptr) << name;
}

TEST_F(Exports, OutBuffersOfTheDocumentedSizesAreNeverOverrun) {
  const std::u16string dir = dir16();
  const std::u16string longText(400, u'长');
  EXPORT(SaveSkinData)(dir.c_str(), 1, 0xFFFFFFFFu, longText.c_str());
  EXPORT(SaveOptionData)(dir.c_str(), longText.c_str());
  EXPORT(SaveLoginData)(dir.c_str(), longText.c_str(), longText.c_str(), 1, 0);

  GuardedBuffer<kZelkStatusBufferBytes> mode, remember, autoLogin, status;
  GuardedBuffer<kZelkColourBufferBytes> colour;
  GuardedBuffer<kZelkPathBufferBytes> image, folder;
  GuardedBuffer<kZelkLoginBufferBytes> id, password;
  EXPORT(LoadSkinData)(dir.c_str(), mode.data(), colour.data(), image.data());
  EXPORT(LoadOptionData)(dir.c_str(), folder.data());
  EXPORT(LoadLoginData)(dir.c_str(), id.data(), password.data(), remember.data(), autoLogin.data());
  EXPECT_EQ(mode.text(), u"1");
  EXPECT_EQ(colour.text(), u"4294967295");
  EXPECT_EQ(image.text(), longText.substr(0, 127));
  EXPECT_EQ(folder.text(), longText.substr(0, 127));
  // A cut login would log in as somebody else: one that does not fit is not handed out.
  EXPECT_EQ(id.text(), u"");
  EXPECT_EQ(password.text(), u"");
  EXPECT_EQ(remember.text(), u"1");
  EXPECT_EQ(autoLogin.text(), u"0");
  for (bool intact : {mode.guardIntact(), colour.guardIntact(), image.guardIntact(),
                      folder.guardIntact(), id.guardIntact(), password.guardIntact(),
                      remember.guardIntact(), autoLogin.guardIntact()}) {
    EXPECT_TRUE(intact);
  }

  GuardedBuffer<kZelkFileSizeBufferBytes> size;
  GuardedBuffer<kZelkVersionBufferBytes> version;
  ASSERT_EQ(EXPORT(GetFileSizeAndVersion)(platform::Utf8ToUtf16(libraryPath()).c_str(), size.data(),
                                          version.data()),
            1);
  EXPECT_EQ(size.text(), platform::Utf8ToUtf16(std::to_string(fs::file_size(libraryPath()))));
  EXPECT_EQ(version.text(), u"3.1.0.0") << "the library carries the build's version";
  EXPECT_EQ(EXPORT(GetFileSizeAndVersion)(dir16("missing").c_str(), size.data(), version.data()),
            0);
  EXPECT_TRUE(size.terminatedInside() && size.guardIntact() && version.guardIntact());

  EXPORT(NeedUpdateZelkEnviroment)(dir.c_str(), status.data());
  EXPECT_EQ(status.text(), u"1");
  EXPECT_TRUE(status.guardIntact());
}

TEST_F(Exports, StoredSettingsFallBackWhenMissingOrCorrupt) {
  const std::u16string dir = dir16();
  GuardedBuffer<kZelkStatusBufferBytes> mode, remember, autoLogin;
  GuardedBuffer<kZelkColourBufferBytes> colour;
  GuardedBuffer<kZelkPathBufferBytes> image;
  GuardedBuffer<kZelkLoginBufferBytes> id, password;
  dir_.write("Data/settings.json", "\x01garbage{");
  EXPORT(LoadLoginData)(dir.c_str(), id.data(), password.data(), remember.data(), autoLogin.data());
  EXPECT_EQ(id.text() + u"|" + password.text() + u"|" + remember.text() + u"|" + autoLogin.text(),
            u"||1|1");
  EXPECT_TRUE(fs::exists(dir_.file("Data/settings.json.bad")));
  EXPORT(LoadSkinData)(dir.c_str(), mode.data(), colour.data(), image.data());
  EXPECT_EQ(mode.text() + u"|" + colour.text() + u"|" + image.text(), u"0|0|");
  EXPORT(SaveLoginData)(dir.c_str(), u"13800138000", u"pw-秘密", 1, 1);
  EXPORT(LoadLoginData)(dir.c_str(), id.data(), password.data(), remember.data(), autoLogin.data());
  EXPECT_EQ(password.text(), u"pw-秘密");
  EXPECT_EQ(dir_.read("Data/settings.json").find("pw-"), std::string::npos);
}

TEST_F(Exports, TextResultsBelongToTheCallingThreadUntilItsNextCall) {
  auto* fileName = EXPORT(GetFileName);
  const char16_t* mine = fileName(u"C:\\a\\first.txt");
  std::u16string other;
  std::thread([&] { other = fileName(u"/b/second.pdf"); }).join();
  EXPECT_EQ(std::u16string(mine), u"first.txt");
  EXPECT_EQ(other, u"second.pdf");
  EXPECT_EQ(std::u16string(EXPORT(GetFileExt)(u"x.zip")), u".zip");
  EXPECT_EQ(std::u16string(mine), u"first.txt") << "another export keeps its own storage";
}

TEST_F(Exports, EveryExportAnswersSensiblyIncludingNullArguments) {
  EXPECT_EQ(EXPORT(StringCompare)(u"a", u"a"), 1);
  EXPECT_EQ(EXPORT(StringCompare)(nullptr, u"a"), 0);
  EXPECT_EQ(EXPORT(StringStartWith)(u"Zelk://x", u"Zelk://"), 1);
  EXPECT_EQ(EXPORT(StringEndWith)(u"dir\\", u"\\"), 1);
  EXPECT_EQ(EXPORT(StringToDWORD)(u"#336699"), 0xFF336699u);
  EXPECT_EQ(EXPORT(StringToDWORD)(nullptr), 0u);
  EXPECT_EQ(std::u16string(EXPORT(GetFileParentDirectoryName)(u"App\\app.exe")), u"App");
  EXPECT_EQ(std::u16string(EXPORT(GetFileName)(nullptr)), u"");
  EXPECT_EQ(std::u16string(EXPORT(CombinURL)(u"http://h:8096", u"/zelk/a.aspx")),
            u"http://h:8096/zelk/a.aspx");
  const std::u16string first = EXPORT(CombinURLRandomParamArge)(u"http://h/p.aspx?a=1");
  const std::u16string second = EXPORT(CombinURLRandomParamArge)(u"http://h/p.aspx?a=1");
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(u"http://h/p.aspx?a=1&zr=", 0), 0u);
  EXPECT_EQ(std::u16string(EXPORT(UrlEncode)(u"a b")), u"a%20b");
  EXPECT_EQ(EXPORT(IsMobileNumber)(u"13800138000"), 1);
  EXPECT_EQ(std::u16string(EXPORT(GetTrueMobileNumber)(u"+86 138-0013-8000")), u"13800138000");
  EXPECT_GT(std::u16string(EXPORT(EncryptStr)(u"secret")).size(), 40u);
  EXPECT_EQ(EXPORT(TrySetIE_FEATURE_BROWSER_EMULATION)(u"Zelk"), 1);
  if (sizeof(void*) == 8) {
    EXPECT_EQ(EXPORT(IsWin64)(), 1) << "a 64-bit process runs on a 64-bit system";
  }
  EXPECT_FALSE(std::u16string(EXPORT(GetOSName)()).empty());
  EXPECT_FALSE(std::u16string(EXPORT(GetComputerName)()).empty());
  EXPECT_FALSE(std::u16string(EXPORT(GetIEVersion)()).empty());
  EXPORT(GetMacAddress)();
  EXPORT(GetAllInstallFrameworks)();
  for (const char* name : {"HasInstallDotNetFrameworkV11", "HasInstallDotNetFrameworkV20",
                           "HasInstallDotNetFrameworkV30", "HasInstallDotNetFrameworkV35",
                           "HasInstallDotNetFrameworkV40", "HasInstallDotNetFrameworkV45"}) {
    const int answer = get<int()>(name)();
    EXPECT_TRUE(answer == 0 || answer == 1) << name;
  }
  EXPECT_EQ(EXPORT(HasInstallDotNetFrameworkV11)(), 0);
  EXPECT_EQ(EXPORT(InstallDoNetFramework4BySilent)(dir16().c_str(), dir16("missing.exe").c_str()),
            0);
  EXPECT_EQ(EXPORT(FileExist)(nullptr), 0);
  EXPECT_EQ(EXPORT(PathDelete)(u"/"), 0);
  EXPECT_EQ(EXPORT(UnZipFile)(nullptr, nullptr), 0);
  EXPORT(AppendLog)(nullptr, nullptr);
  EXPORT(SetUnShowIntroduce)(nullptr);
  EXPORT(SaveSkinData)(nullptr, 0, 0, nullptr);
  EXPORT(LoadSkinData)(nullptr, nullptr, nullptr, nullptr);
  EXPORT(LoadLoginData)(nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPORT(WriteDataToUrlProtocolShareMemory)(nullptr);
  EXPECT_EQ(EXPORT(SendMsgToRunningInstance)(nullptr, 0, nullptr), 0);
  EXPECT_EQ(EXPORT(DownloadImageByUrl)(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(std::u16string(EXPORT(GetWebContent)(nullptr, nullptr)).empty(), false)
      << "an error text";
  EXPECT_EQ(EXPORT(GetFileSizeAndVersion)(nullptr, nullptr, nullptr), 0);
}

TEST_F(Exports, FilesFoldersArchivesAndTheLog) {
  const std::u16string file = dir16("Downloads/Knowlege/a.pdf");
  EXPECT_EQ(EXPORT(TryCreateFolderPathByFileName)(file.c_str()), 1);
  EXPECT_EQ(EXPORT(PathExist)(dir16("Downloads/Knowlege").c_str()), 1);
  dir_.write("Downloads/Knowlege/a.pdf", "pdf");
  EXPECT_EQ(EXPORT(FileExist)(file.c_str()), 1);
  EXPECT_EQ(EXPORT(CheckFileIsUsing)(file.c_str()), 0);
  EXPECT_EQ(EXPORT(FileDelete)(file.c_str()), 1);
  EXPECT_EQ(EXPORT(FileExist)(file.c_str()), 0);
  dir_.write("Pilotrex/p.exe", "x");
  EXPECT_EQ(EXPORT(MoveDir)(dir16("Pilotrex").c_str(), dir16("Modules/Pilotrex/Pilotrex").c_str()),
            1);
  EXPECT_EQ(dir_.read("Modules/Pilotrex/Pilotrex/p.exe"), "x");
  EXPECT_EQ(EXPORT(PathDelete)(dir16("Modules").c_str()), 1);
  EXPECT_EQ(EXPORT(UnZipFile)(dir16("none.zip").c_str(), dir16("Modules/App").c_str()), 0);

  EXPORT(AppendLog)(dir16().c_str(), u"接收到URL协议");
  const std::string log = dir_.read("Log/Zelk.log");
  EXPECT_TRUE(log.ends_with(" 接收到URL协议\n")) << log;
  dir_.write("judgeUpdate.txt", "2\n");
  EXPORT(SetUnShowIntroduce)(dir16().c_str());
  EXPECT_EQ(dir_.read("judgeUpdate.txt"), "0\n");
}

TEST_F(Exports, TheHandOffAndTheSchemeHandler) {
  const std::u16string request = u"Zelk://download/a=1";
  EXPORT(WriteDataToUrlProtocolShareMemory)(request.c_str());
  EXPECT_EQ(std::u16string(EXPORT(ReadDataFromUrlProtocolShareMemory)()), request);
  const std::u16string huge(1 << 20, u'x');
  EXPORT(WriteDataToUrlProtocolShareMemory)(huge.c_str());
  EXPECT_EQ(std::u16string(EXPORT(ReadDataFromUrlProtocolShareMemory)()), u"");
  EXPECT_EQ(EXPORT(WriteDataToZelkInterfaceShareMemory)(u"127.0.0.1"), 1);
  EXPECT_EQ(zelklib::ReadSharedText(zelklib::SharedTextName(zelklib::SharedTextKind::Interface)),
            u"127.0.0.1");
  // A client that ends normally takes its session's shared memory with it.
  const pid_t client = fork();
  ASSERT_GE(client, 0);
  if (client == 0)
    std::exit(EXPORT(WriteDataToZelkInterfaceShareMemory)(u"127.0.0.1") == 1 ? 0 : 1);
  int ended = 0;
  ASSERT_EQ(waitpid(client, &ended, 0), client);
  EXPECT_EQ(WEXITSTATUS(ended), 0);
  EXPECT_EQ(zelklib::ReadSharedText(zelklib::SharedTextName(zelklib::SharedTextKind::Interface)),
            std::nullopt);
  EXPECT_EQ(EXPORT(HasRunningInstance)(u"zelk-not-running"), 0);
  {
    // A program of this user and session, asked for by its Windows name as the client does.
    const std::string name = "zelk-probe-" + std::to_string(getpid());
    fs::copy_file("/bin/sleep", dir_.file(name));
    const std::string program = dir_.file(name);
    std::string runtime = "XDG_RUNTIME_DIR=" + dir_.file("run");
    std::string seconds = "30";
    char* argv[] = {const_cast<char*>(program.c_str()), seconds.data(), nullptr};
    char* envp[] = {runtime.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp), 0);
    const std::u16string asked = platform::Utf8ToUtf16(name + ".exe");
    int found = 0;
    for (int i = 0; i < 500 && found != 1; ++i) {  // until the child's exec has completed
      found = EXPORT(HasRunningInstance)(asked.c_str());
      if (found != 1) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(found, 1);
    setenv("XDG_RUNTIME_DIR", dir_.file("other-session").c_str(), 1);
    EXPECT_EQ(EXPORT(HasRunningInstance)(asked.c_str()), 0)
        << "another session's program does not count";
    setenv("XDG_RUNTIME_DIR", dir_.file("run").c_str(), 1);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  EXPECT_EQ(EXPORT(SendMsgToRunningInstance)(u"Zelk", 0x463, u""), 0) << "nobody listens";

  GuardedBuffer<kZelkStatusBufferBytes> status;
  const std::u16string message = EXPORT(NeedUpdateZelkEnviroment)(dir16().c_str(), status.data());
  EXPECT_EQ(status.text(), u"1");
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(EXPORT(TryRegisterZelkEnviroment)(dir16().c_str(), u"0"), 1);
  EXPECT_EQ(std::u16string(EXPORT(NeedUpdateZelkEnviroment)(dir16().c_str(), status.data())), u"");
  EXPECT_EQ(status.text(), u"0");
  EXPECT_EQ(EXPORT(TryRegisterZelkEnviroment)(dir16().c_str(), u"1"), 1);
}

TEST_F(Exports, TransfersAgainstALoopbackService) {
  zelklib_testing::LoopbackServer service;
  service.server.Get("/zelk/NewsApi.aspx", [](const httplib::Request&, httplib::Response& r) {
    r.set_content("{\"result\":1,\"news\":[{\"title\":\"\xD0\xC2\xCE\xC5\"}]}",
                  "application/json; charset=gb2312");
  });
  service.server.Get("/zelk/ClientUpdateApi.aspx",
                     [](const httplib::Request&, httplib::Response& r) {
                       r.set_content("{\"result\":1,\"hasUpdate\":1}", "application/json");
                     });
  service.server.Post("/zelk/AppMarketAPI.aspx", [](const httplib::Request& q,
                                                    httplib::Response& r) {
    r.set_content("{\"result\":1,\"echo\":\"" + q.body + "\"}", "application/json; charset=utf-8");
  });
  service.server.Get("/a.png", [](const httplib::Request&, httplib::Response& r) {
    r.set_content("PNG", "image/png");
  });
  service.start();
  setenv("ZELK_SERVICE_HOST", service.hostAndPort().c_str(), 1);

  GuardedBuffer<kZelkStatusBufferBytes> status;
  const std::u16string news = EXPORT(GetWebContent)(
      platform::Utf8ToUtf16(service.url("/zelk/NewsApi.aspx?count=5")).c_str(), status.data());
  EXPECT_EQ(status.text(), u"1");
  EXPECT_EQ(news, u"{\"result\":1,\"news\":[{\"title\":\"新闻\"}]}");
  const std::u16string missing =
      EXPORT(GetWebContent)(platform::Utf8ToUtf16(service.url("/nothing")).c_str(), status.data());
  EXPECT_EQ(status.text(), u"0");
  EXPECT_NE(missing.find(u" 404 "), std::u16string::npos);
  const std::u16string posted = EXPORT(PostWebContent)(
      platform::Utf8ToUtf16(service.url("/zelk/AppMarketAPI.aspx?req=3&os=Windows")).c_str(),
      u"appNames=甲,乙", status.data());
  EXPECT_EQ(status.text(), u"1");
  EXPECT_EQ(posted, u"{\"result\":1,\"echo\":\"appNames=甲,乙\"}");
  EXPECT_TRUE(status.guardIntact());

  GuardedBuffer<kZelkErrorBufferBytes> error;
  EXPECT_EQ(EXPORT(DownloadImageByUrl)(platform::Utf8ToUtf16(service.url("/a.png")).c_str(),
                                       dir16("AdData/1_a.png").c_str(), error.data()),
            1);
  EXPECT_EQ(dir_.read("AdData/1_a.png"), "PNG");
  EXPECT_EQ(EXPORT(DownloadImageByUrl)(platform::Utf8ToUtf16(service.url("/b.png")).c_str(),
                                       dir16("AdData/2_b.png").c_str(), error.data()),
            0);
  EXPECT_GT(error.text().find(u" 404 "), 0u);
  EXPECT_NE(error.text().find(u" 404 "), std::u16string::npos) << Utf16ToUtf8(error.text());
  EXPECT_FALSE(fs::exists(dir_.file("AdData/2_b.png")));
  EXPECT_TRUE(error.guardIntact());

  EXPECT_EQ(EXPORT(CheckNeedUpdate)(dir16().c_str()), 1);
  EXPECT_EQ(EXPORT(CheckCanVisitInternent)(), 1);
  service.stop();
  setenv("ZELK_SERVICE_HOST",
         ("127.0.0.1:" + std::to_string(zelklib_testing::UnusedLoopbackPort())).c_str(), 1);
  EXPECT_EQ(EXPORT(CheckCanVisitInternent)(), 0) << "another host is probed afresh";
  EXPECT_EQ(EXPORT(CheckNeedUpdate)(dir16().c_str()), 0);
  unsetenv("ZELK_SERVICE_HOST");
}

}  // namespace
