#include "devservice/sample_documents.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "devservice/text_util.h"
#include "devservice/zip_writer.h"

namespace devservice {

namespace {

constexpr char kFont[] = "WenQuanYi Micro Hei, Noto Sans CJK SC, Sans";
constexpr char kSampleNote[] =
    "Tamsel 开发服务的示例文件：正文为演示数据，并非真实文本；文件按资料目录中的大小填充。";
constexpr double kPageWidth = 595.0;  // A4 in points
constexpr double kPageHeight = 842.0;
constexpr double kMargin = 72.0;

std::string Extension(const std::string& fileName) {
  const auto dot = fileName.rfind('.');
  return dot == std::string::npos ? "" : ToLowerAscii(fileName.substr(dot));
}

// ---- PDF -----------------------------------------------------------------------------------

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
using Layout = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Draws a wrapped text at (kMargin, y) and returns the y below it.
double DrawText(cairo_t* cr, double y, const std::string& text, const std::string& font,
                double grey) {
  Layout layout(pango_cairo_create_layout(cr), g_object_unref);
  PangoFontDescription* description = pango_font_description_from_string(font.c_str());
  pango_layout_set_font_description(layout.get(), description);
  pango_font_description_free(description);
  pango_layout_set_width(layout.get(), static_cast<int>((kPageWidth - 2 * kMargin) * PANGO_SCALE));
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  pango_layout_set_text(layout.get(), text.c_str(), -1);
  cairo_set_source_rgb(cr, grey, grey, grey);
  cairo_move_to(cr, kMargin, y);
  pango_cairo_show_layout(cr, layout.get());
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout.get(), &width, &height);
  return y + height;
}

// "2015-09-01" becomes "2015-09-01T00:00:00"; anything else a fixed day, so that the file
// never carries the time it was made.
std::string PdfDate(const std::string& date) {
  const bool isDay = date.size() == 10 && date[4] == '-' && date[7] == '-';
  return (isDay ? date : std::string("2024-01-01")) + "T00:00:00";
}

std::string TitlePagePdf(const Document& document, const std::string& typeName) {
  std::string bytes;
  {
    Surface surface(
        cairo_pdf_surface_create_for_stream(AppendToString, &bytes, kPageWidth, kPageHeight),
        cairo_surface_destroy);
    const std::string date = PdfDate(document.date);
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, document.title.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_AUTHOR,
                                   document.publisher.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "zelk-devservice");
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, date.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_MOD_DATE, date.c_str());
    Context cr(cairo_create(surface.get()), cairo_destroy);
    const std::string font(kFont);
    double y = DrawText(cr.get(), kMargin, typeName, font + " 11", 0.45);
    y = DrawText(cr.get(), y + 12, document.title, font + " Bold 20", 0.1);
    cairo_set_source_rgb(cr.get(), 0.6, 0.1, 0.1);
    cairo_rectangle(cr.get(), kMargin, y + 14, kPageWidth - 2 * kMargin, 1.5);
    cairo_fill(cr.get());
    y = DrawText(cr.get(), y + 28, "发布单位：" + document.publisher, font + " 11", 0.2);
    y = DrawText(cr.get(), y + 4, "发布日期：" + document.date, font + " 11", 0.2);
    y = DrawText(cr.get(), y + 4,
                 "资料编号：" + document.downId + "    文件名：" + document.fileName, font + " 11",
                 0.2);
    y = DrawText(cr.get(), y + 24, "内容简介", font + " Bold 13", 0.1);
    DrawText(cr.get(), y + 8, document.info, font + " 11", 0.15);
    DrawText(cr.get(), kPageHeight - kMargin - 12, kSampleNote, font + " 8", 0.5);
    cairo_show_page(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
      throw std::runtime_error("cannot draw the PDF of " + document.fileName);
    }
  }  // the surface writes the rest of the file when it is destroyed
  return bytes;
}

// The number after `key` in `text` (e.g. "/Size 12"); raises when there is none.
long NumberAfter(const std::string& text, const std::string& key) {
  const auto at = text.find(key);
  long value = -1;
  if (at == std::string::npos || std::sscanf(text.c_str() + at + key.size(), " %ld", &value) != 1) {
    throw std::runtime_error("the PDF has no " + key);
  }
  return value;
}

// "/Root 10 0 R" gives "10 0 R"; empty when the key is missing.
std::string ReferenceAfter(const std::string& text, const std::string& key) {
  const auto at = text.find(key);
  if (at == std::string::npos) return "";
  long number = 0;
  long generation = 0;
  if (std::sscanf(text.c_str() + at + key.size(), " %ld %ld R", &number, &generation) != 2) {
    throw std::runtime_error("the PDF's " + key + " is not a reference");
  }
  return std::to_string(number) + " " + std::to_string(generation) + " R";
}

