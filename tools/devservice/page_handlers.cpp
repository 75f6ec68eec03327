#include "devservice/page_handlers.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "devservice/auth_handlers.h"
#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

using Values = std::map<std::string, std::string>;

constexpr std::size_t kMaxFormTextBytes = 4000;

std::string Text(const Json::Value& value) {
  return HtmlEscape(value.asString());
}

std::string Paragraphs(const std::vector<std::string>& paragraphs) {
  std::string html;
  for (const std::string& paragraph : paragraphs) html += "<p>" + HtmlEscape(paragraph) + "</p>\n";
  return html;
}

std::string Paragraphs(const Json::Value& paragraphs) {
  std::string html;
  for (const Json::Value& paragraph : paragraphs) html += "<p>" + Text(paragraph) + "</p>\n";
  return html;
}

// The link a page offers for a knowledge download: the client queues the document that
// op=getdown finds for the part after "zelk://download/".
std::string DownloadLink(const Document& document) {
  return "zelk://download/downid=" + document.downId;
}

std::string TypeName(const Catalogue& catalogue, int type) {
  for (const DocumentType& documentType : catalogue.documentTypes()) {
    if (documentType.id == type) return documentType.name;
  }
  return {};
}

std::string FileSize(std::int64_t bytes) {
  char text[32];
  if (bytes >= 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
  } else {
    std::snprintf(text, sizeof text, "%lld KB", static_cast<long long>((bytes + 1023) / 1024));
  }
  return text;
}

std::string DocumentCard(const Catalogue& catalogue, const Document& document) {
  return "<li class=\"doc\"><div class=\"doc-main\"><span class=\"tag\">" +
         HtmlEscape(TypeName(catalogue, document.type)) + "</span><span class=\"doc-title\">" +
         HtmlEscape(document.title) + "</span><p>" + HtmlEscape(document.info) +
         "</p><span class=\"meta\">" + HtmlEscape(document.publisher) + " · " +
         HtmlEscape(document.date) + " · " + FileSize(document.sizeBytes) +
         "</span></div><a class=\"button\" href=\"" + HtmlEscape(DownloadLink(document)) +
         "\">下载到Tamsel</a></li>\n";
}

// The logged-in user a page was opened for, when its uid and loginSign are live.
std::optional<Account> PageSession(const ServiceContext& context, const Request& request) {
  const auto uid = request.optionalText("uid");
  const auto sign = request.optionalText("loginSign");
  if (!uid || !sign || sign->empty()) return std::nullopt;
  const auto number = ParseInt32(*uid);
  if (!number) return std::nullopt;
  try {
    return RequireSession(context.state, *number, *sign);
  } catch (const BadRequest&) {
    return std::nullopt;
  }
}

std::string SessionQuery(const Account& account, const Request& request) {
  return "uid=" + std::to_string(account.uid) + "&amp;loginSign=" +
         HtmlEscape(UrlEncodeComponent(request.optionalText("loginSign").value_or("")));
}

Reply LoginRequired(const ServiceContext& context, const std::string& title) {
  return HtmlReply(context.pages.page("login_required", title, {}));
}

// A text typed into one of the pages' forms, bounded.
std::string FormText(const Request& request, const std::string& name) {
  return TruncateUtf8(Trim(request.optionalText(name).value_or("")), kMaxFormTextBytes);
}

const Json::Value* FindQuestion(const ServiceContext& context, std::int32_t id) {
  for (const Json::Value& question : context.catalogue.site()["questions"]) {
    if (question["id"].asInt() == id) return &question;
  }
  return nullptr;
}

Reply QuestionAndAnswer(const ServiceContext& context, const Request& request) {
  const auto account = PageSession(context, request);
  const std::string session = account ? SessionQuery(*account, request) : "uid=0&amp;loginSign=";
  std::string items;
  for (const Json::Value& question : context.catalogue.site()["questions"]) {
    items += "<li class=\"question\"><a href=\"/zelk/Ansers.aspx?id=" + question["id"].asString() +
             "&amp;" + session + "\">" + Text(question["title"]) + "</a><span class=\"meta\">" +
             Text(question["asker"]) + " · " + Text(question["date"]) + " · " +
             std::to_string(question["answers"].size()) + " 个回答</span></li>\n";
  }
  const std::string greeting = account ? "您好，" + HtmlEscape(account->nickName) +
                                             "。<a class=\"button\" href=\"/zelk/Question.aspx?" +
                                             session + "\">我要提问</a>"
                                       : std::string("登录Tamsel后可以提问和回答问题。");
  return HtmlReply(context.pages.page("question_and_answer", "问答",
                                      {{"greeting", greeting}, {"questions", items}}));
}

