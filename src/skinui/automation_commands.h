#pragma once

#include <stdexcept>
#include <string>

#include <json/value.h>

namespace skinui {

class Control;
class UiContext;

// A request that cannot be carried out; its text becomes the answer's "error".
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Executes one automation request on the window thread and answers {"ok":true,…}; throws
// AutomationError (or another exception) for a request that cannot be carried out.
Json::Value RunAutomationCommand(UiContext& context, const Json::Value& request);
// Whether the request acts as the user (a click, a key, a timer falling due …) and answers
// only {"ok":true}: a handler it reaches may open a waiting box or another nested wait, and the
// answer then goes out as that wait begins, so that the same connection can read and answer
// the box.
bool AnswersWhenAWaitBegins(const Json::Value& request);
// What the automation tells of one control (with `children` when `deep`).
Json::Value DescribeControl(Control& control, bool deep);
// One line of JSON (UTF-8, no newline inside) ending with a newline.
std::string WriteJsonLine(const Json::Value& value);

}  // namespace skinui
