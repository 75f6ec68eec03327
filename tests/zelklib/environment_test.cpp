#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "support/temp_dir.h"
#include "zelklib/scheme_handler.h"
#include "zelklib/update_check.h"

namespace zelklib {
namespace {

// Sets environment variables for one test and restores them afterwards.
class ScopedEnvironment {
 public:
  void set(const std::string& name, const std::string& value) {
    remember(name);
    setenv(name.c_str(), value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

 private:
  void remember(const std::string& name) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(SchemeHandler, ExecArgumentsAreQuotedAsDesktopEntriesRequire) {
  EXPECT_EQ(QuoteExecArgument("/opt/zelk/Zelk"), "/opt/zelk/Zelk");
  EXPECT_EQ(QuoteExecArgument("/home/u/my apps/Zelk"), "\"/home/u/my apps/Zelk\"");
  EXPECT_EQ(QuoteExecArgument("/a$b/Zelk"), "\"/a\\\\$b/Zelk\"")
      << "escaped, then the backslash doubled";
  EXPECT_EQ(QuoteExecArgument("/100%/Zelk"), "/100%%/Zelk");
  EXPECT_EQ(QuoteExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
  EXPECT_EQ(QuoteExecArgument("/a\nb"), std::nullopt);
  const auto entry = SchemeDesktopEntry("/opt/zelk/Zelk");
  ASSERT_TRUE(entry);
  EXPECT_NE(entry->find("\nExec=/opt/zelk/Zelk -- %u\n"), std::string::npos);
  EXPECT_NE(entry->find("\nMimeType=x-scheme-handler/zelk;\n"), std::string::npos);
  EXPECT_NE(entry->find("\nNoDisplay=true\n"), std::string::npos);
  EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);
}

TEST(SchemeHandler, TheDefaultIsSetInMimeappsListKeepingEverythingElse) {
  const std::string list =
      "[Added Associations]\nx-scheme-handler/zelk=old.desktop;\n"
      "[Default Applications]\ntext/html=firefox.desktop\nx-scheme-handler/zelk=other.desktop;\n";
  EXPECT_EQ(DefaultHandlerIn(list, "x-scheme-handler/zelk"), "other.desktop");
  EXPECT_EQ(DefaultHandlerIn(list, "text/plain"), "");
  const std::string updated =
      WithDefaultHandler(list, "x-scheme-handler/zelk", "zelk-url-handler.desktop");
  EXPECT_EQ(updated,
            "[Added Associations]\nx-scheme-handler/zelk=old.desktop;\n"
            "[Default "
            "Applications]\ntext/html=firefox.desktop\nx-scheme-handler/"
            "zelk=zelk-url-handler.desktop;\n");
  EXPECT_EQ(WithDefaultHandler("[Default Applications]\na=b\n[Other]\nc=d\n", "t", "z.desktop"),
            "[Default Applications]\na=b\nt=z.desktop;\n[Other]\nc=d\n");
  EXPECT_EQ(WithDefaultHandler("", "t", "z.desktop"), "[Default Applications]\nt=z.desktop;\n");
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    env_.set("XDG_DATA_HOME", dir_.file("data"));
    env_.set("XDG_CONFIG_HOME", dir_.file("config"));
    env_.set("PATH", dir_.file("bin"));  // no xdg-mime unless a test puts one there
  }
  std::string programDir() const { return dir_.file("app"); }

  testing_support::TempDir dir_;
  ScopedEnvironment env_;
};

TEST_F(Registration, WithoutXdgMimeTheEntryAndTheDefaultAreWrittenByTheLibrary) {
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(programDir()));
  ASSERT_TRUE(RegisterSchemeHandler(programDir()));
  const std::string entry = dir_.read("data/applications/zelk-url-handler.desktop");
  EXPECT_NE(entry.find("Exec=" + programDir() + "/Zelk -- %u"), std::string::npos);
  EXPECT_EQ(DefaultHandlerIn(dir_.read("config/mimeapps.list"), "x-scheme-handler/zelk"),
            "zelk-url-handler.desktop");
  EXPECT_FALSE(SchemeHandlerNeedsRegistering(programDir()));

  EXPECT_TRUE(SchemeHandlerNeedsRegistering(dir_.file("moved-app")))
      << "the entry starts another program";
  dir_.write("config/mimeapps.list",
             "[Default Applications]\nx-scheme-handler/zelk=browser.desktop;\n");
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(programDir())) << "another handler took the scheme";
}

TEST_F(Registration, WithXdgMimeTheDesktopsOwnToolIsAsked) {
  // A stand-in for xdg-mime (not installed here) that keeps the default in a file.
  const std::string tool = dir_.write(
      "bin/xdg-mime",
      "#!/bin/sh\n"
      "state=\"" +
          dir_.file("xdg-default") +
          "\"\n"
          "case \"$1\" in\n"
          "  default) echo \"$2 $3\" > \"$state\" ;;\n"
          "  query) [ -f \"$state\" ] && read handler type < \"$state\" && echo \"$handler\" ;;\n"
          "esac\n");
  chmod(tool.c_str(), 0755);
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(programDir()));
  ASSERT_TRUE(RegisterSchemeHandler(programDir()));
  EXPECT_EQ(dir_.read("xdg-default"), "zelk-url-handler.desktop x-scheme-handler/zelk\n");
  EXPECT_FALSE(SchemeHandlerNeedsRegistering(programDir()));
  EXPECT_EQ(dir_.read("config/mimeapps.list"), "") << "left to xdg-mime";
}

// Every desktop reads the user's own lists first: when they name this program's entry the
// desktop's tool (a process per question, before the main window shows) is not asked; a list of
// the current desktop outranks the common one, and what it names otherwise goes to the tool.
TEST_F(Registration, TheUsersOwnListNamingThisProgramNeedsNoQuestionToTheDesktop) {
  const std::string tool =
      dir_.write("bin/xdg-mime", "#!/bin/sh\necho \"$*\" >> \"" + dir_.file("asked") +
                                     "\"\necho browser.desktop\n");
  chmod(tool.c_str(), 0755);
  dir_.write("data/applications/zelk-url-handler.desktop",
             *SchemeDesktopEntry(programDir() + "/Zelk"));
  const std::string ours =
      "[Default Applications]\nx-scheme-handler/zelk=zelk-url-handler.desktop;\n";
  dir_.write("config/mimeapps.list", ours);
  EXPECT_FALSE(SchemeHandlerNeedsRegistering(programDir()));
  EXPECT_EQ(dir_.read("asked"), "") << "the desktop's tool was asked";

  env_.set("XDG_CURRENT_DESKTOP", "X-Test:GNOME");
  dir_.write("config/gnome-mimeapps.list",
             "[Default Applications]\nx-scheme-handler/zelk=browser.desktop;\n");
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(programDir()));
  EXPECT_EQ(dir_.read("asked"), "query default x-scheme-handler/zelk\n");
  dir_.write("config/x-test-mimeapps.list", ours);
  EXPECT_FALSE(SchemeHandlerNeedsRegistering(programDir()));
  EXPECT_EQ(dir_.read("asked"), "query default x-scheme-handler/zelk\n");
}

