// Sample documents are real files of their kind with exactly the catalogue's size, the same
// bytes on every run.

#include "devservice/sample_documents.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <map>
#include <stdexcept>

namespace devservice {
namespace {

Document SampleDocument(const std::string& fileName, std::int64_t size) {
  Document document;
  document.downId = "1001";
  document.title = "GB 50204-2015 混凝土结构工程施工质量验收规范 <A&B>";
  document.info = "适用于建筑工程混凝土结构施工质量的验收。";
  document.fileName = fileName;
  document.type = 1;
  document.sizeBytes = size;
  document.date = "2015-09-01";
  document.publisher = "中华人民共和国住房和城乡建设部";
  return document;
}

// The entries of a zip archive held in memory, read with libzip.
std::map<std::string, std::string> ZipEntries(const std::string& archiveBytes) {
  std::map<std::string, std::string> entries;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source =
      zip_source_buffer_create(archiveBytes.data(), archiveBytes.size(), 0, &error);
  zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (archive == nullptr) {
    ADD_FAILURE() << "not a zip archive: " << zip_error_strerror(&error);
    if (source != nullptr) zip_source_free(source);
    zip_error_fini(&error);
    return entries;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    std::string content(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    EXPECT_NE(file, nullptr) << stat.name;
    if (file == nullptr) continue;
    EXPECT_EQ(zip_fread(file, content.data(), content.size()),
              static_cast<zip_int64_t>(content.size()));
    zip_fclose(file);
    entries[stat.name] = content;
  }
  zip_close(archive);
  zip_error_fini(&error);
  return entries;
}

long NumberAt(const std::string& text, std::size_t at) {
  long value = -1;
  std::sscanf(text.c_str() + at, "%ld", &value);
  return value;
}

// Every cross-reference section of the file, followed through /Prev from the last one: each
// in-use entry points at "<object> <generation> obj". Returns the number of sections.
int CheckCrossReferences(const std::string& pdf) {
  const auto start = pdf.rfind("startxref\n");
  if (start == std::string::npos) {
    ADD_FAILURE() << "no startxref";
    return 0;
  }
  long section = NumberAt(pdf, start + 10);
  int sections = 0;
  while (section >= 0 && sections < 4) {
    ++sections;
    const auto at = static_cast<std::size_t>(section);
    if (pdf.compare(at, 5, "xref\n") != 0) {
      ADD_FAILURE() << "no xref at " << section;
      return sections;
    }
    std::size_t line = at + 5;
    long first = 0;
    long count = 0;
    std::sscanf(pdf.c_str() + line, "%ld %ld", &first, &count);
    line = pdf.find('\n', line) + 1;
    for (long i = 0; i < count; ++i, line += 20) {
      long offset = 0;
      long generation = 0;
      char use = 0;
      std::sscanf(pdf.c_str() + line, "%ld %ld %c", &offset, &generation, &use);
      if (use != 'n') continue;
      const std::string header =
          std::to_string(first + i) + " " + std::to_string(generation) + " obj";
      EXPECT_EQ(pdf.compare(static_cast<std::size_t>(offset), header.size(), header), 0)
          << "object " << first + i << " at " << offset;
    }
    const auto trailer = pdf.find("trailer", line);
    const auto end = pdf.find(">>", trailer);
    const auto prev = pdf.substr(trailer, end - trailer).find("/Prev");
    section = prev == std::string::npos ? -1 : NumberAt(pdf, trailer + prev + 5);
  }
  return sections;
}

TEST(PseudoRandomBytes, DependOnlyOnTheSeedAndTheCount) {
  EXPECT_EQ(PseudoRandomBytes("a.pdf", 13), PseudoRandomBytes("a.pdf", 13));
  EXPECT_EQ(PseudoRandomBytes("a.pdf", 13), PseudoRandomBytes("a.pdf", 40).substr(0, 13));
  EXPECT_NE(PseudoRandomBytes("a.pdf", 64), PseudoRandomBytes("b.pdf", 64));
  EXPECT_EQ(PseudoRandomBytes("a.pdf", 0), "");
  const std::string bytes = PseudoRandomBytes("spread", 65536);
  std::bitset<256> seen;
  for (const char c : bytes) seen.set(static_cast<unsigned char>(c));
  EXPECT_EQ(seen.count(), 256u);
}

TEST(SamplePdf, IsAReadablePdfOfExactlyItsSize) {
  for (const std::size_t size : {60000u, 65536u, 99999u, 100000u, 1048576u, 3481216u}) {
    const std::string pdf = MakeSamplePdf(SampleDocument("a.pdf", 0), "规范标准", size);
    ASSERT_EQ(pdf.size(), size);
    EXPECT_TRUE(pdf.starts_with("%PDF-1."));
    EXPECT_TRUE(pdf.ends_with("%%EOF\n"));
    EXPECT_EQ(CheckCrossReferences(pdf), 2) << "the page's section and the update's";
  }
}

TEST(SamplePdf, IsTheSameOnEveryRunAndDependsOnTheDocument) {
  const Document document = SampleDocument("GB50204-2015.pdf", 0);
  const std::string first = MakeSamplePdf(document, "规范标准", 200000);
  EXPECT_EQ(first, MakeSamplePdf(document, "规范标准", 200000));
  Document other = document;
  other.title = "JGJ 130-2011";
  EXPECT_NE(first, MakeSamplePdf(other, "规范标准", 200000));
  EXPECT_THROW(MakeSamplePdf(document, "规范标准", 2000), std::runtime_error)
      << "smaller than its title page";
}

TEST(SampleOfficeDocuments, AreWordAndExcelPackagesOfExactlyTheirSize) {
  const std::string docx =
      MakeSampleDocument(SampleDocument("FA-XTJSJ-001.docx", 81920), "施工方案");
  ASSERT_EQ(docx.size(), 81920u);
  auto parts = ZipEntries(docx);
  ASSERT_TRUE(parts.count("[Content_Types].xml") && parts.count("_rels/.rels") &&
              parts.count("word/document.xml"));
  EXPECT_NE(parts["word/document.xml"].find("混凝土结构工程施工质量验收规范 &lt;A&amp;B&gt;"),
            std::string::npos)
      << "texts are escaped for XML";
  EXPECT_NE(parts["[Content_Types].xml"].find("wordprocessingml.document.main+xml"),
            std::string::npos);

  const std::string xlsx = MakeSampleDocument(SampleDocument("BG-JSJD.xlsx", 204800), "表格模板");
  ASSERT_EQ(xlsx.size(), 204800u);
  parts = ZipEntries(xlsx);
  ASSERT_TRUE(parts.count("xl/workbook.xml") && parts.count("xl/_rels/workbook.xml.rels") &&
              parts.count("xl/worksheets/sheet1.xml"));
  EXPECT_NE(parts["xl/worksheets/sheet1.xml"].find("适用于建筑工程混凝土结构施工质量的验收"),
            std::string::npos);
  EXPECT_NE(parts["xl/workbook.xml"].find("name=\"表格模板\""), std::string::npos);

  EXPECT_EQ(MakeSampleDocument(SampleDocument("x.docx", 81920), "施工方案"),
            MakeSampleDocument(SampleDocument("x.docx", 81920), "施工方案"));
  EXPECT_THROW(MakeSampleDocument(SampleDocument("x.docx", 500), "施工方案"), std::runtime_error);
}

TEST(SampleArchivesAndDrawings, HoldTheirSignaturesAndExactlyTheirSize) {
  const std::string zip = MakeSampleDocument(SampleDocument("TZ-ZZL-JZ.zip", 300000), "图纸图集");
  ASSERT_EQ(zip.size(), 300000u);
  auto entries = ZipEntries(zip);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_NE(entries["README.txt"].find("混凝土结构工程施工质量验收规范"), std::string::npos);
  EXPECT_TRUE(entries["drawings/TZ-ZZL-JZ.dwg"].starts_with("AC1032"));

  const std::string dwg = MakeSampleDocument(SampleDocument("TZ-XCPM.dwg", 5000), "图纸图集");
  ASSERT_EQ(dwg.size(), 5000u);
  EXPECT_TRUE(dwg.starts_with("AC1032"));
  EXPECT_EQ(MakeSampleDocument(SampleDocument("notes.txt", 77), "资料").size(), 77u);
  EXPECT_THROW(MakeSampleDocument(SampleDocument("a.pdf", 0), "规范标准"), std::runtime_error);
}

}  // namespace
}  // namespace devservice