Reply TemplateShareList(const ServiceContext& context) {
  std::string items;
  for (const Document& document : context.catalogue.documents()) {
    if (document.type == 4 || document.type == 2)
      items += DocumentCard(context.catalogue, document);
  }
  return HtmlReply(context.pages.page("template_share_list", "项目模板", {{"documents", items}}));
}

Reply VideoShow(const ServiceContext& context) {
  std::string items;
  for (const Json::Value& video : context.catalogue.site()["videos"]) {
    items +=
        "<li class=\"video\"><div class=\"poster\" style=\"background:" + Text(video["color"]) +
        "\"><span>&#9654;</span><em>" + Text(video["duration"]) + "</em></div><h3>" +
        Text(video["title"]) + "</h3><p>" + Text(video["summary"]) +
        "</p><span class=\"meta\">主讲：" + Text(video["teacher"]) + "</span></li>\n";
  }
  return HtmlReply(context.pages.page("video_show", "视频", {{"videos", items}}));
}

Reply GamePage(const ServiceContext& context) {
  std::string items;
  int index = 0;
  for (const Json::Value& quiz : context.catalogue.site()["quiz"]) {
    std::string options;
    int option = 0;
    for (const Json::Value& text : quiz["options"]) {
      options += "<button class=\"option\" data-quiz=\"" + std::to_string(index) +
                 "\" data-right=\"" + (option == quiz["answer"].asInt() ? "1" : "0") + "\">" +
                 Text(text) + "</button>";
      ++option;
    }
    items += "<li class=\"quiz\" id=\"quiz" + std::to_string(index) + "\"><h3>" +
             std::to_string(index + 1) + ". " + Text(quiz["question"]) + "</h3><div>" + options +
             "</div><p class=\"explain\" hidden>" + Text(quiz["explain"]) + "</p></li>\n";
    ++index;
  }
  return HtmlReply(context.pages.page("game_page", "小游戏",
                                      {{"quiz", items}, {"count", std::to_string(index)}}));
}

Reply SiteNavigation(const ServiceContext& context) {
  std::string groups;
  for (const Json::Value& group : context.catalogue.site()["navigation"]) {
    groups += "<section class=\"nav-group\"><h3>" + Text(group["group"]) + "</h3><ul>";
    for (const Json::Value& link : group["links"]) {
      groups += "<li><a href=\"" + Text(link["url"]) + "\" target=\"_blank\">" +
                Text(link["title"]) + "</a></li>";
    }
    groups += "</ul></section>\n";
  }
  return HtmlReply(context.pages.page("site_navigation", "网址导航", {{"groups", groups}}));
}

Reply ShareEachDay(const ServiceContext& context) {
  const auto& documents = context.catalogue.documents();
  const std::time_t now = context.clock.nowMs() / 1000;
  std::tm local{};
  localtime_r(&now, &local);
  // One document of the day, and the three after it as "more".
  const std::size_t first = static_cast<std::size_t>(local.tm_yday) % documents.size();
  std::string more;
  for (std::size_t i = 1; i <= 3 && i < documents.size(); ++i) {
    more += DocumentCard(context.catalogue, documents[(first + i) % documents.size()]);
  }
  const Document& today = documents[first];
  char date[32];
  std::strftime(date, sizeof date, "%Y年%m月%d日", &local);
  return HtmlReply(
      context.pages.page("share_each_day", "每日分享",
                         {{"date", date},
                          {"title", HtmlEscape(today.title)},
                          {"info", HtmlEscape(today.info)},
                          {"type", HtmlEscape(TypeName(context.catalogue, today.type))},
                          {"size", FileSize(today.sizeBytes)},
                          {"link", HtmlEscape(DownloadLink(today))},
                          {"more", more}}));
}

Reply Question(const ServiceContext& context, const Request& request) {
  const auto account = PageSession(context, request);
  if (!account) return LoginRequired(context, "提交问题");
  const std::string title = FormText(request, "title");
  if (!title.empty()) {
    context.log.write("用户 " + account->loginId + " 提交问题: " + title);
    return HtmlReply(
        context.pages.page("question_sent", "提交问题", {{"title", HtmlEscape(title)}}));
  }
  return HtmlReply(
      context.pages.page("question_form", "提交问题",
                         {{"uid", std::to_string(account->uid)},
                          {"loginSign", HtmlEscape(request.optionalText("loginSign").value_or(""))},
                          {"nickName", HtmlEscape(account->nickName)}}));
}