// An installation's own entry, found in the system's application folders, serves as well as ours
// when it starts this program; one that starts another copy does not.
TEST_F(Registration, AnInstalledEntryThatStartsThisProgramNeedsNoRegistration) {
  env_.set("XDG_DATA_DIRS", dir_.file("prefix/share") + ":" + dir_.file("other/share"));
  dir_.write("other/share/applications/tamsel.desktop",
             "[Desktop Entry]\nExec=" + programDir() + "/Zelk -- %u\n");
  dir_.write("config/mimeapps.list",
             "[Default Applications]\nx-scheme-handler/zelk=tamsel.desktop;\n");
  EXPECT_FALSE(SchemeHandlerNeedsRegistering(programDir()));
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(dir_.file("moved-app")));
  // The first folder that has the name wins, as on the desktop.
  dir_.write("prefix/share/applications/tamsel.desktop",
             "[Desktop Entry]\nName=Tamsel\nExec=/elsewhere/Zelk -- %u\n");
  EXPECT_TRUE(SchemeHandlerNeedsRegistering(programDir()));
}

TEST(UpdateMark, TheIntroductionMarkIsClearedAndOtherLinesKept) {
  EXPECT_EQ(WithoutIntroduceMark("2\nkeep\n"), "0\nkeep\n");
  EXPECT_EQ(WithoutIntroduceMark("2\r\nkeep\r\n"), "0\r\nkeep\r\n");
  EXPECT_EQ(WithoutIntroduceMark("2"), "0");
  EXPECT_EQ(WithoutIntroduceMark("1\n2\n"), "1\n2\n");
  EXPECT_EQ(WithoutIntroduceMark("22\n"), "22\n");
  EXPECT_EQ(WithoutIntroduceMark(""), "");

  testing_support::TempDir dir;
  dir.write("judgeUpdate.txt", "2\nsecond\n");
  EXPECT_TRUE(ClearIntroduceMark(dir.path()));
  EXPECT_EQ(dir.read("judgeUpdate.txt"), "0\nsecond\n");
  EXPECT_TRUE(ClearIntroduceMark(dir.file("nowhere")));
}

TEST(UpdateCheck, OnlyResultOneWithHasUpdateOneOffersAnUpdate) {
  EXPECT_EQ(UpdateQueryUrl("127.0.0.1:8096", "3.1.0.0"),
            "http://127.0.0.1:8096/zelk/ClientUpdateApi.aspx?ver=3.1.0.0");
  EXPECT_TRUE(ReplyOffersUpdate(
      R"({"result":1,"hasUpdate":1,"version":"3.2.0.0","url":"http://x/u.zip"})"));
  EXPECT_TRUE(ReplyOffersUpdate(R"({"result":"1","hasUpdate":"1"})"));
  EXPECT_FALSE(ReplyOffersUpdate(R"({"result":1,"hasUpdate":0})"));
  EXPECT_FALSE(ReplyOffersUpdate(R"({"result":0,"hasUpdate":1})"));
  EXPECT_FALSE(ReplyOffersUpdate(R"({"hasUpdate":1})"));
  EXPECT_FALSE(ReplyOffersUpdate("<html>ipush_jsp/server.jsp</html>"));
  EXPECT_FALSE(ReplyOffersUpdate("[1]"));

  testing_support::TempDir dir;
  EXPECT_EQ(InstalledClientVersion(dir.path()), "3.1.0.0")
      << "no program file: the build's version";
  dir.write("Zelk", std::string("ZELK_FILE_VERSION=3.0.9.1\0", 26));
  EXPECT_EQ(InstalledClientVersion(dir.path()), "3.0.9.1");
}

}  // namespace
}  // namespace zelklib
