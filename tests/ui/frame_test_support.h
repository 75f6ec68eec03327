#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/zelk_lib_binding.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "platform/headless_message_loop.h"
#include "platform/shell_open.h"
#include "skinui/headless_backend.h"
#include "skinui/ui_context.h"
#include "support/temp_dir.h"
#include "ui/main_frame.h"
#include "ui/main_frame_features.h"

namespace ui_testing {

// The staged skin folder of the build (layouts and drawn pictures).
std::string StagedSkin();

// The support library of the frame tests: the real library staged with the program, with the
// exports that reach the network replaced by scripted ones, writing its log and settings into
// a given program folder. One instance at a time (the scripted exports are plain functions).
class TestLibrary {
 public:
  explicit TestLibrary(const std::string& programDirectory);
  ~TestLibrary();

  const core::ZelkLibBinding& binding() const { return binding_; }
  bool loaded() const { return library_.loaded(); }

  // CheckCanVisitInternent answers this (1 reachable, 0 not) and counts its calls.
  static void SetReachable(bool reachable);
  static int ReachabilityQueries();
  // What ReadDataFromUrlProtocolShareMemory answers.
  static void SetSharedRequest(const std::u16string& request);

 private:
  platform::DynamicLibrary library_;
  core::ZelkLibBinding binding_;
};

// The lines of the product log of a program folder, without their time stamps.
std::vector<std::string> LogLines(const std::string& programDirectory);

// The calls the recording controllers saw, in order (and the one that is told to fail).
struct CallRecord {
  std::vector<std::string> calls;
  std::string failIn;  // the operation that raises

  void Note(std::string call) {
    calls.push_back(call);
    if (!failIn.empty() && call == failIn) throw std::runtime_error("scripted failure");
  }
};

// A main frame whose features' controllers record the calls of their operations (and can be
// told to fail in one of them), so that the frame's routing can be checked without the features.
// The controllers that really do something in the frame's layout (laying the account areas out,
// the knowledge pager, the unread-message count) still do it after recording.
class RecordingFrame : public ui::CMainFrame {
  CallRecord record_;

 public:
  RecordingFrame(skinui::UiContext& context, ui::MainFrameEnvironment environment);

  std::vector<std::string>& calls = record_.calls;
  std::string& failIn = record_.failIn;
  std::vector<std::u16string> urlRequests;
  std::vector<skinui::Control*> checkedRows;

  // The list mutex is held by the window thread (checked from another thread, where a
  // recursive mutex cannot be taken while it is held).
  bool ListMutexHeld() {
    return !std::async(std::launch::async, [this] {
              const bool got = ListMutex().try_lock();
              if (got) ListMutex().unlock();
              return got;
            }).get();
  }
  // Calls recorded since the last Take.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(record_.calls);
    return taken;
  }
  void SetUserCenterUser(std::optional<account::UserCenterUser> user) {
    Features().account->SetLoggedInUser(std::move(user));
  }
  knowledge::CKnowlegeView& KnowlegeView() { return Features().knowledgeSearch->View(); }
};

// A headless window thread with a manual clock, the test library in a fresh program folder and
// a main frame made on demand.
class FrameTest : public ::testing::Test {
 protected:
  FrameTest();
  ~FrameTest() override;

  // Creates the frame as the program does and lays it out (the start-up steps run).
  RecordingFrame& Open(const std::string& skinFolder = StagedSkin());
  void CloseFrame();
  RecordingFrame& frame() { return *frame_; }
  skinui::PaintManager& pm() { return frame_->GetPaintManager(); }
  // Handles everything posted so far (and what workers post until they end).
  void Settle();
  // True when the frame asked the message loop to end (the loop is then made usable again).
  bool LoopWasQuit();
  void Post(std::uint32_t message, platform::Payload payload = {});
  template <class T>
  void PostPayload(std::uint32_t message, T value) {
    Post(message, platform::Payload(std::make_unique<T>(std::move(value))));
  }
  // A click as the library delivers it: an option is activated (selected, then notified), any
  // other control notifies "click".
  void Click(const std::string& name);
  std::vector<std::string> Log() const { return LogLines(dir_.path()); }
  bool Logged(const std::string& part) const;
  std::vector<platform::ShellOpenRequest> Opened() const { return shell_.requests(); }

  testing_support::TempDir dir_;
  TestLibrary lib_;
  platform::ManualClock clock_;
  platform::HeadlessMessageLoop loop_;
  platform::ShellLauncher shell_{true};
  skinui::UiContext ui_;
  std::unique_ptr<RecordingFrame> frame_;
};

}  // namespace ui_testing
