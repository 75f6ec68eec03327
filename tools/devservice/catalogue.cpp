#include "devservice/catalogue.h"

#include <json/reader.h>

#include <sys/stat.h>
#include <algorithm>
#include <set>
#include <stdexcept>

#include "devservice/text_util.h"
#include "platform/paths.h"

namespace devservice {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Json::Value ReadJsonFile(const std::string& dataDir, const std::string& name) {
  const std::string path = platform::JoinPath(dataDir, name);
  std::string text;
  if (!platform::ReadWholeFile(path, text)) throw std::runtime_error(path + ": cannot be read");
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  Json::Value root;
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
    throw std::runtime_error(path + ": not JSON: " + errors);
  }
  if (!root.isObject()) throw std::runtime_error(path + ": the top level is not an object");
  return root;
}

// Reads the members of one JSON object and names the object in every complaint.
class Fields {
 public:
  Fields(const Json::Value& object, std::string where) : object_(object), where_(std::move(where)) {
    if (!object_.isObject()) fail("is not an object");
  }

  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error(where_ + ": " + what);
  }

  std::string text(const char* key) const {
    std::string value = optionalText(key);
    if (Trim(value).empty()) fail(std::string("\"") + key + "\" is missing or empty");
    return value;
  }

  std::string optionalText(const char* key) const {
    const Json::Value& value = object_[key];
    if (value.isNull()) return {};
    if (!value.isString()) fail(std::string("\"") + key + "\" is not a text");
    if (!IsValidUtf8(value.asString())) fail(std::string("\"") + key + "\" is not UTF-8");
    return value.asString();
  }

  std::int64_t integer(const char* key) const {
    const Json::Value& value = object_[key];
    if (!value.isIntegral()) fail(std::string("\"") + key + "\" is not an integer");
    return value.asInt64();
  }

  int smallInteger(const char* key) const {
    const std::int64_t value = integer(key);
    if (value < 0 || value > 1000000000) fail(std::string("\"") + key + "\" is out of range");
    return static_cast<int>(value);
  }

  bool boolean(const char* key, bool fallback) const {
    const Json::Value& value = object_[key];
    if (value.isNull()) return fallback;
    if (!value.isBool()) fail(std::string("\"") + key + "\" is not true or false");
    return value.asBool();
  }

  const Json::Value& array(const char* key) const {
    const Json::Value& value = object_[key];
    if (!value.isArray()) fail(std::string("\"") + key + "\" is not an array");
    return value;
  }

  std::vector<std::string> texts(const char* key) const {
    std::vector<std::string> values;
    for (const Json::Value& item : array(key)) {
      if (!item.isString() || !IsValidUtf8(item.asString())) {
        fail(std::string("\"") + key + "\" holds something that is not a text");
      }
      values.push_back(item.asString());
    }
    return values;
  }

  std::string where(const char* key, Json::ArrayIndex index) const {
    return where_ + "." + key + "[" + std::to_string(index) + "]";
  }

 private:
  const Json::Value& object_;
  std::string where_;
};

template <typename Item, typename Read>
std::vector<Item> ReadList(const Fields& parent, const char* key, Read read) {
  std::vector<Item> items;
  const Json::Value& list = parent.array(key);
  for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
    items.push_back(read(Fields(list[i], parent.where(key, i))));
  }
  return items;
}

template <typename Item, typename Key>
void RequireUnique(const std::vector<Item>& items, Key key, const std::string& what) {
  std::set<decltype(key(items.front()))> seen;
  for (const Item& item : items) {
    if (!seen.insert(key(item)).second) throw std::runtime_error("duplicate " + what);
  }
}

}  // namespace

std::string Catalogue::pathOf(const std::string& relative) const {
  return platform::JoinPath(dataDir_, relative);
}

