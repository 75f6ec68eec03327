#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/file_version.h"
#include "platform/paths.h"

namespace {

// The facts an installer reads from the library file without loading it.
TEST(PluginVersionFacts, AreReadableFromTheLibraryFile) {
  EXPECT_EQ(platform::ReadEmbeddedFileVersion(ZELK_PLUGIN_LIBRARY), "1.0.0.1");

  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(ZELK_PLUGIN_LIBRARY, bytes));
  const std::string first = "ZELK_FILE_VERSION=1.0.0.1";
  const auto at = bytes.find(first + '\0' + "FileVersion=");
  ASSERT_NE(at, std::string::npos);
  std::map<std::string, std::string> facts;
  for (std::size_t pos = at + first.size() + 1; pos < bytes.size() && bytes[pos] != '\0';) {
    const std::string entry(bytes.c_str() + pos);
    const auto equals = entry.find('=');
    ASSERT_NE(equals, std::string::npos) << entry;
    facts[entry.substr(0, equals)] = entry.substr(equals + 1);
    pos += entry.size() + 1;
  }
  const std::map<std::string, std::string> expected = {{"FileVersion", "1.0.0.1"},
                                                       {"ProductVersion", "1.0.0.1"},
                                                       {"FileDescription", "Tamsel插件"},
                                                       {"ProductName", "Tamsel插件"},
                                                       {"InternalName", "npZelk"},
                                                       {"OriginalFilename", "libnpZelk.so"},
                                                       {"MIMEType", "application/zelk-plugin"}};
  EXPECT_EQ(facts, expected);
}

}  // namespace
