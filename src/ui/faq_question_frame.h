#pragma once

#include "ui/web_frame.h"

namespace ui {

// The window that shows one question with its answers, where a user may answer it.
class CFAQQuestionFrame final : public CWebFrame {
 public:
  CFAQQuestionFrame(skinui::UiContext& context, const WebFrameServices& services);

  // The question the next loading shows.
  void SetQuestionId(int id) { questionId_ = id; }
  int QuestionId() const { return questionId_; }

 protected:
  std::optional<std::string> PageAddress() override;

 private:
  int questionId_ = 0;
};

}  // namespace ui