Catalogue Catalogue::Load(const std::string& dataDir) {
  Catalogue catalogue;
  catalogue.dataDir_ = dataDir;
  const auto requirePicture = [&](const Fields& fields, const std::string& relative) {
    if (!IsSafeFileName(relative.substr(relative.rfind('/') + 1)) ||
        !IsRegularFile(catalogue.pathOf(relative))) {
      fields.fail("picture " + relative + " is missing");
    }
  };

  {
    const Json::Value root = ReadJsonFile(dataDir, "documents.json");
    const Fields file(root, "documents.json");
    catalogue.documentTypes_ = ReadList<DocumentType>(file, "types", [](const Fields& f) {
      return DocumentType{f.smallInteger("id"), f.text("name")};
    });
    catalogue.documents_ = ReadList<Document>(file, "documents", [&](const Fields& f) {
      Document document{std::to_string(f.smallInteger("downid")),
                        f.text("title"),
                        f.text("info"),
                        f.text("filename"),
                        f.smallInteger("type"),
                        f.integer("size"),
                        f.text("date"),
                        f.optionalText("publisher")};
      if (!IsSafeFileName(document.fileName)) f.fail("\"filename\" is not one file name");
      if (document.sizeBytes <= 0) f.fail("\"size\" must be positive");
      const auto& types = catalogue.documentTypes_;
      if (std::none_of(types.begin(), types.end(),
                       [&](const DocumentType& t) { return t.id == document.type; })) {
        f.fail("\"type\" " + std::to_string(document.type) + " is not declared in \"types\"");
      }
      return document;
    });
    if (catalogue.documents_.empty()) file.fail("\"documents\" is empty");
    RequireUnique(
        catalogue.documents_, [](const Document& d) { return d.downId; },
        "downid in documents.json");
    RequireUnique(
        catalogue.documents_, [](const Document& d) { return ToLowerAscii(d.fileName); },
        "filename in documents.json");
  }

  {
    const Json::Value root = ReadJsonFile(dataDir, "apps.json");
    const Fields file(root, "apps.json");
    catalogue.appPageSize_ = file.smallInteger("pageSize");
    if (catalogue.appPageSize_ < 1) file.fail("\"pageSize\" must be at least 1");
    catalogue.categories_ = ReadList<AppCategory>(file, "categories", [](const Fields& f) {
      return AppCategory{f.smallInteger("id"), f.text("name")};
    });
    catalogue.apps_ = ReadList<App>(file, "apps", [&](const Fields& f) {
      App app;
      app.id = f.smallInteger("id");
      app.categoryId = f.smallInteger("categoryId");
      app.appName = f.text("appName");
      app.displayName = f.text("displayName");
      app.developer = f.text("developer");
      app.version = f.text("version");
      app.iconName = f.text("iconName");
      app.installPackageName = f.text("installPackageName");
      app.exeName = f.text("exeName");
      app.remark = f.text("remark");
      app.netVersion = f.optionalText("netVersion");
      app.size = f.text("size");
      app.iconPicture = f.text("iconPicture");
      for (const std::string* name :
           {&app.appName, &app.iconName, &app.installPackageName, &app.exeName}) {
        if (!IsSafeFileName(*name)) f.fail("\"" + *name + "\" is not one file name");
      }
      const auto& categories = catalogue.categories_;
      if (std::none_of(categories.begin(), categories.end(),
                       [&](const AppCategory& c) { return c.id == app.categoryId; })) {
        f.fail("\"categoryId\" names no category");
      }
      requirePicture(f, app.iconPicture);
      app.package = ReadList<PackageEntry>(f, "package", [&](const Fields& entry) {
        PackageEntry packageEntry{entry.text("path"), entry.text("kind"),
                                  entry.optionalText("content"), entry.optionalText("source")};
        if (packageEntry.kind == "icon") requirePicture(entry, packageEntry.source);
        return packageEntry;
      });
      // The package must hold what the app center looks for after unpacking it.
      const auto entryOf = [&](const std::string& kind) -> const PackageEntry& {
        for (const PackageEntry& entry : app.package) {
          if (entry.kind == kind) return entry;
        }
        f.fail("the package has no " + kind + " entry");
      };
      if (entryOf("program").path != app.exeName) f.fail("the package's program is not exeName");
      if (entryOf("icon").path != app.iconName) f.fail("the package's icon is not iconName");
      const PackageEntry& versionFile = entryOf("version");
      if (versionFile.path != "Version.txt" || Trim(versionFile.content) != app.version) {
        f.fail("the package's Version.txt does not hold the version");
      }
      app.upgradeVersion = f.optionalText("upgradeVersion");
      app.upgradePackageName = f.optionalText("upgradePackageName");
      if (app.upgradeVersion.empty() != app.upgradePackageName.empty()) {
        f.fail("\"upgradeVersion\" and \"upgradePackageName\" go together");
      }
      if (!app.upgradePackageName.empty() && (!IsSafeFileName(app.upgradePackageName) ||
                                              app.upgradePackageName == app.installPackageName)) {
        f.fail("\"upgradePackageName\" is not one file name of its own");
      }
      return app;
    });
    RequireUnique(
        catalogue.apps_, [](const App& a) { return a.id; }, "id in apps.json");
    RequireUnique(
        catalogue.apps_, [](const App& a) { return ToLowerAscii(a.appName); },
        "appName in apps.json");
    RequireUnique(
        catalogue.categories_, [](const AppCategory& c) { return c.id; },
        "category id in apps.json");
  }

  {
    const Json::Value root = ReadJsonFile(dataDir, "news.json");
    const Fields file(root, "news.json");
    catalogue.news_ = ReadList<NewsItem>(file, "news", [](const Fields& f) {
      return NewsItem{f.smallInteger("id"), f.text("title"), f.text("date"), f.text("source"),
                      f.texts("paragraphs")};
    });
    RequireUnique(
        catalogue.news_, [](const NewsItem& n) { return n.id; }, "id in news.json");
    std::stable_sort(catalogue.news_.begin(), catalogue.news_.end(),
                     [](const NewsItem& a, const NewsItem& b) { return a.date > b.date; });
  }

  {
    const Json::Value root = ReadJsonFile(dataDir, "ads.json");
    const Fields file(root, "ads.json");
    catalogue.advertisements_ = ReadList<Advertisement>(file, "ads", [&](const Fields& f) {
      Advertisement ad{f.smallInteger("id"), f.text("description"), f.text("picture"),
                       f.text("headline"), f.texts("paragraphs")};
      requirePicture(f, "pictures/ads/" + ad.picture);
      return ad;
    });
    RequireUnique(
        catalogue.advertisements_, [](const Advertisement& a) { return a.id; }, "id in ads.json");
  }

  {
    const Json::Value root = ReadJsonFile(dataDir, "accounts.json");
    const Fields file(root, "accounts.json");
    catalogue.avatars_ = file.texts("avatars");
    if (catalogue.avatars_.empty()) file.fail("\"avatars\" is empty");
    for (const std::string& avatar : catalogue.avatars_)
      requirePicture(file, "pictures/avatars/" + avatar);
    const auto readMessage = [](const Fields& f) {
      return SeedMessage{f.text("title"), f.text("body")};
    };
    catalogue.welcomeMessages_ = ReadList<SeedMessage>(file, "welcomeMessages", readMessage);
    catalogue.seedAccounts_ = ReadList<SeedAccount>(file, "accounts", [&](const Fields& f) {
      SeedAccount account{NormalizeLoginId(f.text("loginId")),
                          f.text("password"),
                          f.text("nickName"),
                          f.text("avatar"),
                          f.boolean("canDownload", true),
                          ReadList<SeedMessage>(f, "messages", readMessage)};
      const auto& avatars = catalogue.avatars_;
      if (std::find(avatars.begin(), avatars.end(), account.avatar) == avatars.end()) {
        f.fail("\"avatar\" is not one of \"avatars\"");
      }
      return account;
    });
    RequireUnique(
        catalogue.seedAccounts_, [](const SeedAccount& a) { return a.loginId; },
        "loginId in accounts.json");
  }

  {
    const Json::Value root = ReadJsonFile(dataDir, "update.json");
    const Fields file(root, "update.json");
    catalogue.clientUpdate_ = ClientUpdate{
        file.optionalText("version"), file.optionalText("package"), file.optionalText("notes")};
    const ClientUpdate& update = catalogue.clientUpdate_;
    if (!update.version.empty()) {
      if (!IsVersionText(update.version)) file.fail("\"version\" is not a dotted version");
      if (!IsSafeFileName(update.package) ||
          !IsRegularFile(catalogue.pathOf("updates/" + update.package))) {
        file.fail("\"package\" names no file in updates/");
      }
    }
  }

  catalogue.site_ = ReadJsonFile(dataDir, "site.json");
  return catalogue;
}

