#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "devservice/catalogue.h"

namespace devservice {

// The sample file of a catalogue document: exactly `sizeBytes` bytes, the same bytes on every
// run, and a real file of its kind so that opening a downloaded sample shows something:
// - ".pdf": a PDF with a title page (title, publisher, date, description, a note that it is
//   sample data), grown to its size by an incremental update that holds one unused stream;
// - ".docx" / ".xlsx": an Office document with the same texts and a stored attachment part;
// - ".zip": an archive with a read-me and a stored drawing file;
// - anything else (".dwg"): a short header and pseudo-random bytes.
// Raises std::runtime_error when the size is too small for the kind's skeleton.
std::string MakeSampleDocument(const Document& document, const std::string& typeName);

// Pseudo-random bytes that depend only on the seed text and the count.
std::string PseudoRandomBytes(std::string_view seed, std::size_t count);

// The parts of MakeSampleDocument, by kind.
std::string MakeSamplePdf(const Document& document, const std::string& typeName, std::size_t size);
std::string MakeSampleOfficeDocument(const Document& document, const std::string& typeName,
                                     std::size_t size, bool spreadsheet);
std::string MakeSampleZip(const Document& document, const std::string& typeName, std::size_t size);

}  // namespace devservice
