#include "frame_test_support.h"

#include <cstdlib>
#include <fstream>
#include <mutex>

#include "platform/code_page.h"
#include "skinui/option.h"
#include "skinui/window_messages.h"
#include "zelklib/zelklib_exports.h"

namespace ui_testing {
namespace {

std::atomic<int> g_reachable{1};
std::atomic<int> g_reachabilityQueries{0};
std::mutex g_requestMutex;
std::u16string g_sharedRequest;

int ScriptedCheckCanVisitInternent() {
  ++g_reachabilityQueries;
  return g_reachable.load();
}

// Every request fails at once, as with no service: the frame tests never reach a network.
const char16_t* ScriptedGetWebContent(const char16_t*, char16_t* status) {
  status[0] = u'0';
  status[1] = u'\0';
  return u"";
}

int ScriptedCheckNeedUpdate(const char16_t*) {
  return 0;
}

const char16_t* ScriptedReadRequest() {
  thread_local std::u16string copy;
  std::lock_guard lock(g_requestMutex);
  copy = g_sharedRequest;
  return copy.c_str();
}

std::string AppFolder() {
  const char* app = std::getenv("ZELK_APP_DIR");
  return app != nullptr ? app : ".";
}

}  // namespace

std::string StagedSkin() {
  return AppFolder() + "/Skin/Zelk";
}

TestLibrary::TestLibrary(const std::string& programDirectory)
    : library_(platform::DynamicLibrary::open(AppFolder() + "/" +
                                              platform::SharedLibraryFileName("ZelkLib"))),
      binding_([this](const char* name) -> void* {
        const std::string export_(name);
        if (export_ == "CheckCanVisitInternent") {
          return reinterpret_cast<void*>(&ScriptedCheckCanVisitInternent);
        }
        if (export_ == "GetWebContent") return reinterpret_cast<void*>(&ScriptedGetWebContent);
        if (export_ == "CheckNeedUpdate") return reinterpret_cast<void*>(&ScriptedCheckNeedUpdate);
        if (export_ == "ReadDataFromUrlProtocolShareMemory") {
          return reinterpret_cast<void*>(&ScriptedReadRequest);
        }
        return library_.symbol(name);
      }) {
  binding_.setProgramDirectory(platform::Utf8ToUtf16(programDirectory));
  SetReachable(true);
  g_reachabilityQueries = 0;
  SetSharedRequest({});
}

TestLibrary::~TestLibrary() = default;

void TestLibrary::SetReachable(bool reachable) {
  g_reachable = reachable ? 1 : 0;
}

int TestLibrary::ReachabilityQueries() {
  return g_reachabilityQueries.load();
}

void TestLibrary::SetSharedRequest(const std::u16string& request) {
  std::lock_guard lock(g_requestMutex);
  g_sharedRequest = request;
}

std::vector<std::string> LogLines(const std::string& programDirectory) {
  std::vector<std::string> lines;
  std::ifstream in(programDirectory + "/Log/Zelk.log");
  std::string line;
  // "YYYY-MM-DD HH:MM:SS.mmm " precedes each text.
  constexpr std::size_t kStampLength = 24;
  while (std::getline(in, line)) {
    lines.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  }
  return lines;
}

FrameTest::FrameTest()
    : lib_(dir_.path()),
      loop_(clock_),
      ui_(loop_, std::make_unique<skinui::HeadlessBackend>(loop_), StagedSkin()) {
  ui_.SetShell(&shell_);
}

FrameTest::~FrameTest() {
  CloseFrame();
}

RecordingFrame& FrameTest::Open(const std::string& skinFolder) {
  ui_.SetResourcePath(skinFolder);
  frame_ = std::make_unique<RecordingFrame>(
      ui_, ui::MainFrameEnvironment{lib_.binding(), dir_.path(),
                                    core::UpdaterLauncher(lib_.binding(), shell_, dir_.path())});
  EXPECT_TRUE(frame_->CreateMainWindow());
  frame_->GetPaintManager().UpdateLayout();
  return *frame_;
}

void FrameTest::CloseFrame() {
  if (!frame_) return;
  frame_.reset();
  // Destroying the frame ended the loop; later frames of the test need it running.
  LoopWasQuit();
}

void FrameTest::Settle() {
  ASSERT_TRUE(loop_.waitIdle(10000));
}

namespace {

class Flag final : public platform::MessageTarget {
 public:
  explicit Flag(platform::MessageLoop& loop) : loop_(loop), id_(loop.addTarget(*this)) {}
  ~Flag() override { loop_.removeTarget(id_); }
  void onMessage(platform::Message&) override { reached = true; }
  platform::WindowId id() const { return id_; }
  bool reached = false;

 private:
  platform::MessageLoop& loop_;
  platform::WindowId id_;
};

}  // namespace

bool FrameTest::LoopWasQuit() {
  // A loop asked to end dispatches nothing more until it runs again, and a run then returns
  // at once (and ends the asking).
  Flag flag(loop_);
  loop_.post(flag.id(), 1);
  loop_.pumpFor(0);
  if (flag.reached) return false;
  loop_.run();
  return true;
}

void FrameTest::Post(std::uint32_t message, platform::Payload payload) {
  frame_->PostMessage(message, 0, std::move(payload));
  Settle();
}

void FrameTest::Click(const std::string& name) {
  skinui::Control* control = pm().FindControl(name);
  ASSERT_NE(control, nullptr) << name;
  if (dynamic_cast<skinui::Option*>(control) != nullptr) {
    // An option changes its selection first; it must be on screen for that.
    ASSERT_TRUE(control->Activate()) << name;
  } else {
    pm().SendNotify(control, "click");
  }
}

bool FrameTest::Logged(const std::string& part) const {
  for (const std::string& line : Log()) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

}  // namespace ui_testing
