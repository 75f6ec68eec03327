#include "devservice/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <memory>
#include <stdexcept>

namespace devservice {

namespace {

// 2024-01-01 12:00:00 UTC: a day that reads the same date in every time zone.
constexpr time_t kEntryTime = 1704110400;

struct SourceFree {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

struct ArchiveDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveDiscard>;

[[noreturn]] void Fail(const std::string& what, zip_error_t* error) {
  const std::string text = error != nullptr ? zip_error_strerror(error) : "";
  throw std::runtime_error("cannot build a zip archive: " + what + " " + text);
}

void AddEntry(zip_t* archive, const ZipEntry& entry) {
  zip_source_t* data = zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
  if (data == nullptr) Fail(entry.name, zip_get_error(archive));
  const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_GUESS);
  if (index < 0) {
    zip_source_free(data);
    Fail(entry.name, zip_get_error(archive));
  }
  const auto at = static_cast<zip_uint64_t>(index);
  const zip_uint32_t attributes = (static_cast<zip_uint32_t>(S_IFREG) | entry.unixMode) << 16;
  if (zip_set_file_compression(archive, at, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9) != 0 ||
      zip_file_set_mtime(archive, at, kEntryTime, 0) != 0 ||
      zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX, attributes) != 0) {
    Fail(entry.name, zip_get_error(archive));
  }
}

std::string ReadSource(zip_source_t* source) {
  if (zip_source_open(source) != 0) Fail("reading back", zip_source_error(source));
  std::string bytes;
  char buffer[65536];
  zip_int64_t n = 0;
  while ((n = zip_source_read(source, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  const bool failed = n < 0;
  zip_source_close(source);
  if (failed) Fail("reading back", zip_source_error(source));
  return bytes;
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  Source memory(zip_source_buffer_create(nullptr, 0, 0, &error));
  if (!memory) Fail("memory", &error);
  Archive archive(zip_open_from_source(memory.get(), ZIP_TRUNCATE, &error));
  if (!archive) Fail("open", &error);
  // The open archive owns the source now and frees it on close; one more reference keeps the
  // bytes for reading them back.
  zip_source_keep(memory.get());
  for (const ZipEntry& entry : entries) AddEntry(archive.get(), entry);
  if (zip_close(archive.get()) != 0) Fail("close", zip_get_error(archive.get()));
  archive.release();  // closed: zip_close freed it
  return ReadSource(memory.get());
}

}  // namespace devservice
