#pragma once

// Every path template of the web service, relative to the service base. %s is a text value,
// %d a signed decimal. Values go in unescaped; the rows marked "whole URL escaped" go through
// UrlEncodeText after formatting. Browser rows open in the default browser, embedded rows in a
// web control after AddRandomUrlParam.

namespace net::endpoints {

// Usage reports (reply ignored).
inline constexpr char16_t kRecordUserBehavior[] =
    u"zelk/"
    u"RecordUserBehavior.aspx?req=0&osName=%s&mac=%s&computerName=%s&behaviorName=%s&behaviorKind=%"
    u"d";
inline constexpr char16_t kRecordClientStart[] =
    u"zelk/RecordUserBehavior.aspx?req=1&osName=%s&mac=%s&computerName=%s";

// Account.
inline constexpr char16_t kLogin[] =
    u"auth/auth_verify.aspx?kind=0&user_id=%s&pwd=%s&client_ver=%s";
inline constexpr char16_t kChangePassword[] =
    u"auth/auth_verify.aspx?kind=1&uid=%d&old_pwd=%s&new_pwd=%s";
inline constexpr char16_t kRegister[] =
    u"auth/auth_verify.aspx?kind=2&user_id=%s&pwd=%s&nick_name=%s";
inline constexpr char16_t kHeartbeat[] = u"auth/auth_verify.aspx?kind=3&loginSign=%s";
inline constexpr char16_t kLogout[] =
    u"auth/auth_verify.aspx?kind=4&loginSign=%s";  // whole URL escaped
inline constexpr char16_t kAvatarAddress[] =
    u"auth/auth_verify.aspx?kind=6&uid=%d&loginSign=%s";  // whole URL escaped
inline constexpr char16_t kSendSmsCode[] =
    u"auth/auth_verify.aspx?kind=7&user_id=%s";  // whole URL escaped
inline constexpr char16_t kKnowledgeDownloadReport[] =
    u"auth/auth_verify.aspx?kind=9&uid=%d&downloadId=%s";
inline constexpr char16_t kKnowledgeDownloadPermission[] = u"auth/auth_verify.aspx?kind=11&uid=%d";
// The leading slash is the service's own; the joined URL is whatever CombinURL makes of it.
inline constexpr char16_t kUnreadMessages[] =
    u"/zelk/seedMessage/SeedMessageApi.aspx?req=1&uid=%d&loginSign=%s";

// Knowledge library.
inline constexpr char16_t kKnowledgeSearch[] =
    u"zelk/SearchEngine.aspx?api=vqd_soft_list&typeId=%d&p=%d&q=%s&count=10";
inline constexpr char16_t kKnowledgeItemForDownload[] =
    u"zelk/SearchEngine.aspx?api=vqd_soft_list&op=getdown&%s";
inline constexpr char16_t kFileServerAddress[] =
    u"zelk/FileServerLiveForm.aspx?kind=3&fileKind=%d&fileName=%s";

// App center.
inline constexpr char16_t kAppListPage[] =
    u"zelk/AppMarketAPI.aspx?req=0&index=%d&cid=%d&wh=%s&os=%s";
inline constexpr char16_t kAppCategories[] = u"zelk/AppMarketAPI.aspx?req=2&os=%s";
inline constexpr char16_t kAppVersions[] = u"zelk/AppMarketAPI.aspx?req=3&os=%s";  // POST appNames=

// Home page content.
inline constexpr char16_t kNews[] = u"zelk/NewsApi.aspx?count=%d";
inline constexpr char16_t kAdvertisements[] = u"zelk/AdvertisementApi.aspx";
inline constexpr char16_t kStatistics[] = u"zelk/InformationStatisticsApi.aspx";
inline constexpr char16_t kNewsSite[] = u"index.html";  // browser
inline constexpr char16_t kShareTool[] =
    u"zelk/Share.aspx?act=tool&t=%s&uc=%s";  // browser, escaped
inline constexpr char16_t kShareDownload[] =
    u"zelk/Share.aspx?act=down&t=%s&uc=%s&fname=%s";                        // browser, escaped
inline constexpr char16_t kForgetPassword[] = u"zelk/ForgetPassWord.aspx";  // browser

// Embedded pages: tabs.
inline constexpr char16_t kQuestionAndAnswer[] = u"zelk/QuestionAndAnswer.aspx?uid=%d&loginSign=%s";
inline constexpr char16_t kTemplateShareList[] = u"zelk/TemplateShareList.aspx";
inline constexpr char16_t kVideoShow[] = u"zelk/VideoShow.aspx";
inline constexpr char16_t kGamePage[] = u"zelk/GamePage.aspx?callfrom=Zelk";
inline constexpr char16_t kSiteNavigation[] = u"zelk/SiteNavigation.aspx?callfrom=Zelk";
inline constexpr char16_t kShareEachDay[] = u"zelk/ShareEachDay.aspx";

// Embedded pages: windows.
inline constexpr char16_t kQuestion[] = u"zelk/Question.aspx?uid=%d&loginSign=%s";
inline constexpr char16_t kAnswers[] = u"zelk/Ansers.aspx?id=%d&uid=%d&loginSign=%s";
inline constexpr char16_t kFeedback[] = u"zelk/FeedbackPage.aspx";
inline constexpr char16_t kUserDataModify[] = u"zelk/UserDataModify.aspx?uid=%d&loginSign=%s";
inline constexpr char16_t kMessages[] =
    u"zelk/seedMessage/SeedMessageMain.aspx?uid=%d&loginSign=%s";

// Help page of the caption bar.
inline constexpr char16_t kHelp[] = u"help/?ref=zelk";

}  // namespace net::endpoints
