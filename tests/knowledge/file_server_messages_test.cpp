#include "knowledge/file_server_messages.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "knowledge/transfer_error.h"

namespace knowledge {
namespace {

using namespace std::string_literals;

std::string zeros(std::size_t n) {
  return std::string(n, '\0');
}

std::u16string reasonOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TransferError& error) {
    return error.reason();
  }
  return u"(nothing raised)";
}

TEST(FrameLengthField, IsWrittenLeftAlignedAndNulPadded) {
  EXPECT_EQ(EncodeFrame("abcd"), "4\0\0\0abcd"s);
  EXPECT_EQ(EncodeFrame(std::string(268, 'x')).substr(0, 4), "268\0"s);
  EXPECT_EQ(EncodeFrame(std::string(4112, 'x')).substr(0, 4), "4112"s);
  EXPECT_EQ(EncodeFrame(std::string(9999, 'x')).size(), 4u + 9999u);
  EXPECT_EQ(EncodeFrame(""), "0\0\0\0"s);
  EXPECT_THROW(EncodeFrame(std::string(10000, 'x')), std::length_error);
}

TEST(FrameLengthField, IsReadAsTheLeadingDecimalNumber) {
  EXPECT_EQ(DecodeLengthField("268\0"s), 268u);
  EXPECT_EQ(DecodeLengthField("4\0\0\0"s), 4u);
  EXPECT_EQ(DecodeLengthField("4112"s), 4112u);  // no terminator needed
  EXPECT_EQ(DecodeLengthField("0\0\0\0"s), 0u);
  EXPECT_EQ(DecodeLengthField(" 42\0"s), 42u);
  EXPECT_EQ(DecodeLengthField("+12\0"s), 12u);
  EXPECT_EQ(DecodeLengthField("12ab"s), 12u);
}

TEST(FrameLengthField, BadFieldsReadAsThePartReadsThem) {
  EXPECT_EQ(DecodeLengthField("abcd"s), 0u);  // letters: an empty frame
  EXPECT_EQ(DecodeLengthField("\0\0\0\0"s), 0u);
  EXPECT_EQ(DecodeLengthField("-411"s), 411u);   // a sign counts, the value is taken absolute
  EXPECT_EQ(DecodeLengthField("-4112"s), 411u);  // only four bytes are read
  EXPECT_EQ(DecodeLengthField("9999"s), 9999u);
  EXPECT_EQ(DecodeLengthField("41125"s), 4112u);
}

TEST(DownloadRequestImage, MatchesTheFixedLayout) {
  const std::string expected = "\x0a\x00\x00\x00"s + "docs/a.pdf"s + zeros(246) +
                               "\x10\x27\x00\x00"s     // offset 10000
                               + "\x01\x00\x00\x00"s;  // App
  const std::string payload = EncodeDownloadRequest("docs/a.pdf", 10000, StoreFileKind::App);
  ASSERT_EQ(payload.size(), 268u);
  EXPECT_EQ(payload, expected);
  EXPECT_EQ(EncodeFrame(payload), "268\0"s + expected);
}

TEST(DownloadRequestImage, CarriesLargeOffsetsAndUnknownKindsAsZero) {
  const std::string payload =
      EncodeDownloadRequest("x", 0x7ffffff0, static_cast<StoreFileKind>(17));
  EXPECT_EQ(payload.substr(260, 8), "\xf0\xff\xff\x7f\x00\x00\x00\x00"s);
  EXPECT_EQ(EncodeDownloadRequest("x", 0, StoreFileKind::Platform).substr(264), "\x03\0\0\0"s);
}

TEST(DownloadRequestImage, NameOf255BytesFitsWithItsTerminator) {
  const std::string name(255, 'n');
  const std::string payload = EncodeDownloadRequest(name, 0, StoreFileKind::Knowlege);
  EXPECT_EQ(payload.substr(4, 255), name);
  EXPECT_EQ(payload[259], '\0');
}

TEST(DownloadRequestImage, RefusesNamesThatWouldAskForAnotherFile) {
  EXPECT_EQ(reasonOf([] { EncodeDownloadRequest(std::string(256, 'n'), 0, {}); }),
            kFileNameTooLongReason);
  EXPECT_EQ(reasonOf([] { EncodeDownloadRequest(std::string(300, 'n'), 0, {}); }),
            kFileNameTooLongReason);
  EXPECT_EQ(reasonOf([] { EncodeDownloadRequest("a\0b"s, 0, {}); }), kFileNameHasNulReason);
}

TEST(DownloadRequestImage, IsReadBackByTheServerSide) {
  const std::string image =
      "\x0a\x00\x00\x00"s + "k/b.doc"s + zeros(249) + "\x00\x10\x00\x00"s + "\x00\x00\x00\x00"s;
  const auto request = DecodeDownloadRequest(image);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->fileName, "k/b.doc");
  EXPECT_EQ(request->offset, 4096);
  EXPECT_EQ(request->kindWireValue, 0);
  EXPECT_FALSE(DecodeDownloadRequest(image.substr(0, 267)));
  EXPECT_FALSE(DecodeDownloadRequest(EncodeStop()));
  std::string unterminated = image;
  unterminated.replace(4, 256, std::string(256, 'n'));
  EXPECT_FALSE(DecodeDownloadRequest(unterminated));
}

