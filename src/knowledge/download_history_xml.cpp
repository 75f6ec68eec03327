#include "knowledge/download_history_xml.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/code_page.h"

namespace knowledge {
namespace {

// The record's fields in the order they are written; Field names their places. Views, so that
// comparing a name of another length costs nothing: a save compares every field of every record.
constexpr std::string_view kFieldNames[] = {
    "Index",           "BlockIndex",       "DownloadId",    "FileName",          "StoreFileKind",
    "FileTotalLength", "DataBufferLength", "DownloadState", "DownloadStateInfo", "IsDownloadFinish",
    "LocalFileName",   "LocalFullName"};
enum class Field {
  Index,
  BlockIndex,
  DownloadId,
  FileName,
  StoreFileKind,
  FileTotalLength,
  DataBufferLength,
  DownloadState,
  DownloadStateInfo,
  IsDownloadFinish,
  LocalFileName,
  LocalFullName
};

bool isFieldName(std::string_view name) {
  return std::find(std::begin(kFieldNames), std::end(kFieldNames), name) != std::end(kFieldNames);
}

const char* listName(HistoryList list) {
  return list == HistoryList::Finished ? kFinishedListName : kDownloadingListName;
}

void addTextChild(TiXmlElement& parent, const std::string& name, const std::string& value) {
  TiXmlElement child(name);
  child.InsertEndChild(TiXmlText(value));
  parent.InsertEndChild(child);
}

std::string utf8(const std::u16string& text) {
  return platform::Utf16ToUtf8(text);
}

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values beyond
// U+10FFFF): the common case, checked without converting.
bool isWellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      if (byte == 0xE0) low = 0xA0;
      if (byte == 0xED) high = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      if (byte == 0xF0) low = 0x90;
      if (byte == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

std::string_view textView(const TiXmlElement& element) {
  const char* text = element.GetText();
  return text != nullptr ? std::string_view(text) : std::string_view();
}

std::string textOf(const TiXmlElement& element) {
  return std::string(textView(element));
}

// Whether TinyXML's encoder would change the text; most texts are plain and are copied as they
// are, which keeps a save of a history of thousands of records quick.
bool needsEncoding(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') return true;
  }
  return false;
}

// Decimal integer as the file has always been read (leading blanks and a sign, stops at the
// first non-digit); values beyond 32 bits are clamped.
std::int32_t readInt32(const TiXmlElement& element) {
  const std::string text = textOf(element);
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::unique_ptr<TiXmlDocument> NewHistoryDocument() {
  auto document = std::make_unique<TiXmlDocument>();
  document->InsertEndChild(TiXmlDeclaration("1.0", "", ""));
  TiXmlElement root(kHistoryRootName);
  root.InsertEndChild(TiXmlElement(kFinishedListName));
  root.InsertEndChild(TiXmlElement(kDownloadingListName));
  document->InsertEndChild(root);
  return document;
}

std::unique_ptr<TiXmlDocument> ParseHistoryDocument(std::string_view text) {
  auto document = std::make_unique<TiXmlDocument>();
  // TinyXML steps over a UTF-8 sequence by the length its first byte announces, so a sequence
  // cut off at the end of the text made it read past the buffer. The text is made well-formed
  // first (what is not UTF-8 becomes U+FFFD) and the buffer ends in a few NULs besides.
  std::string terminated = isWellFormedUtf8(text)
                               ? std::string(text)
                               : platform::Utf16ToUtf8(platform::Utf8ToUtf16(text));
  terminated.append(8, '\0');
  // TinyXML condenses runs of white space in texts by default (a process-wide switch), which
  // would turn a FileName or path with two spaces into another one. Parse with the texts kept
  // exactly, and leave the switch as it was for other readers on this thread.
  const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
  TiXmlBase::SetCondenseWhiteSpace(false);
  // Without a tab size TinyXML keeps no row and column of every node, which nobody reads here
  // and which takes a good part of the time to parse a long history.
  document->SetTabSize(0);
  document->Parse(terminated.c_str(), nullptr, TIXML_ENCODING_UTF8);
  TiXmlBase::SetCondenseWhiteSpace(condensed);
  if (document->Error()) return nullptr;
  const TiXmlElement* root = document->RootElement();
  if (root == nullptr || root->ValueStr() != kHistoryRootName) return nullptr;
  return document;
}

std::string SerialiseHistoryDocument(const TiXmlDocument& document, std::size_t expectedSize) {
  // What is written is the documented form (our declaration, the root, both lists, records of
  // text-only field elements in UTF-8), so that whatever odd content a loaded file had (a
  // broken declaration, comments, unknown nodes, attributes, other encodings) cannot make the
  // saved file unreadable. It is printed here directly, as TinyXML's printer lays it out (four
  // spaces a level, "\n" line breaks), without building a copy of a tree of thousands of
  // records first.
  constexpr std::string_view kIndent = "    ";
  std::string out;
  out.reserve(std::max<std::size_t>(expectedSize, 4096));
  out += "<?xml version=\"1.0\" ?>\n<";
  out += kHistoryRootName;
  out += ">\n";
  const TiXmlElement* root = document.RootElement();
  std::string encoded;
  for (const HistoryList list : {HistoryList::Finished, HistoryList::Downloading}) {
    const TiXmlElement* source =
        root != nullptr ? root->FirstChildElement(listName(list)) : nullptr;
    const TiXmlElement* record =
        source != nullptr ? source->FirstChildElement(kRecordElementName) : nullptr;
    out.append(kIndent).append("<").append(listName(list));
    if (record == nullptr) {
      out += " />\n";
      continue;
    }
    out += ">\n";
    for (; record != nullptr; record = record->NextSiblingElement(kRecordElementName)) {
      out.append(kIndent).append(kIndent).append("<").append(kRecordElementName);
      bool anyField = false;
      for (const TiXmlElement* field = record->FirstChildElement(); field != nullptr;
           field = field->NextSiblingElement()) {
        if (!isFieldName(field->ValueStr())) continue;
        if (!anyField) out += ">\n";
        anyField = true;
        const std::string& name = field->ValueStr();
        out.append(kIndent).append(kIndent).append(kIndent).append("<").append(name).append(">");
        const std::string_view text = textView(*field);
        if (isWellFormedUtf8(text) && !needsEncoding(text)) {
          out.append(text);
        } else {
          // Bytes that are not UTF-8 would make the parser read past the end tag next time.
          encoded.clear();
          TiXmlBase::EncodeString(isWellFormedUtf8(text)
                                      ? std::string(text)
                                      : platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)),
                                  &encoded);
          out.append(encoded);
        }
        out.append("</").append(name).append(">\n");
      }
      if (anyField) {
        out.append(kIndent).append(kIndent).append("</").append(kRecordElementName).append(">\n");
      } else {
        out += " />\n";
      }
    }
    out.append(kIndent).append("</").append(listName(list)).append(">\n");
  }
  out.append("</").append(kHistoryRootName).append(">\n");
  return out;
}

TiXmlElement* FindHistoryList(TiXmlDocument& document, HistoryList list) {
  TiXmlElement* root = document.RootElement();
  return root != nullptr ? root->FirstChildElement(listName(list)) : nullptr;
}

TiXmlElement& RequireHistoryList(TiXmlDocument& document, HistoryList list) {
  if (TiXmlElement* found = FindHistoryList(document, list)) return *found;
  TiXmlElement* root = document.RootElement();
  const TiXmlElement fresh(listName(list));
  TiXmlNode* made = nullptr;
  if (list == HistoryList::Finished) {
    made = root->FirstChild() != nullptr ? root->InsertBeforeChild(root->FirstChild(), fresh)
                                         : root->InsertEndChild(fresh);
  } else {
    made = root->InsertEndChild(fresh);
  }
  return *made->ToElement();
}

TiXmlElement MakeRecordElement(const LibDownloadFileInfo& record, HistoryList list) {
  const bool downloading = list == HistoryList::Downloading;
  TiXmlElement element(kRecordElementName);
  addTextChild(element, "Index", downloading ? "0" : std::to_string(record.Index));
  addTextChild(element, "BlockIndex", std::to_string(record.BlockIndex));
  addTextChild(element, "DownloadId", utf8(record.DownloadId));
  addTextChild(element, "FileName", utf8(record.FileName));
  addTextChild(element, "StoreFileKind", utf8(StoreFileKindToText(record.Kind)));
  addTextChild(element, "FileTotalLength", std::to_string(record.FileTotalLength));
  addTextChild(element, "DataBufferLength", std::to_string(record.DataBufferLength));
  addTextChild(element, "DownloadState", utf8(DownloadStateToText(record.State)));
  if (downloading) addTextChild(element, "DownloadStateInfo", utf8(record.DownloadStateInfo));
  addTextChild(element, "IsDownloadFinish", downloading ? "false" : "true");
  addTextChild(element, "LocalFileName", utf8(record.LocalFileName));
  addTextChild(element, "LocalFullName", utf8(record.LocalFullName));
  return element;
}

std::optional<LibDownloadFileInfo> ReadRecordElement(const TiXmlElement& element) {
  // The first child of each known name counts, as a lookup by name would find it; the children
  // are gone through once, since a history may hold thousands of records.
  std::array<const TiXmlElement*, std::size(kFieldNames)> fields{};
  for (const TiXmlElement* field = element.FirstChildElement(); field != nullptr;
       field = field->NextSiblingElement()) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i] == nullptr && std::string_view(field->ValueStr()) == kFieldNames[i]) {
        fields[i] = field;
        break;
      }
    }
  }
  const auto at = [&](Field field) { return fields[static_cast<std::size_t>(field)]; };
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] == nullptr && static_cast<Field>(i) != Field::DownloadStateInfo) {
      return std::nullopt;
    }
  }
  const auto text = [&](Field field) { return platform::Utf8ToUtf16(textView(*at(field))); };
  LibDownloadFileInfo record;
  record.Index = readInt32(*at(Field::Index));
  record.BlockIndex = readInt32(*at(Field::BlockIndex));
  record.DownloadId = text(Field::DownloadId);
  record.FileName = text(Field::FileName);
  record.Kind = StoreFileKindFromText(text(Field::StoreFileKind));
  record.FileTotalLength = readInt32(*at(Field::FileTotalLength));
  record.DataBufferLength = readInt32(*at(Field::DataBufferLength));
  record.State = DownloadStateFromText(text(Field::DownloadState));
  if (at(Field::DownloadStateInfo) != nullptr) {
    record.DownloadStateInfo = text(Field::DownloadStateInfo);
  }
  record.IsDownloadFinish = textView(*at(Field::IsDownloadFinish)) == "true";
  record.LocalFileName = text(Field::LocalFileName);
  record.LocalFullName = text(Field::LocalFullName);
  return record;
}

TiXmlElement* FindRecordElement(TiXmlElement& list, const std::u16string& fileName) {
  const std::string wanted = utf8(fileName);
  for (TiXmlElement* element = list.FirstChildElement(kRecordElementName); element != nullptr;
       element = element->NextSiblingElement(kRecordElementName)) {
    const TiXmlElement* name = element->FirstChildElement("FileName");
    if (name != nullptr && textView(*name) == wanted) return element;
  }
  return nullptr;
}

void RenumberIndex(TiXmlElement& list) {
  int index = 0;
  for (TiXmlElement* element = list.FirstChildElement(kRecordElementName); element != nullptr;
       element = element->NextSiblingElement(kRecordElementName)) {
    TiXmlElement* indexChild = element->FirstChildElement("Index");
    if (indexChild == nullptr) continue;
    indexChild->Clear();
    indexChild->InsertEndChild(TiXmlText(std::to_string(index++)));
  }
}

}  // namespace knowledge
