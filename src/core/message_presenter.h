#pragma once

#include <string>

#include "core/zelk_lib_binding.h"

namespace core {

enum class MessageIcon { Information, Warning, Error };
enum class MessageButtons { Ok, OkCancel };

// One message of the program's message box: its text, icon and buttons, the box's height and
// whether the caller waits until it is closed.
struct MessageBoxRequest {
  std::u16string text;
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
  int height = 160;
  bool wait = false;
};

// Shows what the user must know during start-up. The window library's message box takes this
// role once it exists; a process without a display reports the text instead.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual void ShowMessage(const MessageBoxRequest& request) = 0;
};

// For a client without a display: the text goes to standard error and, as one line, to the log.
// A waiting message returns at once, as if closed.
class StandardErrorPresenter final : public MessagePresenter {
 public:
  explicit StandardErrorPresenter(const ZelkLibBinding& binding) : binding_(binding) {}
  void ShowMessage(const MessageBoxRequest& request) override;

 private:
  const ZelkLibBinding& binding_;
};

// Writes a text as one UTF-8 line to standard error (the way out when there is neither a
// display nor a log).
void WriteToStandardError(std::u16string_view text);

}  // namespace core