// An incremental update appended to a finished PDF: one new stream object of `padding`
// pseudo-random bytes, its cross-reference section and a trailer that points back at the
// previous one. Readers see the same document; the file has exactly `size` bytes.
class PdfGrowth {
 public:
  explicit PdfGrowth(const std::string& pdf) : base_(pdf.size()) {
    const auto trailerAt = pdf.rfind("trailer");
    const auto startAt = pdf.rfind("startxref");
    if (trailerAt == std::string::npos || startAt == std::string::npos || startAt < trailerAt) {
      throw std::runtime_error("the PDF has no classic trailer to extend");
    }
    const std::string trailer = pdf.substr(trailerAt, startAt - trailerAt);
    object_ = NumberAfter(trailer, "/Size");
    root_ = ReferenceAfter(trailer, "/Root");
    info_ = ReferenceAfter(trailer, "/Info");
    previous_ = NumberAfter(pdf.substr(startAt), "startxref");
    if (root_.empty()) throw std::runtime_error("the PDF has no /Root");
  }

  std::string head(std::size_t padding, std::size_t blanks) const {
    return std::to_string(object_) + " 0 obj\n<< /Length " + std::to_string(padding) +
           std::string(blanks + 1, ' ') + ">>\nstream\n";
  }
  static std::string middle() { return "\nendstream\nendobj\n"; }
  std::string tail(std::size_t xrefOffset) const {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", base_);
    return "xref\n" + std::to_string(object_) + " 1\n" + entry + "trailer\n<< /Size " +
           std::to_string(object_ + 1) + " /Root " + root_ +
           (info_.empty() ? std::string() : " /Info " + info_) + " /Prev " +
           std::to_string(previous_) + " >>\nstartxref\n" + std::to_string(xrefOffset) +
           "\n%%EOF\n";
  }
  std::size_t total(std::size_t padding, std::size_t blanks) const {
    const std::size_t xref = base_ + head(padding, blanks).size() + padding + middle().size();
    return xref + tail(xref).size();
  }

  // The padding that fills `size` together with the blanks that even out a digit more or
  // less in the numbers; raises when even no padding is too much.
  std::pair<std::size_t, std::size_t> fit(std::size_t size) const {
    if (total(0, 0) > size) throw std::runtime_error("too small a size for a PDF");
    std::size_t padding = size - total(0, 0);
    // total() grows at least one for one with the padding, so this only steps down.
    while (total(padding, 0) > size) padding -= std::min(padding, total(padding, 0) - size);
    return {padding, size - total(padding, 0)};
  }

  std::string grow(const std::string& pdf, std::size_t size, std::string_view seed) const {
    const auto [padding, blanks] = fit(size);
    std::string out = pdf + head(padding, blanks) + PseudoRandomBytes(seed, padding) + middle();
    out += tail(out.size());
    return out;
  }

 private:
  std::size_t base_ = 0;
  long object_ = 0;
  std::string root_;
  std::string info_;
  long previous_ = 0;
};

// ---- Office documents and archives --------------------------------------------------------

std::string XmlText(const std::string& text) {
  return HtmlEscape(text);
}

std::string Paragraph(const std::string& text, bool bold = false) {
  const std::string properties = bold ? "<w:rPr><w:b/><w:sz w:val=\"36\"/></w:rPr>" : "";
  return "<w:p><w:r>" + properties + "<w:t xml:space=\"preserve\">" + XmlText(text) +
         "</w:t></w:r></w:p>";
}

std::string Cell(const std::string& reference, const std::string& text) {
  return "<c r=\"" + reference + "\" t=\"inlineStr\"><is><t>" + XmlText(text) + "</t></is></c>";
}

constexpr char kXmlDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr char kRelationshipsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr char kOfficeRelationshipType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string ContentTypes(const std::string& overrides) {
  return std::string(kXmlDeclaration) +
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Default Extension=\"bin\" ContentType=\"application/octet-stream\"/>" +
         overrides + "</Types>";
}

std::string Relationships(const std::string& type, const std::string& target) {
  return std::string(kXmlDeclaration) + "<Relationships xmlns=\"" + kRelationshipsNs +
         "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeRelationshipType + type + "\" Target=\"" +
         target + "\"/></Relationships>";
}

std::vector<ZipEntry> WordParts(const Document& document, const std::string& typeName) {
  const std::string body =
      Paragraph(document.title, true) + Paragraph(typeName) +
      Paragraph("发布单位：" + document.publisher) + Paragraph("发布日期：" + document.date) +
      Paragraph("资料编号：" + document.downId) + Paragraph(document.info) + Paragraph(kSampleNote);
  return {
      {"[Content_Types].xml",
       ContentTypes("<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>")},
      {"_rels/.rels", Relationships("officeDocument", "word/document.xml")},
      {"word/document.xml",
       std::string(kXmlDeclaration) +
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
           "main\"><w:body>" +
           body + "</w:body></w:document>"},
  };
}

