#include "knowledge/socket_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace knowledge {
namespace {

TEST(SocketErrorText, KnowsTheFiftyCodes) {
  const int codes[] = {10004, 10009, 10013, 10014, 10022, 10024, 10035, 10036, 10037, 10038,
                       10039, 10040, 10041, 10042, 10043, 10044, 10045, 10046, 10047, 10048,
                       10049, 10050, 10051, 10052, 10053, 10054, 10055, 10056, 10057, 10058,
                       10059, 10060, 10061, 10062, 10063, 10064, 10065, 10066, 10067, 10068,
                       10069, 10070, 10071, 10091, 10092, 10093, 11001, 11002, 11003, 11004};
  for (const int code : codes) EXPECT_FALSE(SocketErrorText(code).empty()) << code;
  EXPECT_EQ(SocketErrorText(10053), "Software caused connection abort");
  EXPECT_EQ(SocketErrorText(10022), "Invalid argument (not bind)");
  EXPECT_EQ(SocketErrorText(10059), "Too many references, can't splice");
  EXPECT_EQ(SocketErrorText(11003), "Non-Recoverable errors: FORMERR, REFUSED, NOTIMP");
}

TEST(SocketErrorText, UnlistedCodesGiveNoText) {
  EXPECT_EQ(SocketErrorText(0), "");
  EXPECT_EQ(SocketErrorText(10001), "");
  EXPECT_EQ(SocketErrorText(10072), "");
  EXPECT_EQ(SocketErrorText(11005), "");
  EXPECT_EQ(SocketErrorText(ECONNRESET), "");  // an errno value is not a Winsock code
}

TEST(SocketErrorText, LinuxErrorsReachTheirWinsockText) {
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(ECONNABORTED)),
            "Software caused connection abort");
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(ECONNRESET)), "Connection reset by peer");
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(ETIMEDOUT)), "Connection timed out");
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(ECONNREFUSED)), "Connection refused");
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(EHOSTUNREACH)), "No Route to Host");
  EXPECT_EQ(SocketErrorText(WinsockCodeFromErrno(EPIPE)), "Can't send after socket shutdown");
  EXPECT_EQ(WinsockCodeFromErrno(EAGAIN), 10035);
  EXPECT_EQ(WinsockCodeFromErrno(ENOENT), 0);
}

TEST(SocketFailureReason, NeverLeavesAFailureWithoutText) {
  EXPECT_EQ(SocketFailureReason(ECONNRESET), u"Connection reset by peer");
  EXPECT_FALSE(SocketFailureReason(ENOENT).empty());
  EXPECT_FALSE(SocketFailureReason(12345).empty());
}

}  // namespace
}  // namespace knowledge
