#include "devservice/sample_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "devservice/app_packages.h"
#include "devservice/file_store.h"
#include "devservice/sample_documents.h"
#include "platform/paths.h"

namespace devservice {

namespace {

class SampleWriter {
 public:
  explicit SampleWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}

  void write(std::int32_t kind, const std::string& name, const std::string& content,
             bool executable = false) {
    // The names come from the catalogue; a name the file server would refuse is a fault of
    // the sample data, not something to write anyway.
    if (!IsServableFileName(name)) throw std::runtime_error("not a servable file name: " + name);
    const std::filesystem::path path = folder_ / std::string(*StoreFolderName(kind)) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
    if (executable) {
      std::filesystem::permissions(path,
                                   std::filesystem::perms::owner_exec |
                                       std::filesystem::perms::group_exec |
                                       std::filesystem::perms::others_exec,
                                   std::filesystem::perm_options::add);
    }
    ++summary_.files;
    summary_.bytes += static_cast<std::int64_t>(content.size());
  }

  const SampleFilesSummary& summary() const { return summary_; }

 private:
  std::filesystem::path folder_;
  SampleFilesSummary summary_;
};

std::string TypeName(const Catalogue& catalogue, int type) {
  for (const DocumentType& known : catalogue.documentTypes()) {
    if (known.id == type) return known.name;
  }
  return "资料";
}

}  // namespace

SampleFilesSummary GenerateSampleFiles(const Catalogue& catalogue, const std::string& root) {
  const std::filesystem::path target(root);
  const std::filesystem::path fresh = target.string() + ".new";
  std::filesystem::remove_all(fresh);
  SampleWriter writer(fresh);
  for (int kind = 0; kind <= 3; ++kind) {
    std::filesystem::create_directories(fresh / std::string(*StoreFolderName(kind)));
  }
  for (const Document& document : catalogue.documents()) {
    writer.write(0, document.fileName,
                 MakeSampleDocument(document, TypeName(catalogue, document.type)));
  }
  for (const App& app : catalogue.apps()) {
    writer.write(1, app.installPackageName, MakeAppPackage(app, catalogue));
    if (!app.upgradePackageName.empty()) {
      writer.write(1, app.upgradePackageName, MakeAppUpgradePackage(app, catalogue));
    }
  }
  for (const std::string& avatar : catalogue.avatars()) {
    std::string picture;
    if (!platform::ReadWholeFile(catalogue.pathOf("pictures/avatars/" + avatar), picture)) {
      throw std::runtime_error("cannot read the avatar " + avatar);
    }
    writer.write(2, avatar, picture);
  }
  writer.write(3, kFrameworkInstallerName, FrameworkInstallerScript(), true);
  std::filesystem::remove_all(target);
  std::filesystem::rename(fresh, target);
  return writer.summary();
}

}  // namespace devservice
