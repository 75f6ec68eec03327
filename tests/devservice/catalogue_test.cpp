#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/writer.h>

#include <filesystem>
#include <functional>
#include <set>

#include "devservice/catalogue.h"
#include "devservice/options.h"
#include "devservice/page_renderer.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace devservice {
namespace {

TEST(Catalogue, ShippedDataIsLargeEnoughToPageAndCoversEveryKind) {
  const Catalogue catalogue = Catalogue::Load(DefaultDataDir());
  EXPECT_GE(catalogue.documents().size(), 60u);
  std::set<int> declared, used;
  for (const DocumentType& type : catalogue.documentTypes()) declared.insert(type.id);
  for (const Document& document : catalogue.documents()) used.insert(document.type);
  EXPECT_EQ(used, declared);
  for (const int typeId : {1, 2, 5})
    EXPECT_TRUE(declared.contains(typeId)) << "the type combo asks for " << typeId;

  EXPECT_GE(catalogue.categories().size(), 5u);
  EXPECT_GE(catalogue.apps().size(), 25u);
  std::set<int> categoriesWithApps;
  int needingFramework = 0;
  for (const App& app : catalogue.apps()) {
    categoriesWithApps.insert(app.categoryId);
    EXPECT_EQ(app.package.size(), 3u) << app.appName;
    needingFramework += app.netVersion.empty() ? 0 : 1;
  }
  EXPECT_EQ(categoriesWithApps.size(), catalogue.categories().size());
  EXPECT_GE(needingFramework, 1);
  EXPECT_LT(needingFramework, static_cast<int>(catalogue.apps().size()));

  EXPECT_GE(catalogue.news().size(), 20u);
  for (std::size_t i = 1; i < catalogue.news().size(); ++i) {
    EXPECT_GE(catalogue.news()[i - 1].date, catalogue.news()[i].date) << "newest first";
  }
  EXPECT_EQ(catalogue.advertisements().size(), 4u);
  EXPECT_TRUE(catalogue.clientUpdate().version.empty()) << "no update by default";
  ASSERT_FALSE(catalogue.seedAccounts().empty());
  EXPECT_EQ(catalogue.seedAccounts().front().loginId, "13800000000");
}

// A copy of the shipped data with one JSON file changed; loading it must fail and name why.
class BrokenData : public ::testing::Test {
 protected:
  void SetUp() override { freshCopy(); }
  void freshCopy() {
    std::filesystem::remove_all(dir_.path() + "/data");
    std::filesystem::copy(DefaultDataDir(), dir_.path() + "/data",
                          std::filesystem::copy_options::recursive);
  }
  void change(const std::string& file, const std::function<void(Json::Value&)>& edit) {
    const std::string path = dir_.path() + "/data/" + file;
    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile(path, text));
    Json::Value root;
    std::string errors;
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors));
    edit(root);
    ASSERT_TRUE(
        platform::WriteFileAtomically(path, Json::writeString(Json::StreamWriterBuilder(), root)));
  }
  std::string loadError() {
    try {
      Catalogue::Load(dir_.path() + "/data");
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return {};
  }
  testing_support::TempDir dir_;
};

TEST_F(BrokenData, EachFaultStopsTheLoadWithFileAndEntry) {
  struct Fault {
    const char* file;
    std::function<void(Json::Value&)> edit;
    const char* expected;
  };
  const std::vector<Fault> faults = {
      {"documents.json",
       [](Json::Value& r) { r["documents"][3]["downid"] = r["documents"][2]["downid"]; },
       "duplicate downid"},
      {"documents.json", [](Json::Value& r) { r["documents"][4]["type"] = 9; },
       "documents.json.documents[4]"},
      {"documents.json", [](Json::Value& r) { r["documents"][5]["filename"] = "../../etc/passwd"; },
       "not one file name"},
      {"documents.json", [](Json::Value& r) { r["documents"][0]["title"] = ""; },
       "\"title\" is missing"},
      {"documents.json", [](Json::Value& r) { r["documents"][0]["size"] = "big"; },
       "\"size\" is not an integer"},
      {"apps.json", [](Json::Value& r) { r["apps"][2]["categoryId"] = 77; }, "apps.json.apps[2]"},
      {"apps.json", [](Json::Value& r) { r["apps"][1]["package"][1]["content"] = "0.9\n"; },
       "Version.txt"},
      {"apps.json", [](Json::Value& r) { r["apps"][1]["package"][0]["path"] = "other"; },
       "program"},
      {"apps.json", [](Json::Value& r) { r["apps"][0]["iconPicture"] = "pictures/icons/none.png"; },
       "is missing"},
      {"apps.json", [](Json::Value& r) { r["apps"][6]["appName"] = r["apps"][5]["appName"]; },
       "duplicate appName"},
      {"ads.json", [](Json::Value& r) { r["ads"][1]["picture"] = "gone.png"; }, "ads.json.ads[1]"},
      {"accounts.json", [](Json::Value& r) { r["accounts"][0]["avatar"] = "x.png"; }, "\"avatar\""},
      {"update.json",
       [](Json::Value& r) {
         r["version"] = "3.2.0.0";
         r["package"] = "missing.zip";
       },
       "updates/"},
      {"news.json", [](Json::Value& r) { r["news"] = "none"; }, "\"news\" is not an array"},
  };
  for (const Fault& fault : faults) {
    freshCopy();
    change(fault.file, fault.edit);
    const std::string error = loadError();
    EXPECT_NE(error.find(fault.expected), std::string::npos) << fault.file << ": " << error;
  }
  freshCopy();
  ASSERT_TRUE(platform::WriteFileAtomically(dir_.path() + "/data/site.json", "{ not json"));
  EXPECT_NE(loadError().find("site.json"), std::string::npos);
}

TEST(PageRenderer, PlaceholdersAreFilledAndAMissingValueIsAnError) {
  EXPECT_EQ(FillTemplate("<b>{{a}}</b>{{b}}{{a}}", {{"a", "1"}, {"b", "<i>"}}), "<b>1</b><i>1");
  EXPECT_EQ(FillTemplate("no placeholders {", {}), "no placeholders {");
  EXPECT_THROW(FillTemplate("{{a}} {{missing}}", {{"a", "1"}}), std::runtime_error);
  const PageRenderer pages(DefaultDataDir());
  const std::string page = pages.page("not_found", "标题<script>", {});
  EXPECT_NE(page.find("<title>标题&lt;script&gt;</title>"), std::string::npos);
  EXPECT_THROW(pages.page("no_such_page", "x", {}), std::runtime_error);
  EXPECT_THROW(pages.page("news", "x", {{"title", "only one value"}}), std::runtime_error);
}

}  // namespace
}  // namespace devservice