Reply Answers(const ServiceContext& context, const Request& request) {
  const Json::Value* question = FindQuestion(context, request.integer("id"));
  if (question == nullptr) {
    return HtmlReply(context.pages.page("not_found", "浏览&回复问题", {}), 404);
  }
  std::string answers;
  for (const Json::Value& answer : (*question)["answers"]) {
    answers += "<li class=\"answer\"><span class=\"meta\">" + Text(answer["author"]) + " · " +
               Text(answer["date"]) + "</span>" + Paragraphs(answer["paragraphs"]) + "</li>\n";
  }
  const auto account = PageSession(context, request);
  return HtmlReply(context.pages.page(
      "answers", "浏览&回复问题",
      {{"title", Text((*question)["title"])},
       {"asker", Text((*question)["asker"])},
       {"date", Text((*question)["date"])},
       {"content", Paragraphs((*question)["paragraphs"])},
       {"answers", answers},
       {"reply",
        account ? "<p class=\"hint\">" + HtmlEscape(account->nickName) + "，欢迎分享您的经验。</p>"
                : std::string("<p class=\"hint\">登录Tamsel后可以回复。</p>")}}));
}

Reply Feedback(const ServiceContext& context, const Request& request) {
  const std::string content = FormText(request, "content");
  if (!content.empty()) {
    context.log.write("收到反馈 (" + FormText(request, "contact") + "): " + content);
    return HtmlReply(context.pages.page("feedback_sent", "反馈问题", {}));
  }
  return HtmlReply(context.pages.page("feedback_form", "反馈问题", {}));
}

Reply UserDataModify(const ServiceContext& context, const Request& request) {
  auto account = PageSession(context, request);
  if (!account) return LoginRequired(context, "个人中心");
  std::string notice;
  const auto& avatars = context.catalogue.avatars();
  if (const auto avatar = request.optionalText("avatar")) {
    if (std::find(avatars.begin(), avatars.end(), *avatar) == avatars.end()) {
      notice = "所选头像不存在。";
    } else {
      context.state.setAvatar(account->uid, *avatar);
      account->avatar = *avatar;
      notice = "头像已更换，关闭本窗口后生效。";
    }
  }
  if (const std::string nick = FormText(request, "nick"); !nick.empty()) {
    if (Utf8Length(nick) > 16) {
      notice = "昵称最多16个字。";
    } else {
      context.state.setNickName(account->uid, nick);
      account->nickName = nick;
      notice = "昵称已保存，下次登录时显示。";
    }
  }
  const std::string session = SessionQuery(*account, request);
  std::string choices;
  for (const std::string& avatar : avatars) {
    choices += "<a class=\"avatar-choice" +
               std::string(avatar == account->avatar ? " current" : "") +
               "\" href=\"/zelk/UserDataModify.aspx?" + session +
               "&amp;avatar=" + HtmlEscape(UrlEncodeComponent(avatar)) +
               "\"><img src=\"/zelk/UserImages/" + HtmlEscape(avatar) + "\" alt=\"头像\"></a>";
  }
  return HtmlReply(context.pages.page(
      "user_data_modify", "个人中心",
      {{"notice", notice.empty() ? "" : "<p class=\"notice\">" + HtmlEscape(notice) + "</p>"},
       {"avatar", "/zelk/UserImages/" + HtmlEscape(account->avatar)},
       {"loginId", HtmlEscape(MaskMobileNumber(account->loginId))},
       {"uid", std::to_string(account->uid)},
       {"nickName", HtmlEscape(account->nickName)},
       {"downloads", std::to_string(context.state.downloadReportCount(account->uid))},
       {"permission", account->canDownload ? "已开通" : "未开通"},
       {"loginSign", HtmlEscape(request.optionalText("loginSign").value_or(""))},
       {"choices", choices}}));
}

Reply SeedMessageMain(const ServiceContext& context, const Request& request) {
  const auto account = PageSession(context, request);
  if (!account) return LoginRequired(context, "我的信息");
  std::string items;
  const auto messages = context.state.messages(account->uid);
  for (auto message = messages.rbegin(); message != messages.rend(); ++message) {
    const std::time_t sent = message->sentMs / 1000;
    std::tm local{};
    localtime_r(&sent, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local);
    items += "<li class=\"message" + std::string(message->read ? "" : " unread") + "\"><h3>" +
             HtmlEscape(message->title) + "</h3><span class=\"meta\">" + date + "</span><p>" +
             HtmlEscape(message->body) + "</p></li>\n";
  }
  // Showing the messages reads them: the next count query answers 0.
  context.state.markMessagesRead(account->uid);
  return HtmlReply(context.pages.page(
      "seed_message_main", "我的信息",
      {{"messages", items.empty() ? "<li class=\"empty\">暂无消息</li>" : items}}));
}

