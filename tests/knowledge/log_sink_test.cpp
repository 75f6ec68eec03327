#include "knowledge/log_sink.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/code_page.h"
#include "zelk_lib_stand_in.h"

namespace knowledge {
namespace {

TEST(LogSink, ProductLogReachesTheLibrarysAppendLogAsText) {
  platform::SetAnsiCodesetOverride("GBK");
  const core::ZelkLibBinding lib = knowledge_testing::MakeStandInBinding();
  {
    std::lock_guard lock(knowledge_testing::StandIn().webMutex);
    knowledge_testing::StandIn().appendedLines.clear();
  }
  WriteLogLine(ProductLogSink(lib), u"下载文件:/tmp/建筑.pdf");
  platform::SetAnsiCodesetOverride("");
  std::lock_guard lock(knowledge_testing::StandIn().webMutex);
  ASSERT_EQ(knowledge_testing::StandIn().appendedLines.size(), 1u);
  EXPECT_EQ(knowledge_testing::StandIn().appendedLines[0], u"下载文件:/tmp/建筑.pdf");
}

TEST(LogSink, AFailingSinkDoesNotReachTheCaller) {
  const LogSink failing = [](const std::string&) { throw std::runtime_error("disk full"); };
  EXPECT_NO_THROW(WriteLogLine(failing, u"line"));
  EXPECT_NO_THROW(WriteLogLine(LogSink(), u"line"));
}

}  // namespace
}  // namespace knowledge
