// The home page's content in the real program, headless, against the local development service,
// driven and observed only through the automation socket.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ui/service_client_test.h"

namespace home {
namespace {

using ui_testing::ClientProcess;
using ui_testing::Eventually;
constexpr const char* kMain = "UIMainFrame";

class HomeClientTest : public ui_testing::ServiceClientTest {
 protected:
  // How often the service has served that path.
  int Fetches(const std::string& path) {
    return Get("_dev/requests?path=" + path)["count"].asInt();
  }
  static void Fire(ClientProcess& client, int timer) {
    client.automation().Call("fire_timer", {{"window", kMain}, {"id", timer}});
    Idle(client);
  }
  static Json::Value NewsRows(ClientProcess& client) {
    return client.automation().Call("items",
                                    {{"window", kMain}, {"name", "lstLastestNews"}})["items"];
  }
  static std::string AdPicture(ClientProcess& client, int id) {
    return client.Control(("ad_btn_" + std::to_string(id)).c_str())["bkimage"].asString();
  }
  static Json::Value Opened(ClientProcess& client) {
    return client.automation().Call("opened")["opened"];
  }
};

// The label of a news row: the first 20 characters of the cleaned, lower-cased title.
std::string RowLabel(const Json::Value& row) {
  for (const Json::Value& child : row["children"]) {
    for (const Json::Value& part : child["children"]) {
      if (part["name"].asString() == "lblTitle") return part["text"].asString();
    }
  }
  return "<none>";
}

// The display name of an app item of the current page.
std::string AppTitle(ClientProcess& client, int index) {
  const Json::Value items =
      client.automation().Call("items", {{"window", kMain}, {"name", "lstAppMarketList"}})["items"];
  if (static_cast<int>(items.size()) <= index) return "";
  std::function<std::string(const Json::Value&)> find = [&](const Json::Value& node) {
    if (node["name"].asString() == "txtTitle") return node["text"].asString();
    for (const Json::Value& child : node["children"]) {
      if (std::string text = find(child); !text.empty()) return text;
    }
    return std::string();
  };
  return find(items[index]);
}

std::string PercentDecoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

TEST_F(HomeClientTest, NewsAdvertisementsCountersAndSharingOfTheHomePage) {
  // The second picture's next reply is the operator's page instead of a picture.
  ASSERT_EQ(Get("_dev/hijack?path=zelk/AdImages/ad_2.png&count=1")["result"].asInt(), 1);
  auto client = StartClient();
  Idle(*client);

  // Twenty rows of the service's 22 news, cut and lower-cased, each with its whole title.
  Json::Value rows = NewsRows(*client);
  ASSERT_EQ(rows.size(), 20u);
  bool sawLatin = false;
  for (const Json::Value& row : rows) {
    const std::string label = RowLabel(row);
    EXPECT_FALSE(row["tooltip"].asString().empty());
    EXPECT_EQ(label.find(' '), std::string::npos) << label;
    if (row["tooltip"].asString().rfind("BIM", 0) == 0) {
      sawLatin = true;
      EXPECT_EQ(label.rfind("bim", 0), 0u) << label;
    }
  }
  EXPECT_TRUE(sawLatin);
  EXPECT_EQ(RowLabel(rows[0]), "住建部发布《建筑与市政工程施工质量控制通");
  EXPECT_EQ(rows[0]["tooltip"].asString(), "住建部发布《建筑与市政工程施工质量控制通用规范》");
  for (int refresh = 0; refresh < 3; ++refresh) Fire(*client, 20);
  rows = NewsRows(*client);
  ASSERT_EQ(rows.size(), 20u) << "a refresh must replace the rows";
  ASSERT_TRUE(client->Click("LastestNewsItem_3"));
  Json::Value opened = Opened(*client);
  ASSERT_GE(opened.size(), 1u);
  EXPECT_NE(opened[opened.size() - 1]["target"].asString().find("zelk/News.aspx?id="),
            std::string::npos);

  // Four advertisements rotate with the timer; the picture that did not come shows the default.
  // The program's own five-second timer runs too: a tick of it may fall between a fired tick
  // and the check, so each step moves one tab on, or two.
  ASSERT_TRUE(Eventually([&] {
    Fire(*client, 40);
    return client->Control("tluAd_Desktop")["count"].asInt() == 4;
  }));
  EXPECT_NE(AdPicture(*client, 1).find("/AdData/1_ad_1.png"), std::string::npos);
  EXPECT_EQ(AdPicture(*client, 2), "AdDefault.jpg");
  for (int tick = 0; tick < 4; ++tick) {
    const int shown = client->Control("tluAd_Desktop")["value"].asInt();
    Fire(*client, 40);
    const int next = client->Control("tluAd_Desktop")["value"].asInt();
    EXPECT_TRUE(next == (shown + 1) % 4 || next == (shown + 2) % 4) << shown << " -> " << next;
  }
  const Json::ArrayIndex before = Opened(*client).size();
  client->automation().Call("select", {{"window", kMain}, {"name", "tluAd_Desktop"}, {"index", 2}});
  ASSERT_TRUE(client->Click("ad_btn_3"));
  opened = Opened(*client);
  ASSERT_EQ(opened.size(), before + 1);
  EXPECT_NE(opened[before]["target"].asString().find("zelk/Promotion.aspx?id=3"),
            std::string::npos);

  // The counters are the service's totals.
  const Json::Value totals = Get("zelk/InformationStatisticsApi.aspx");
  EXPECT_EQ(client->Control("lblAppTotalCount")["text"].asString(),
            std::to_string(totals["appTotal"].asInt()));
  EXPECT_FALSE(client->Control("lblInstallTotalCount")["text"].asString().empty());
  EXPECT_NE(client->Control("lblInstallTotalCount")["text"].asString(), "---");

  // "ShareToAll" opens the four share pages, each escaped whole.
  const Json::ArrayIndex beforeShare = Opened(*client).size();
  ASSERT_TRUE(client->Click("btnShareTo_ShareToAll_For_HomeRight_0"));
  opened = Opened(*client);
  ASSERT_EQ(opened.size(), beforeShare + 4);
  const char* pages[] = {"t=qzone", "t=tqq", "t=tsina", "t=hi"};
  for (Json::ArrayIndex i = 0; i < 4; ++i) {
    const std::string target = opened[beforeShare + i]["target"].asString();
    EXPECT_NE(target.find("zelk/Share.aspx?act=tool&"), std::string::npos) << target;
    EXPECT_NE(target.find(pages[i]), std::string::npos) << target;
  }

  // An app item shares its display name, as an app tool unless it says it is one.
  client->automation().Call(
      "check", {{"window", kMain}, {"name", "quickBar_AppMarket"}, {"selected", true}});
  ASSERT_TRUE(Eventually([&] {
    Idle(*client);
    return client->Control("lstAppMarketList")["count"].asInt() > 0;
  }));
  const std::string title = AppTitle(*client, 0);
  ASSERT_FALSE(title.empty());
  const Json::ArrayIndex beforeApp = Opened(*client).size();
  ASSERT_TRUE(client->Click("btnShareTo_ShareToSina_For_AppMarketItem_0"));
  opened = Opened(*client);
  ASSERT_EQ(opened.size(), beforeApp + 1);
  const std::string appShare = PercentDecoded(opened[beforeApp]["target"].asString());
  const bool namesItself = title.ends_with("应用") || title.ends_with("工具");
  EXPECT_NE(appShare.find("act=down&t=tsina&uc=&fname=" + title + (namesItself ? "" : "应用工具")),
            std::string::npos)
      << appShare;

  client->automation().Call("quit", {{"window", kMain}});
  EXPECT_EQ(client->WaitForExit(), 0);
  client.reset();

  // Cached pictures are not fetched again; the one that failed is.
  client = StartClient();
  Idle(*client);
  Fire(*client, 40);
  EXPECT_EQ(Fetches("zelk/AdImages/ad_1.png"), 1);
  EXPECT_EQ(Fetches("zelk/AdImages/ad_2.png"), 2);
  EXPECT_NE(AdPicture(*client, 2).find("/AdData/2_ad_2.png"), std::string::npos);

  // Without the service the counters show "---".
  service_.Stop();
  Fire(*client, 50);
  EXPECT_EQ(client->Control("lblInstallTotalCount")["text"].asString(), "---");
  EXPECT_EQ(client->Control("lblAppTotalCount")["text"].asString(), "---");
}

}  // namespace
}  // namespace home