TEST(StopImage, IsTheTypeAlone) {
  EXPECT_EQ(EncodeStop(), "\x0c\x00\x00\x00"s);
  EXPECT_EQ(EncodeFrame(EncodeStop()), "4\0\0\0\x0c\0\0\0"s);
}

TEST(DataBlockImage, MatchesTheFixedLayout) {
  const std::string expected = "\x0b\x00\x00\x00"s    // type 11
                               + "\x0a\x00\x00\x00"s  // total 10
                               + "\x00\x00\x00\x00"s  // offset 0
                               + "\x0a\x00\x00\x00"s  // count 10
                               + "0123456789"s + zeros(4086);
  EXPECT_EQ(EncodeDataBlock(10, 0, "0123456789"), expected);
  EXPECT_EQ(EncodeFrame(expected).substr(0, 4), "4112"s);
}

TEST(DataBlockImage, IsDecodedFromAFixedImage) {
  const std::string image = "\x0b\x00\x00\x00"s + "\x00\x00\x50\x00"s  // total 5 MiB
                            + "\x00\x10\x00\x00"s                      // offset 4096
                            + "\x03\x00\x00\x00"s + "abc"s + zeros(4093);
  EXPECT_EQ(PayloadType(image), kDataBlockType);
  const DataBlock block = DecodeDataBlock(image);
  EXPECT_EQ(block.total, 5242880);
  EXPECT_EQ(block.offset, 4096);
  EXPECT_EQ(block.data, "abc");
}

TEST(DataBlockImage, ACountOfZeroAndTheFullCountAreValid) {
  EXPECT_EQ(DecodeDataBlock(EncodeDataBlock(10, 10, "")).data.size(), 0u);
  const std::string full(4096, 'z');
  EXPECT_EQ(DecodeDataBlock(EncodeDataBlock(9000, 0, full)).data, full);
}

TEST(DataBlockImage, RejectsBrokenBlocks) {
  std::string block = EncodeDataBlock(10, 0, "0123456789");
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(block.substr(0, 4111)); }), kShortMessageReason);
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(block.substr(0, 16)); }), kShortMessageReason);

  std::string count5000 = block;
  count5000.replace(12, 4, "\x88\x13\x00\x00"s);
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(count5000); }), kBadBlockCountReason);
  std::string negativeCount = block;
  negativeCount.replace(12, 4, "\xff\xff\xff\xff"s);
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(negativeCount); }), kBadBlockCountReason);

  std::string totalMinusOne = block;
  totalMinusOne.replace(4, 4, "\xff\xff\xff\xff"s);
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(totalMinusOne); }), kBadBlockFieldsReason);
  std::string negativeOffset = block;
  negativeOffset.replace(8, 4, "\x00\x00\x00\x80"s);
  EXPECT_EQ(reasonOf([&] { DecodeDataBlock(negativeOffset); }), kBadBlockFieldsReason);
}

TEST(ErrorImage, MatchesTheFixedLayout) {
  const std::string text = "\xb7\xfe\xce\xf1\xc6\xf7"s;  // ANSI (GBK) bytes pass unchanged
  const std::string expected = "\x1e\x00\x00\x00"s + text + zeros(1024 - text.size());
  EXPECT_EQ(EncodeError(text), expected);
  EXPECT_EQ(EncodeFrame(expected).substr(0, 4), "1028"s);
  EXPECT_EQ(DecodeErrorText(expected), text);
}

TEST(ErrorImage, ATextWithoutTerminatorIsReadToTheEndOfItsField) {
  const std::string image = "\x1e\x00\x00\x00"s + std::string(1024, 'E') + "tail"s;
  EXPECT_EQ(DecodeErrorText(image), std::string(1024, 'E'));
}

TEST(ErrorImage, LongTextsAreCutSoTheTerminatorFits) {
  const std::string payload = EncodeError(std::string(2000, 'e'));
  ASSERT_EQ(payload.size(), 1028u);
  EXPECT_EQ(payload[1027], '\0');
  EXPECT_EQ(DecodeErrorText(payload), std::string(1023, 'e'));
}

TEST(ErrorImage, ShortErrorsAreRejected) {
  EXPECT_EQ(reasonOf([] { DecodeErrorText("\x1e\0\0\0abc"s); }), kShortMessageReason);
}

TEST(PayloadTypeField, NeedsFourBytes) {
  EXPECT_EQ(PayloadType("\x63\x00\x00\x00"s), 99);
  EXPECT_EQ(reasonOf([] { PayloadType("\x0b\x00"s); }), kShortMessageReason);
}

}  // namespace
}  // namespace knowledge
