#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;

namespace appcenter {

// How an entry came to the home page (written, never read back).
enum class AddPattern : int { handworkAdd = 0, scanAdd = 1 };

// One home app button as the store keeps it (a LibAppButtonItem element).
struct AppButtonEntry {
  std::u16string appName;  // folder under Modules
  std::u16string text;     // caption source
  std::u16string description;
  std::u16string exeFileName;    // program path relative to Modules: the key of the entry
  std::u16string imageFileName;  // icon path relative to Modules
  int weight = 0;
  bool userDefine = false;
  AddPattern addPattern = AddPattern::handworkAdd;
  bool isNotAddScan = true;
  bool canUpgrade = false;
  std::u16string netFrameworkVersionName = u".Net Framework 4.0";
};

// The store of the home app buttons, "Data/AppButtonView.xml" below the program folder, read
// and written whole through TinyXML by the operation that needs it (texts in the system code
// page; saves replace the file atomically). A file that cannot be read counts as holding no
// entries; the next change sets it aside (".bad") and starts a fresh one, so that one broken
// file does not keep installed apps off the home page for good.
class AppButtonStore {
 public:
  using Log = std::function<void(const std::u16string&)>;

  AppButtonStore(std::string path, std::string modulesFolder, Log log);
  ~AppButtonStore();
  AppButtonStore(const AppButtonStore&) = delete;
  AppButtonStore& operator=(const AppButtonStore&) = delete;

  const std::string& Path() const { return path_; }
  bool Exists() const;
  // Creates the file with its defaults (folders included) when there is none.
  void EnsureStoreFile();

  // The entries in file order. An entry that lacks one of the children that must be present
  // is dropped with a log line; the others keep their position (the button's name uses it).
  struct Loaded {
    int position = 0;
    AppButtonEntry entry;
  };
  std::vector<Loaded> Load() const;
  // Number of LibAppButtonItem elements; 0 without the file or its AppButtons.
  int CountAppButtons() const;

  // Updates the entry whose program is the same file (both made absolute under Modules), else
  // appends one; then renumbers every Index and saves. Nothing without the file.
  void AddAppButton(const AppButtonEntry& entry);
  // Removes the first entry whose ExeFileName text equals the given one, then saves.
  void RemoveAppButton(const std::u16string& exeFileName);

 private:
  std::unique_ptr<TiXmlDocument> LoadDocument() const;
  // For a change: the loaded document, or a fresh one after setting a broken file aside.
  std::unique_ptr<TiXmlDocument> LoadForChange();
  bool Save(const TiXmlDocument& document);
  std::string AbsoluteProgram(const std::u16string& exeFileName) const;

  std::string path_;
  std::string modulesFolder_;
  Log log_;
};

}  // namespace appcenter
