// The file server's frames against fixed byte images: what the client writes is read, what the
// server writes is exactly the documented layout, and anything else is refused.

#include "devservice/file_server_frames.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace devservice {
namespace {

using namespace std::string_literals;

// A request payload as the client's encoder lays it out: type, 256-byte name field, offset,
// kind; built here byte by byte.
std::string RequestPayload(const std::string& nameField, const std::string& offsetBytes,
                           const std::string& kindBytes) {
  std::string field = nameField;
  field.resize(256, '\0');
  return "\x0A\x00\x00\x00"s + field + offsetBytes + kindBytes;
}

TEST(FileServerFrames, LengthFieldsAreReadOnlyInTheClientsOwnForm) {
  EXPECT_EQ(ParseLengthField("268\0"s), 268u);
  EXPECT_EQ(ParseLengthField("4\0\0\0"s), 4u);
  EXPECT_EQ(ParseLengthField("4112"s), 4112u);
  EXPECT_EQ(ParseLengthField("9999"s), 9999u);
  EXPECT_EQ(ParseLengthField("0\0\0\0"s), 0u);
  for (const std::string& bad : {"abcd"s, "-411"s, "+268"s, " 268"s, "26 8"s,
                                 "2\0"
                                 "68"s,
                                 "12a\0"s, "\0\0\0\0"s, "268"s, "26800"s, "\xFF\xFF\xFF\xFF"s}) {
    EXPECT_FALSE(ParseLengthField(bad).has_value()) << "field of " << bad.size() << " bytes";
  }
}

TEST(FileServerFrames, ARequestImageGivesItsNameOffsetAndKind) {
  const auto message =
      DecodeClientMessage(RequestPayload("GB50204-2015.pdf", "\x00\x10\x00\x00"s, "\x03\0\0\0"s));
  ASSERT_TRUE(message.has_value());
  const auto& request = std::get<FileRequest>(*message);
  EXPECT_EQ(request.fileName, "GB50204-2015.pdf");
  EXPECT_EQ(request.offset, 4096);
  EXPECT_EQ(request.kind, 3);

  const auto negative =
      DecodeClientMessage(RequestPayload("a.pdf", "\xFF\xFF\xFF\xFF"s, "\x01\x00\x00\x80"s));
  ASSERT_TRUE(negative.has_value());
  EXPECT_EQ(std::get<FileRequest>(*negative).offset, -1);
  EXPECT_EQ(std::get<FileRequest>(*negative).kind, INT32_MIN + 1);
}

TEST(FileServerFrames, NameFieldsMustBeOneTerminatedTextPaddedWithNuls) {
  const std::string longest(255, 'n');
  const auto fits = DecodeClientMessage(RequestPayload(longest, "\0\0\0\0"s, "\0\0\0\0"s));
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(std::get<FileRequest>(*fits).fileName, longest);

  const auto unterminated =
      DecodeClientMessage(RequestPayload(std::string(256, 'n'), "\0\0\0\0"s, "\0\0\0\0"s));
  ASSERT_TRUE(unterminated.has_value()) << "a whole request, answered with a refusal";
  EXPECT_FALSE(std::get<FileRequest>(*unterminated).fileName.has_value());

  const auto nulInside =
      DecodeClientMessage(RequestPayload("inside.txt\0../secret.txt"s, "\0\0\0\0"s, "\0\0\0\0"s));
  ASSERT_TRUE(nulInside.has_value());
  EXPECT_FALSE(std::get<FileRequest>(*nulInside).fileName.has_value())
      << "bytes after the terminator must not be ignored silently";

  const auto empty = DecodeClientMessage(RequestPayload("", "\0\0\0\0"s, "\0\0\0\0"s));
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(std::get<FileRequest>(*empty).fileName, "");
}

TEST(FileServerFrames, OnlyWholeRequestsAndStopsAreClientMessages) {
  const auto stop = DecodeClientMessage("\x0C\x00\x00\x00"s);
  ASSERT_TRUE(stop.has_value());
  EXPECT_TRUE(std::holds_alternative<StopRequest>(*stop));

  const std::string request = RequestPayload("a.pdf", "\0\0\0\0"s, "\0\0\0\0"s);
  std::string wrongType = request;
  wrongType[0] = '\x0B';
  for (const std::string& bad :
       {""s, "\x0C\x00\x00"s, "\x0C\x00\x00\x00\x00\x00\x00\x00"s, "\x0A\x00\x00\x00"s,
        request.substr(0, 267), request + "\0"s, wrongType, "\x1E\x00\x00\x00"s}) {
    EXPECT_FALSE(DecodeClientMessage(bad).has_value()) << "payload of " << bad.size() << " bytes";
  }
}

TEST(FileServerFrames, ADataBlockIsTheDocumentedImageInOneFrame) {
  const std::string frame = EncodeDataBlockFrame(10, 0, "0123456789");
  const std::string expected = "4112"s + "\x0B\x00\x00\x00"s + "\x0A\x00\x00\x00"s +
                               "\x00\x00\x00\x00"s + "\x0A\x00\x00\x00"s + "0123456789" +
                               std::string(4086, '\0');
  EXPECT_EQ(frame.size(), 4116u);
  EXPECT_EQ(frame, expected);

  const std::string full(4096, 'x');
  const std::string large = EncodeDataBlockFrame(0x01020304, 0x00ABCDEF, full);
  EXPECT_EQ(large.substr(0, 20), "4112"s + "\x0B\x00\x00\x00"s + "\x04\x03\x02\x01"s +
                                     "\xEF\xCD\xAB\x00"s + "\x00\x10\x00\x00"s);
  EXPECT_EQ(large.substr(20), full);

  const std::string empty = EncodeDataBlockFrame(10, 10, "");
  EXPECT_EQ(empty.substr(0, 20), "4112"s + "\x0B\x00\x00\x00"s + "\x0A\x00\x00\x00"s +
                                     "\x0A\x00\x00\x00"s + "\x00\x00\x00\x00"s);
  EXPECT_EQ(empty.substr(20), std::string(4096, '\0'));

  EXPECT_THROW(EncodeDataBlockFrame(5000, 0, std::string(4097, 'x')), std::length_error);
}

TEST(FileServerFrames, AnErrorIsTheDocumentedImageWithItsTerminator) {
  const std::string frame = EncodeErrorFrame("服务器上不存在文件");
  const std::string text = "服务器上不存在文件";
  EXPECT_EQ(frame, "1028"s + "\x1E\x00\x00\x00"s + text + std::string(1024 - text.size(), '\0'));

  const std::string tooLong = EncodeErrorFrame(std::string(2000, 'e'));
  EXPECT_EQ(tooLong.size(), 1032u);
  EXPECT_EQ(tooLong.substr(8, 1023), std::string(1023, 'e'));
  EXPECT_EQ(tooLong.back(), '\0') << "the last byte of the text field is always the terminator";
}

}  // namespace
}  // namespace devservice