const Document* Catalogue::findDocument(const std::string& downId) const {
  const auto found = std::find_if(documents_.begin(), documents_.end(),
                                  [&](const Document& d) { return d.downId == downId; });
  return found == documents_.end() ? nullptr : &*found;
}

const Document* Catalogue::findDocumentByFileName(const std::string& fileName) const {
  const std::string wanted = ToLowerAscii(fileName);
  const auto found = std::find_if(documents_.begin(), documents_.end(), [&](const Document& d) {
    return ToLowerAscii(d.fileName) == wanted;
  });
  return found == documents_.end() ? nullptr : &*found;
}

const App* Catalogue::findApp(const std::string& appName) const {
  const std::string wanted = ToLowerAscii(appName);
  const auto found = std::find_if(apps_.begin(), apps_.end(),
                                  [&](const App& a) { return ToLowerAscii(a.appName) == wanted; });
  return found == apps_.end() ? nullptr : &*found;
}

const NewsItem* Catalogue::findNews(int id) const {
  const auto found =
      std::find_if(news_.begin(), news_.end(), [&](const NewsItem& n) { return n.id == id; });
  return found == news_.end() ? nullptr : &*found;
}

const Advertisement* Catalogue::findAdvertisement(int id) const {
  const auto found = std::find_if(advertisements_.begin(), advertisements_.end(),
                                  [&](const Advertisement& a) { return a.id == id; });
  return found == advertisements_.end() ? nullptr : &*found;
}

}  // namespace devservice
