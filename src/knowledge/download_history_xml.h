#pragma once

#include <tinyxml.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/download_record.h"

namespace knowledge {

// The tree of DownloadHistory.xml and its mapping to download records. Pure functions: the
// store (DownloadHistoryStore) adds the file around them.
//
// <?xml version="1.0" ?>
// <LibLocalDownloadHistory>
//     <HasDownloadList>   eleven-child LibDownloadFileInfo elements, Index 0, 1, 2 ...
//     <DownloadingList>   twelve-child LibDownloadFileInfo elements, Index 0
// </LibLocalDownloadHistory>
inline constexpr char kHistoryRootName[] = "LibLocalDownloadHistory";
inline constexpr char kFinishedListName[] = "HasDownloadList";
inline constexpr char kDownloadingListName[] = "DownloadingList";
inline constexpr char kRecordElementName[] = "LibDownloadFileInfo";

enum class HistoryList { Finished, Downloading };

// The declaration, the root and the two empty lists.
std::unique_ptr<TiXmlDocument> NewHistoryDocument();

// Parses the file's text as UTF-8. Null when it is no XML or its root is not the history's
// root (a corrupt or foreign file).
std::unique_ptr<TiXmlDocument> ParseHistoryDocument(std::string_view text);

// The document as the file holds it: four-space indent, "\n" line breaks. `expectedSize` (the
// size of the last save, say) is room made up front.
std::string SerialiseHistoryDocument(const TiXmlDocument& document, std::size_t expectedSize = 0);

// The list element of that name under the root; null when the file lacks it.
TiXmlElement* FindHistoryList(TiXmlDocument& document, HistoryList list);
// The same, made (in its place: finished list first) when it is missing.
TiXmlElement& RequireHistoryList(TiXmlDocument& document, HistoryList list);

// The element form of a record for a list: twelve children for Downloading (Index "0",
// IsDownloadFinish "false"), eleven for Finished (no DownloadStateInfo, IsDownloadFinish
// "true"). Texts are UTF-8.
TiXmlElement MakeRecordElement(const LibDownloadFileInfo& record, HistoryList list);

// Reads a record element. nullopt when a child that a reader needs is missing; a missing
// DownloadStateInfo reads as empty. LocalFullName is taken as stored.
std::optional<LibDownloadFileInfo> ReadRecordElement(const TiXmlElement& element);

// The first record element of a list whose FileName equals the given one; null when none.
TiXmlElement* FindRecordElement(TiXmlElement& list, const std::u16string& fileName);

// Numbers the Index children of a list's record elements 0, 1, 2 ... in document order.
void RenumberIndex(TiXmlElement& list);

}  // namespace knowledge
