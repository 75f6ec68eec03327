#include "knowledge/local_file_name.h"

#include <gtest/gtest.h>

namespace knowledge {
namespace {

TEST(LocalFileName, ReplacesTheFifteenCharacters) {
  EXPECT_EQ(ReplaceTitleCharacters(u"a/b?c-d~e^f%g@h#i!j&k*l[m]n{o}p"),
            u"a_b_c_d_e_f_g_h_i_j_k_l_m_n_o_p");
  EXPECT_EQ(ReplaceTitleCharacters(u"建筑(2015).规范+说明,\\x"), u"建筑(2015).规范+说明,\\x");
}

TEST(LocalFileName, AppendsTheExtensionAsItComes) {
  EXPECT_EQ(MakeLocalFileName(u"混凝土 施工-规范", u".pdf"), u"混凝土 施工_规范.pdf");
  EXPECT_EQ(MakeLocalFileName(u"说明", u""), u"说明");
}

TEST(LocalFileName, TitleOfReplacedCharactersOnlyStaysInsideTheFolder) {
  EXPECT_EQ(MakeLocalFileName(u"/?-~^%@#!&*[]{}", u".doc"), u"_______________.doc");
  EXPECT_EQ(MakeLocalFileName(u"///", u""), u"___");
}

TEST(LocalFileName, RefusesTitlesThatNameNoFile) {
  EXPECT_EQ(MakeLocalFileName(u"..", u""), std::nullopt);
  EXPECT_EQ(MakeLocalFileName(u".", u""), std::nullopt);
  EXPECT_EQ(MakeLocalFileName(u"", u""), std::nullopt);
  // With an extension ".." is only the start of an ordinary name.
  EXPECT_EQ(MakeLocalFileName(u"..", u".pdf"), u"...pdf");
}

TEST(LocalFileName, BackslashesAndControlCharactersCannotSplitTheName) {
  EXPECT_EQ(MakeLocalFileName(u"..\\..\\evil", u".exe"), u".._.._evil.exe");
  EXPECT_EQ(MakeLocalFileName(u"a\nb", u".txt"), u"a_b.txt");
  // An extension taken from a hostile FileName is cleaned the same way.
  EXPECT_EQ(MakeLocalFileName(u"x", u"./../y"), u"x._.._y");
}

TEST(LocalFileName, LongTitlesAreCutToTheNameLimitKeepingTheExtension) {
  const std::u16string title(200, u'建');  // 600 bytes of UTF-8
  const auto name = MakeLocalFileName(title, u".pdf");
  ASSERT_TRUE(name);
  EXPECT_EQ(*name, std::u16string(83, u'建') + u".pdf");
}

TEST(LocalFileName, SanitisesNamesReadBack) {
  EXPECT_EQ(SanitiseLocalFileName(u"../../../.bashrc"), u".._.._.._.bashrc");
  EXPECT_EQ(SanitiseLocalFileName(u".."), std::nullopt);
  EXPECT_EQ(SanitiseLocalFileName(u"正常.pdf"), u"正常.pdf");
}

TEST(LocalFullName, JoinsWithOneSeparator) {
  EXPECT_EQ(MakeLocalFullName(u"/home/u/Downloads/Knowlege", u"a.pdf"),
            u"/home/u/Downloads/Knowlege/a.pdf");
  EXPECT_EQ(MakeLocalFullName(u"/home/u/Downloads/Knowlege/", u"a.pdf"),
            u"/home/u/Downloads/Knowlege/a.pdf");
  EXPECT_EQ(MakeLocalFullName(u"/d/", u"/a.pdf"), u"/d/a.pdf");
  EXPECT_EQ(MakeLocalFullName(u"/下载", u"文件.doc"), u"/下载/文件.doc");
}

}  // namespace
}  // namespace knowledge