Reply Share(const ServiceContext& context, const Request& request) {
  const std::string act = request.text("act");
  const std::string target = request.text("t");
  const Json::Value& targets = context.catalogue.site()["shareTargets"];
  if ((act != "tool" && act != "down") || !targets.isMember(target)) {
    throw BadRequest("不支持的分享方式");
  }
  const std::string name = FormText(request, "fname");
  if (act == "down" && name.empty()) throw BadRequest("缺少参数fname");
  const std::string subject =
      act == "tool" ? std::string("Tamsel——建筑人的好帮手") : "我在Tamsel找到了《" + name + "》";
  return HtmlReply(context.pages.page(
      "share", "分享到" + targets[target].asString(),
      {{"target", Text(targets[target])},
       {"subject", HtmlEscape(subject)},
       {"invited",
        request.optionalText("uc").value_or("").empty() ? "" : "（来自Tamsel用户的分享）"}}));
}

Reply NewsPage(const ServiceContext& context, const Request& request) {
  const NewsItem* item = context.catalogue.findNews(request.integer("id"));
  if (item == nullptr) return HtmlReply(context.pages.page("not_found", "新闻", {}), 404);
  return HtmlReply(context.pages.page("news", item->title,
                                      {{"title", HtmlEscape(item->title)},
                                       {"date", HtmlEscape(item->date)},
                                       {"source", HtmlEscape(item->source)},
                                       {"paragraphs", Paragraphs(item->paragraphs)}}));
}

Reply Promotion(const ServiceContext& context, const Request& request) {
  const Advertisement* ad = context.catalogue.findAdvertisement(request.integer("id"));
  if (ad == nullptr) return HtmlReply(context.pages.page("not_found", "活动", {}), 404);
  return HtmlReply(context.pages.page("promotion", ad->headline,
                                      {{"headline", HtmlEscape(ad->headline)},
                                       {"picture", "/zelk/AdImages/" + HtmlEscape(ad->picture)},
                                       {"paragraphs", Paragraphs(ad->paragraphs)}}));
}

Reply Help(const ServiceContext& context) {
  std::string sections;
  for (const Json::Value& section : context.catalogue.site()["help"]) {
    sections += "<section id=\"" + Text(section["anchor"]) + "\"><h2>" + Text(section["title"]) +
                "</h2>" + Paragraphs(section["paragraphs"]) + "</section>\n";
  }
  return HtmlReply(context.pages.page("help", "Tamsel帮助", {{"sections", sections}}));
}

Reply Home(const ServiceContext& context) {
  std::string news;
  const auto& items = context.catalogue.news();
  for (std::size_t i = 0; i < items.size() && i < 8; ++i) {
    news += "<li><a href=\"/zelk/News.aspx?id=" + std::to_string(items[i].id) + "\">" +
            HtmlEscape(items[i].title) + "</a><span class=\"meta\">" + HtmlEscape(items[i].date) +
            "</span></li>";
  }
  return HtmlReply(context.pages.page("home", "Tamsel——建筑人的好帮手", {{"news", news}}));
}

}  // namespace

void AddPageHandlers(Router& router, ServiceContext& context) {
  const auto add = [&router, &context](const std::string& path,
                                       Reply (*page)(const ServiceContext&, const Request&)) {
    router.add(path, [&context, page](const Request& request) { return page(context, request); });
  };
  const auto addPlain = [&router, &context](const std::string& path,
                                            Reply (*page)(const ServiceContext&)) {
    router.add(path, [&context, page](const Request&) { return page(context); });
  };
  add("zelk/QuestionAndAnswer.aspx", QuestionAndAnswer);
  addPlain("zelk/TemplateShareList.aspx", TemplateShareList);
  addPlain("zelk/VideoShow.aspx", VideoShow);
  addPlain("zelk/GamePage.aspx", GamePage);
  addPlain("zelk/SiteNavigation.aspx", SiteNavigation);
  addPlain("zelk/ShareEachDay.aspx", ShareEachDay);
  add("zelk/Question.aspx", Question);
  add("zelk/Ansers.aspx", Answers);
  add("zelk/FeedbackPage.aspx", Feedback);
  add("zelk/UserDataModify.aspx", UserDataModify);
  add("zelk/seedMessage/SeedMessageMain.aspx", SeedMessageMain);
  add("zelk/Share.aspx", Share);
  add("zelk/News.aspx", NewsPage);
  add("zelk/Promotion.aspx", Promotion);
  router.add("zelk/ForgetPassWord.aspx", [&context](const Request&) {
    return HtmlReply(context.pages.page("forget_password", "找回密码", {}));
  });
  router.add("zelk/Introduce.aspx", [&context](const Request&) {
    return HtmlReply(context.pages.page("introduce", "新功能介绍", {}));
  });
  addPlain("help", Help);
  addPlain("help/", Help);
  addPlain("", Home);
  addPlain("index.html", Home);
}

}  // namespace devservice
