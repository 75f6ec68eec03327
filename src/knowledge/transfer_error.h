#pragma once

#include <stdexcept>
#include <string>

namespace knowledge {

// Ends one transfer attempt; the reason is what the end message and the log carry.
class TransferError : public std::runtime_error {
 public:
  explicit TransferError(std::u16string reason);
  const std::u16string& reason() const { return reason_; }

 private:
  std::u16string reason_;
};

// Reasons raised by the protocol layer.
inline constexpr char16_t kConnectionClosedReason[] = u"连接已关闭";
inline constexpr char16_t kFileNameTooLongReason[] = u"文件名超过255字节，无法申请下载.";
inline constexpr char16_t kFileNameHasNulReason[] = u"文件名含有空字符，无法申请下载.";
inline constexpr char16_t kShortMessageReason[] = u"文件服务器返回的消息不完整.";
inline constexpr char16_t kBadBlockCountReason[] = u"文件服务器返回的数据块长度无效.";
inline constexpr char16_t kBadBlockFieldsReason[] = u"文件服务器返回的文件长度或数据块位置无效.";

}  // namespace knowledge
