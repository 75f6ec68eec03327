#include <gtest/gtest.h>

#include "net/json_reply.h"

namespace net {
namespace {

TEST(JsonReply, OnlyAnIntegerOneIsDone) {
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":1})")), 1);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":1.0})")), 1);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":"1"})")), 0);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":null})")), 0);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"msg":"x"})")), 0);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":true})")), 0);
  EXPECT_EQ(ReplyResult(*ParseServiceReply(R"({"result":99999999999})")), 0);
}

TEST(JsonReply, TextsThatAreNoObjectCannotBeParsed) {
  EXPECT_FALSE(ParseServiceReply("").has_value());
  EXPECT_FALSE(ParseServiceReply("<html>ipush_jsp/server.jsp</html>").has_value());
  EXPECT_FALSE(ParseServiceReply(R"({"result":1,"list":[{"title":"a")").has_value());
  EXPECT_FALSE(ParseServiceReply("[1,2]").has_value());
  EXPECT_FALSE(ParseServiceReply("null").has_value());
  EXPECT_TRUE(ParseServiceReply("// note\n{\"result\":1}").has_value());
}

TEST(JsonReply, NestingBeyondTheReadersDepthLimitIsNoReplyInsteadOfAnException) {
  const auto nested = [](std::size_t depth) {
    return R"({"result":1,"data":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
  };
  std::optional<Json::Value> reply;
  EXPECT_NO_THROW(reply = ParseServiceReply(nested(5000)));
  EXPECT_FALSE(reply.has_value());
  reply = ParseServiceReply(nested(500));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(ReplyResult(*reply), 1);
}

TEST(JsonReply, AHugeReplyParses) {
  std::string big = R"({"result":1,"list":[)";
  const std::string item =
      R"({"title":"建筑施工组织设计规范","info":"0123456789012345678901234567890123456789"},)";
  while (big.size() < 10 * 1024 * 1024) big += item;
  big.back() = ']';
  big += '}';
  const auto reply = ParseServiceReply(big);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(ReplyResult(*reply), 1);
  EXPECT_GT((*reply)["list"].size(), 100000u);
}

TEST(JsonReply, MembersAreReadWithoutThrowingWhateverTheirKind) {
  const auto reply = *ParseServiceReply(
      R"({"msg":"登录成功","uid":"42","n":7,"d":2.5,"b":true,"o":{},"bad":"4x","nul":null})");
  EXPECT_EQ(ReplyText(reply, "msg"), "登录成功");
  EXPECT_EQ(ReplyText(reply, "n"), "7");
  EXPECT_EQ(ReplyText(reply, "o", "none"), "none");
  EXPECT_EQ(ReplyText(reply, "missing", "none"), "none");
  EXPECT_EQ(ReplyInt(reply, "uid"), 42);
  EXPECT_EQ(ReplyInt(reply, "n"), 7);
  EXPECT_EQ(ReplyInt(reply, "d", -1), -1);
  EXPECT_EQ(ReplyInt(reply, "bad", -1), -1);
  EXPECT_EQ(ReplyInt(reply, "nul", -1), -1);
  EXPECT_EQ(ReplyInt(Json::Value("text"), "uid", -1), -1);
}

}  // namespace
}  // namespace net
