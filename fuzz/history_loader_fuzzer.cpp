// Loads arbitrary text as DownloadHistory.xml the way the store does, reads every record of
// both lists, and checks that what the store would save from the loaded tree loads again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "knowledge/download_history_xml.h"

namespace {

void readList(TiXmlElement* list) {
  if (list == nullptr) return;
  for (const TiXmlElement* element = list->FirstChildElement(knowledge::kRecordElementName);
       element != nullptr; element = element->NextSiblingElement(knowledge::kRecordElementName)) {
    knowledge::ReadRecordElement(*element);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace knowledge;
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto document = ParseHistoryDocument(text);
  if (!document) return 0;
  readList(FindHistoryList(*document, HistoryList::Finished));
  readList(FindHistoryList(*document, HistoryList::Downloading));
  if (TiXmlElement* finished = FindHistoryList(*document, HistoryList::Finished)) {
    RenumberIndex(*finished);
  }
  const std::string saved = SerialiseHistoryDocument(*document);
  if (!ParseHistoryDocument(saved)) std::abort();
  return 0;
}