std::vector<ZipEntry> SpreadsheetParts(const Document& document, const std::string& typeName) {
  const std::vector<std::pair<std::string, std::string>> rows = {{"标题", document.title},
                                                                 {"类型", typeName},
                                                                 {"发布单位", document.publisher},
                                                                 {"发布日期", document.date},
                                                                 {"资料编号", document.downId},
                                                                 {"内容简介", document.info},
                                                                 {"说明", kSampleNote}};
  std::string sheetData;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string row = std::to_string(i + 1);
    sheetData += "<row r=\"" + row + "\">" + Cell("A" + row, rows[i].first) +
                 Cell("B" + row, rows[i].second) + "</row>";
  }
  const std::string mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  return {
      {"[Content_Types].xml",
       ContentTypes("<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>")},
      {"_rels/.rels", Relationships("officeDocument", "xl/workbook.xml")},
      {"xl/workbook.xml",
       std::string(kXmlDeclaration) + "<workbook xmlns=\"" + mainNs +
           "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<sheets><sheet name=\"" +
           XmlText(typeName) + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels", Relationships("worksheet", "worksheets/sheet1.xml")},
      {"xl/worksheets/sheet1.xml", std::string(kXmlDeclaration) + "<worksheet xmlns=\"" + mainNs +
                                       "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
  };
}

// The archive of `parts` and one stored filler entry whose length makes it exactly `size`
// bytes long. A stored entry adds its length one for one, so the second build fits.
std::string SizedZip(std::vector<ZipEntry> parts, const std::string& fillerName,
                     const std::string& fillerHeader, std::string_view seed, std::size_t size) {
  parts.push_back(ZipEntry{fillerName, fillerHeader, true});
  ZipEntry& filler = parts.back();
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::string archive = BuildZip(parts);
    const std::size_t built = archive.size();
    if (built == size) return archive;
    if (built > size && built - size > filler.content.size() - fillerHeader.size()) {
      throw std::runtime_error("too small a size for " + std::string(seed));
    }
    const std::size_t randomBytes = filler.content.size() - fillerHeader.size() + size - built;
    filler.content = fillerHeader + PseudoRandomBytes(seed, randomBytes);
  }
  throw std::runtime_error("cannot fit the archive of " + std::string(seed) + " to its size");
}

}  // namespace

std::string PseudoRandomBytes(std::string_view seed, std::size_t count) {
  // FNV-1a of the seed starts a SplitMix64 sequence.
  std::uint64_t state = 0xCBF29CE484222325ULL;
  for (const char c : seed) {
    state = (state ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  }
  std::string bytes(count, '\0');
  for (std::size_t at = 0; at < count; at += 8) {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    std::memcpy(bytes.data() + at, &z, std::min<std::size_t>(8, count - at));
  }
  return bytes;
}

std::string MakeSamplePdf(const Document& document, const std::string& typeName, std::size_t size) {
  const std::string page = TitlePagePdf(document, typeName);
  return PdfGrowth(page).grow(page, size, document.fileName);
}

std::string MakeSampleOfficeDocument(const Document& document, const std::string& typeName,
                                     std::size_t size, bool spreadsheet) {
  std::vector<ZipEntry> parts =
      spreadsheet ? SpreadsheetParts(document, typeName) : WordParts(document, typeName);
  const std::string filler =
      spreadsheet ? "xl/embeddings/sample-data.bin" : "word/embeddings/sample-data.bin";
  return SizedZip(std::move(parts), filler, "", document.fileName, size);
}

std::string MakeSampleZip(const Document& document, const std::string& typeName, std::size_t size) {
  const std::string readme = document.title + "\r\n" + typeName + "\r\n发布单位：" +
                             document.publisher + "\r\n发布日期：" + document.date + "\r\n\r\n" +
                             document.info + "\r\n\r\n" + kSampleNote + "\r\n";
  const std::string stem = document.fileName.substr(0, document.fileName.rfind('.'));
  return SizedZip({ZipEntry{"README.txt", readme}}, "drawings/" + stem + ".dwg", "AC1032",
                  document.fileName, size);
}

std::string MakeSampleDocument(const Document& document, const std::string& typeName) {
  if (document.sizeBytes <= 0) throw std::runtime_error("no size for " + document.fileName);
  const auto size = static_cast<std::size_t>(document.sizeBytes);
  const std::string extension = Extension(document.fileName);
  if (extension == ".pdf") return MakeSamplePdf(document, typeName, size);
  if (extension == ".docx") return MakeSampleOfficeDocument(document, typeName, size, false);
  if (extension == ".xlsx") return MakeSampleOfficeDocument(document, typeName, size, true);
  if (extension == ".zip") return MakeSampleZip(document, typeName, size);
  // A drawing (or any other kind) is its format's signature and pseudo-random bytes.
  const std::string header = extension == ".dwg" ? "AC1032" : "";
  if (size < header.size()) throw std::runtime_error("too small a size for " + document.fileName);
  return header + PseudoRandomBytes(document.fileName, size - header.size());
}

}  // namespace devservice
