#include <gtest/gtest.h>

#include <set>

#include "platform/code_page.h"
#include "zelklib/mobile_number.h"
#include "zelklib/out_buffer.h"
#include "zelklib/path_names.h"
#include "zelklib/reply_text.h"
#include "zelklib/text_tests.h"
#include "zelklib/url_text.h"

namespace zelklib {
namespace {

TEST(OutBuffer, TextIsCutAtWholeUnitsAndAlwaysTerminatedWithinTheBytes) {
  char16_t buffer[8];
  const auto fill = [&] { std::fill(std::begin(buffer), std::end(buffer), u'#'); };
  fill();
  CopyToBuffer(u"12345", buffer, 12);  // a status buffer: 6 units, 5 of text
  EXPECT_EQ(std::u16string(buffer), u"12345");
  fill();
  CopyToBuffer(u"1234567", buffer, 12);
  EXPECT_EQ(std::u16string(buffer), u"12345");
  EXPECT_EQ(buffer[6], u'#') << "nothing past 12 bytes";
  fill();
  CopyToBuffer(u"abc", buffer, 7);  // an odd size holds 3 units
  EXPECT_EQ(std::u16string(buffer), u"ab");
  EXPECT_EQ(buffer[3], u'#');
  fill();
  CopyToBuffer(u"a\U0001F600", buffer, 6);  // room for 2 units: the pair is not split
  EXPECT_EQ(std::u16string(buffer), u"a");
  fill();
  CopyToBuffer(u"abc", buffer, 1);
  EXPECT_EQ(buffer[0], u'#') << "too small even for the terminator";
  CopyToBuffer(u"abc", nullptr, 12);
}

TEST(TextTests, ComparisonsAreExact) {
  EXPECT_TRUE(TextsEqual(u"Zelk", u"Zelk"));
  EXPECT_FALSE(TextsEqual(u"Zelk", u"zelk"));
  EXPECT_TRUE(TextStartsWith(u"Zelk://download/a=1", u"Zelk://"));
  EXPECT_FALSE(TextStartsWith(u"x Zelk://", u"Zelk://"));
  EXPECT_TRUE(TextEndsWith(u"C:\\dir\\", u"\\"));
  EXPECT_FALSE(TextEndsWith(u"a", u"ba"));
}

TEST(TextTests, NumberTextsInTheFormsASkinWritesColours) {
  EXPECT_EQ(ParseNumberText(u"4278190335"), 4278190335u);
  EXPECT_EQ(ParseNumberText(u"  42 "), 42u);
  EXPECT_EQ(ParseNumberText(u"0xFF0000ff"), 0xFF0000FFu);
  EXPECT_EQ(ParseNumberText(u"#FF123456"), 0xFF123456u);
  EXPECT_EQ(ParseNumberText(u"#123456"), 0xFF123456u) << "six digits are an opaque colour";
  EXPECT_EQ(ParseNumberText(u"4294967295"), 0xFFFFFFFFu);
  for (const char16_t* bad :
       {u"", u"4294967296", u"-1", u"12a", u"#12345", u"#GG0000", u"0x", u"0x100000000"}) {
    EXPECT_EQ(ParseNumberText(bad), 0u) << platform::Utf16ToUtf8(bad);
  }
}

TEST(PathNames, NamesExtensionsAndParentsOfPathsAndUrls) {
  EXPECT_EQ(FileNameOf(u"C:\\Tamsel\\Modules\\App\\app.exe"), u"app.exe");
  EXPECT_EQ(FileNameOf(u"/home/u/Downloads/报告.pdf"), u"报告.pdf");
  EXPECT_EQ(FileNameOf(u"http://h:8096/UserData/25/a.png?v=3#top"), u"a.png");
  EXPECT_EQ(FileNameOf(u"http://h:8096"), u"");
  EXPECT_EQ(FileNameOf(u"plain.txt"), u"plain.txt");
  EXPECT_EQ(FileNameOf(u"/folder/"), u"folder");
  EXPECT_EQ(FileNameOf(u"/local/what?.txt"), u"what?.txt") << "only URLs have a query";

  EXPECT_EQ(FileExtensionOf(u"doc/规范.PDF"), u".PDF");
  EXPECT_EQ(FileExtensionOf(u"a.tar.gz"), u".gz");
  EXPECT_EQ(FileExtensionOf(u"http://h/a.png?x=1.2"), u".png");
  EXPECT_EQ(FileExtensionOf(u"dir.d/noext"), u"");
  EXPECT_EQ(FileExtensionOf(u".profile"), u"");
  EXPECT_EQ(FileExtensionOf(u"name."), u"");
  EXPECT_EQ(FileExtensionOf(u"http://h/avatar"), u"");

  EXPECT_EQ(ParentFolderNameOf(u"Pilotrex\\Pilotrex.exe"), u"Pilotrex");
  EXPECT_EQ(ParentFolderNameOf(u"/opt/app/Modules/Tool/tool"), u"Tool");
  EXPECT_EQ(ParentFolderNameOf(u"a//b//c.txt"), u"b");
  EXPECT_EQ(ParentFolderNameOf(u"tool.exe"), u"");
  EXPECT_EQ(ParentFolderNameOf(u"C:\\tool.exe"), u"");
  EXPECT_EQ(ParentFolderNameOf(u"/tool"), u"");
}

TEST(MobileNumbers, MainlandNumbersAndTheirNormalForm) {
  EXPECT_TRUE(IsMobileNumber(u"13800138000"));
  EXPECT_TRUE(IsMobileNumber(u"19912345678"));
  for (const char16_t* bad : {u"12800138000", u"10800138000", u"1380013800", u"138001380000",
                              u"1380013800a", u"+8613800138000", u"138 0013 8000", u""}) {
    EXPECT_FALSE(IsMobileNumber(bad)) << platform::Utf16ToUtf8(bad);
  }
  EXPECT_EQ(NormaliseMobileNumber(u"138 0013-8000"), u"13800138000");
  EXPECT_EQ(NormaliseMobileNumber(u"+86 138-0013-8000"), u"13800138000");
  EXPECT_EQ(NormaliseMobileNumber(u"0086 13800138000"), u"13800138000");
  EXPECT_EQ(NormaliseMobileNumber(u"8613800138000"), u"13800138000");
  EXPECT_EQ(NormaliseMobileNumber(u"86-1380013800"), u"86-1380013800")
      << "10 digits remain: unchanged";
  EXPECT_EQ(NormaliseMobileNumber(u"user@example.com"), u"user@example.com");
}

TEST(Urls, JoiningKeepsExactlyOneSlash) {
  EXPECT_EQ(CombineUrl(u"http://h:8096", u"zelk/NewsApi.aspx?count=%d"),
            u"http://h:8096/zelk/NewsApi.aspx?count=%d");
  EXPECT_EQ(CombineUrl(u"http://h:8096/", u"/zelk/seedMessage/SeedMessageApi.aspx"),
            u"http://h:8096/zelk/seedMessage/SeedMessageApi.aspx");
  EXPECT_EQ(CombineUrl(u"http://h/app//", u"//x"), u"http://h/app/x") << "the base keeps its path";
  EXPECT_EQ(CombineUrl(u"http://h", u"https://other/x"), u"https://other/x");
  EXPECT_EQ(CombineUrl(u"", u"zelk/x"), u"zelk/x");
  EXPECT_EQ(CombineUrl(u"http://h", u""), u"http://h");
}

TEST(Urls, TheRandomArgumentIsAddedBeforeTheFragmentAndDiffersEachTime) {
  EXPECT_EQ(AddUrlArgument(u"http://h/p.aspx", u"T"), u"http://h/p.aspx?zr=T");
  EXPECT_EQ(AddUrlArgument(u"http://h/p.aspx?uid=1", u"T"), u"http://h/p.aspx?uid=1&zr=T");
  EXPECT_EQ(AddUrlArgument(u"http://h/p.aspx?", u"T"), u"http://h/p.aspx?zr=T");
  EXPECT_EQ(AddUrlArgument(u"http://h/p.aspx?a=1#part", u"T"), u"http://h/p.aspx?a=1&zr=T#part");
  std::set<std::u16string> tokens;
  for (int i = 0; i < 1000; ++i) tokens.insert(UniqueUrlToken());
  EXPECT_EQ(tokens.size(), 1000u);
  EXPECT_EQ(tokens.begin()->find_first_not_of(u"0123456789abcdef"), std::u16string::npos);
}

TEST(Urls, EncodingIsThatOfEncodeUriWithoutEscapingTwice) {
  EXPECT_EQ(EncodeUrl(u"http://h:8096/zelk/Share.aspx?act=tool&t=标题 一&uc=a+b#x"),
            u"http://h:8096/zelk/Share.aspx?act=tool&t=%E6%A0%87%E9%A2%98%20%E4%B8%80&uc=a+b#x");
  EXPECT_EQ(EncodeUrl(u"-_.!~*'();,/?:@&=+$#"), u"-_.!~*'();,/?:@&=+$#");
  EXPECT_EQ(EncodeUrl(u"a\"<>\\^`{|}[]"), u"a%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D");
  EXPECT_EQ(EncodeUrl(u"sign=ab%2Bcd&p=100%"), u"sign=ab%2Bcd&p=100%25");
  EXPECT_EQ(EncodeUrl(EncodeUrl(u"q=中 文")), EncodeUrl(u"q=中 文"));
  EXPECT_EQ(EscapeForRequest("http://[::1]:8096/q=中 文&x=\"%zz"),
            "http://[::1]:8096/q=%E4%B8%AD%20%E6%96%87&x=%22%25zz");
}

TEST(ReplyText, TheDeclaredCharsetDecidesAndGbkWorks) {
  const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文
  EXPECT_EQ(DeclaredCharset("text/html; charset=GB2312", ""), "gb2312");
  EXPECT_EQ(DeclaredCharset("text/html", "<html><head><meta charset=\"gbk\"></head>"), "gbk");
  EXPECT_EQ(
      DeclaredCharset("text/html",
                      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />"),
      "gb2312");
  EXPECT_EQ(DeclaredCharset("application/json", "<meta charset=gbk>"), "")
      << "only HTML has meta tags";
  EXPECT_EQ(DecodeReplyBody("{\"t\":\"" + gbk + "\"}", "application/json; charset=gbk"),
            u"{\"t\":\"中文\"}");
  EXPECT_EQ(DecodeReplyBody("<html><meta charset='gb2312'>" + gbk, "text/html"),
            u"<html><meta charset='gb2312'>中文");
  EXPECT_EQ(DecodeReplyBody("中文", ""), u"中文");
  EXPECT_EQ(DecodeReplyBody("\xEF\xBB\xBF"
                            "abc",
                            "text/plain; charset=gbk"),
            u"abc")
      << "a BOM wins";
  EXPECT_EQ(DecodeReplyBody(std::string("\xFF\xFE"
                                        "a\0b\0",
                                        6),
                            ""),
            u"ab");
  EXPECT_EQ(DecodeReplyBody(gbk + "\xFF" + gbk, "text/plain; charset=gbk"), u"中文\uFFFD中文")
      << "one bad byte does not cost the rest";
}

}  // namespace
}  // namespace zelklib
