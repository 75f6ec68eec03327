#include "appcenter/app_button_store.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/code_page.h"
#include "platform/paths.h"

namespace appcenter {
namespace {

constexpr char kRoot[] = "LibAppButtonViewConfig";
constexpr char kButtons[] = "AppButtons";
constexpr char kItem[] = "LibAppButtonItem";

std::string Ansi(const std::u16string& text) {
  return platform::Utf16ToAnsi(text);
}

std::u16string Wide(const char* ansi) {
  return ansi != nullptr ? platform::AnsiToUtf16Lossy(ansi) : std::u16string();
}

const char* TrueFalse(bool value) {
  return value ? "True" : "False";
}

const char* PatternText(AddPattern pattern) {
  switch (pattern) {
    case AddPattern::handworkAdd:
      return "handworkAdd";
    case AddPattern::scanAdd:
      return "scanAdd";
  }
  return "";
}

void AddText(TiXmlElement& parent, const char* name, const std::string& value) {
  TiXmlElement child(name);
  child.InsertEndChild(TiXmlText(value));
  parent.InsertEndChild(child);
}

void SetText(TiXmlElement& parent, const char* name, const std::string& value) {
  TiXmlElement* child = parent.FirstChildElement(name);
  if (child == nullptr) return AddText(parent, name, value);
  child->Clear();
  child->InsertEndChild(TiXmlText(value));
}

const char* TextOf(const TiXmlElement& item, const char* name) {
  const TiXmlElement* child = item.FirstChildElement(name);
  if (child == nullptr) return nullptr;
  const char* text = child->GetText();
  return text != nullptr ? text : "";
}

std::unique_ptr<TiXmlDocument> NewDocument() {
  auto document = std::make_unique<TiXmlDocument>();
  document->InsertEndChild(TiXmlDeclaration("1.0", "", ""));
  TiXmlElement root(kRoot);
  AddText(root, "ButtonWidth", "80");
  AddText(root, "ButtonHeight", "80");
  AddText(root, "HasCustomByUser", "false");
  root.InsertEndChild(TiXmlElement(kButtons));
  document->InsertEndChild(root);
  return document;
}

TiXmlElement* ButtonsOf(TiXmlDocument& document) {
  TiXmlElement* root = document.RootElement();
  return root != nullptr ? root->FirstChildElement(kButtons) : nullptr;
}

}  // namespace

AppButtonStore::AppButtonStore(std::string path, std::string modulesFolder, Log log)
    : path_(std::move(path)), modulesFolder_(std::move(modulesFolder)), log_(std::move(log)) {}

AppButtonStore::~AppButtonStore() = default;

bool AppButtonStore::Exists() const {
  std::error_code error;
  return std::filesystem::is_regular_file(path_, error);
}

void AppButtonStore::EnsureStoreFile() {
  if (Exists()) return;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
  Save(*NewDocument());
}

std::unique_ptr<TiXmlDocument> AppButtonStore::LoadDocument() const {
  std::string text;
  if (!Exists() || !platform::ReadWholeFile(path_, text)) return nullptr;
  text.append(8, '\0');
  auto document = std::make_unique<TiXmlDocument>();
  // Texts are kept exactly: a description with two blanks stays as it was written.
  const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
  TiXmlBase::SetCondenseWhiteSpace(false);
  document->Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  TiXmlBase::SetCondenseWhiteSpace(condensed);
  if (document->Error() || document->RootElement() == nullptr ||
      document->RootElement()->ValueStr() != kRoot) {
    return nullptr;
  }
  return document;
}

std::unique_ptr<TiXmlDocument> AppButtonStore::LoadForChange() {
  if (!Exists()) return nullptr;
  if (auto document = LoadDocument()) return document;
  const std::string aside = path_ + ".bad";
  const bool setAside = std::rename(path_.c_str(), aside.c_str()) == 0;
  if (log_) {
    log_(u"首页应用按钮文件 " + platform::Utf8ToUtf16(path_) +
         (setAside ? u" 无法读取，已改名为 " + platform::Utf8ToUtf16(aside) + u" 并重新建立."
                   : u" 无法读取，已重新建立."));
  }
  return NewDocument();
}

bool AppButtonStore::Save(const TiXmlDocument& document) {
  TiXmlPrinter printer;
  printer.SetIndent("    ");
  printer.SetLineBreak("\n");
  document.Accept(&printer);
  if (platform::WriteFileAtomically(path_, printer.Str())) return true;
  if (log_) log_(u"保存首页应用按钮文件 " + platform::Utf8ToUtf16(path_) + u" 失败.");
  return false;
}

std::vector<AppButtonStore::Loaded> AppButtonStore::Load() const {
  std::vector<Loaded> entries;
  auto document = LoadDocument();
  if (!document) return entries;
  const TiXmlElement* buttons = ButtonsOf(*document);
  if (buttons == nullptr) return entries;
  int position = 0;
  for (const TiXmlElement* item = buttons->FirstChildElement(kItem); item != nullptr;
       item = item->NextSiblingElement(kItem), ++position) {
    const char* text = TextOf(*item, "Text");
    const char* description = TextOf(*item, "Description");
    const char* exe = TextOf(*item, "ExeFileName");
    const char* image = TextOf(*item, "ImageFileName");
    if (text == nullptr || description == nullptr || exe == nullptr || image == nullptr) {
      if (log_)
        log_(u"首页应用按钮文件中第 " + platform::Utf8ToUtf16(std::to_string(position)) +
             u" 项缺少必需的内容，已跳过.");
      continue;
    }
    Loaded loaded;
    loaded.position = position;
    AppButtonEntry& entry = loaded.entry;
    entry.text = Wide(text);
    entry.description = Wide(description);
    entry.exeFileName = Wide(exe);
    entry.imageFileName = Wide(image);
    if (const char* appName = TextOf(*item, "AppName")) {
      entry.appName = Wide(appName);
    } else {
      // The folder above the program file.
      const std::string native = platform::NativeSeparators(Ansi(entry.exeFileName));
      entry.appName = Wide(std::filesystem::path(native).parent_path().filename().string().c_str());
    }
    if (const char* weight = TextOf(*item, "Weight")) entry.weight = std::atoi(weight);
    if (const char* upgrade = TextOf(*item, "CanUpgrade")) {
      entry.canUpgrade = std::string(upgrade) == "1" || std::string(upgrade) == "True";
    }
    if (const char* net = TextOf(*item, "NetFrameworkVersion")) {
      entry.netFrameworkVersionName = Wide(net);
    }
    entries.push_back(std::move(loaded));
  }
  return entries;
}

int AppButtonStore::CountAppButtons() const {
  auto document = LoadDocument();
  if (!document) return 0;
  const TiXmlElement* buttons = ButtonsOf(*document);
  int count = 0;
  for (const TiXmlElement* item = buttons != nullptr ? buttons->FirstChildElement(kItem) : nullptr;
       item != nullptr; item = item->NextSiblingElement(kItem)) {
    ++count;
  }
  return count;
}

std::string AppButtonStore::AbsoluteProgram(const std::u16string& exeFileName) const {
  return platform::JoinPath(modulesFolder_, platform::NativeSeparators(Ansi(exeFileName)));
}

void AppButtonStore::AddAppButton(const AppButtonEntry& entry) {
  auto document = LoadForChange();
  if (!document) return;
  TiXmlElement* buttons = ButtonsOf(*document);
  if (buttons == nullptr) {
    buttons = document->RootElement()->InsertEndChild(TiXmlElement(kButtons))->ToElement();
  }
  const std::string program = AbsoluteProgram(entry.exeFileName);
  TiXmlElement* found = nullptr;
  for (TiXmlElement* item = buttons->FirstChildElement(kItem); item != nullptr;
       item = item->NextSiblingElement(kItem)) {
    const char* exe = TextOf(*item, "ExeFileName");
    if (exe != nullptr && AbsoluteProgram(Wide(exe)) == program) {
      found = item;
      break;
    }
  }
  const std::string weight = std::to_string(entry.weight);
  if (found != nullptr) {
    SetText(*found, "AppName", Ansi(entry.appName));
    SetText(*found, "Text", Ansi(entry.text));
    SetText(*found, "Description", Ansi(entry.description));
    SetText(*found, "ImageFileName", Ansi(entry.imageFileName));
    SetText(*found, "Weight", weight);
    SetText(*found, "UserDefine", TrueFalse(entry.userDefine));
    SetText(*found, "AddPattern", PatternText(entry.addPattern));
    SetText(*found, "IsNotAddScan", TrueFalse(entry.isNotAddScan));
    SetText(*found, "CanUpgrade", "False");
    // The requirement replaces the old one rather than adding a second element that readers
    // would not see.
    SetText(*found, "NetFrameworkVersion", Ansi(entry.netFrameworkVersionName));
  } else {
    TiXmlElement item(kItem);
    AddText(item, "Index", "0");
    AddText(item, "AppName", Ansi(entry.appName));
    AddText(item, "Text", Ansi(entry.text));
    AddText(item, "Description", Ansi(entry.description));
    AddText(item, "ExeFileName", Ansi(entry.exeFileName));
    AddText(item, "ImageFileName", Ansi(entry.imageFileName));
    AddText(item, "Weight", weight);
    AddText(item, "UserDefine", TrueFalse(entry.userDefine));
    AddText(item, "AddPattern", PatternText(entry.addPattern));
    AddText(item, "IsNotAddScan", TrueFalse(entry.isNotAddScan));
    AddText(item, "CanUpgrade", "False");
    AddText(item, "NetFrameworkVersion", Ansi(entry.netFrameworkVersionName));
    buttons->InsertEndChild(item);
  }
  int index = 0;
  for (TiXmlElement* item = buttons->FirstChildElement(kItem); item != nullptr;
       item = item->NextSiblingElement(kItem)) {
    SetText(*item, "Index", std::to_string(index++));
  }
  Save(*document);
}

void AppButtonStore::RemoveAppButton(const std::u16string& exeFileName) {
  auto document = LoadForChange();
  if (!document) return;
  TiXmlElement* buttons = ButtonsOf(*document);
  if (buttons == nullptr) return;
  for (TiXmlElement* item = buttons->FirstChildElement(kItem); item != nullptr;
       item = item->NextSiblingElement(kItem)) {
    const char* exe = TextOf(*item, "ExeFileName");
    if (exe != nullptr && Wide(exe) == exeFileName) {
      buttons->RemoveChild(item);
      break;
    }
  }
  Save(*document);
}

}  // namespace appcenter
