#pragma once

#include <json/value.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devservice {

// The sample data of the service, read once from the data folder at start and never changed
// afterwards (so every request thread may read it without a lock). Loading checks every
// entry and raises std::runtime_error naming the file and the entry at the first fault.

struct DocumentType {
  int id = 0;
  std::string name;
};

struct Document {
  std::string downId;  // decimal text, the client's DownloadId
  std::string title;
  std::string info;      // description
  std::string fileName;  // name on the file server (one path component)
  int type = 0;
  std::int64_t sizeBytes = 0;  // size of the sample file the file server will generate
  std::string date;
  std::string publisher;
};

struct AppCategory {
  int id = 0;
  std::string name;
};

// One file of an app's zip package: the program, Version.txt or the icon.
struct PackageEntry {
  std::string path;     // name inside the package
  std::string kind;     // "program", "version" or "icon"
  std::string content;  // text of Version.txt
  std::string source;   // for the icon: picture file below the data folder
};

struct App {
  int id = 0;
  int categoryId = 0;
  std::string appName;
  std::string displayName;
  std::string developer;
  std::string version;
  std::string iconName;
  std::string installPackageName;
  std::string exeName;
  std::string remark;
  std::string netVersion;   // "" or a framework version text such as "4.0"
  std::string size;         // shown size, e.g. "1.8 MB"
  std::string iconPicture;  // picture file below the data folder, served as the icon
  std::vector<PackageEntry> package;
  // A later version the test switch can offer: its version and the name of its package (the
  // same manifest with Version.txt holding the later version). Empty when the app has none.
  std::string upgradeVersion;
  std::string upgradePackageName;
};

struct NewsItem {
  int id = 0;
  std::string title;
  std::string date;
  std::string source;
  std::vector<std::string> paragraphs;
};

struct Advertisement {
  int id = 0;
  std::string description;  // the tooltip
  std::string picture;      // file name below pictures/ads
  std::string headline;
  std::vector<std::string> paragraphs;
};

struct SeedMessage {
  std::string title;
  std::string body;
};

// Accounts that exist when the state folder is new (the demo accounts).
struct SeedAccount {
  std::string loginId;
  std::string password;
  std::string nickName;
  std::string avatar;  // file name below pictures/avatars
  bool canDownload = true;
  std::vector<SeedMessage> messages;
};

struct ClientUpdate {
  std::string version;  // empty: no update is offered
  std::string package;  // file name below updates/
  std::string notes;
};

class Catalogue {
 public:
  static Catalogue Load(const std::string& dataDir);

  const std::string& dataDir() const { return dataDir_; }
  const std::vector<DocumentType>& documentTypes() const { return documentTypes_; }
  const std::vector<Document>& documents() const { return documents_; }
  const Document* findDocument(const std::string& downId) const;
  const Document* findDocumentByFileName(const std::string& fileName) const;

  const std::vector<AppCategory>& categories() const { return categories_; }
  const std::vector<App>& apps() const { return apps_; }
  const App* findApp(const std::string& appName) const;  // case-insensitive
  int appPageSize() const { return appPageSize_; }

  const std::vector<NewsItem>& news() const { return news_; }  // newest first
  const NewsItem* findNews(int id) const;
  const std::vector<Advertisement>& advertisements() const { return advertisements_; }
  const Advertisement* findAdvertisement(int id) const;

  const std::vector<SeedAccount>& seedAccounts() const { return seedAccounts_; }
  const std::vector<std::string>& avatars() const { return avatars_; }
  const std::vector<SeedMessage>& welcomeMessages() const { return welcomeMessages_; }
  const ClientUpdate& clientUpdate() const { return clientUpdate_; }

  // Texts of the web pages (questions, videos, games, links, help) as written in site.json.
  const Json::Value& site() const { return site_; }

  // Path of a file below the data folder.
  std::string pathOf(const std::string& relative) const;

 private:
  std::string dataDir_;
  std::vector<DocumentType> documentTypes_;
  std::vector<Document> documents_;
  std::vector<AppCategory> categories_;
  std::vector<App> apps_;
  int appPageSize_ = 5;
  std::vector<NewsItem> news_;
  std::vector<Advertisement> advertisements_;
  std::vector<SeedAccount> seedAccounts_;
  std::vector<std::string> avatars_;
  std::vector<SeedMessage> welcomeMessages_;
  ClientUpdate clientUpdate_;
  Json::Value site_;
};

}  // namespace devservice
