#include "skinui/gtk/glib_message_loop.h"

#include <algorithm>
#include <chrono>

namespace skinui::gtk {

namespace {

// A timeout source that only wakes a blocking iteration; it is destroyed by its owner.
class DeadlineSource {
 public:
  explicit DeadlineSource(GMainContext* context, std::int64_t ms)
      : source_(g_timeout_source_new(static_cast<guint>(std::max<std::int64_t>(ms, 0)))) {
    g_source_set_callback(
        source_, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr, nullptr);
    g_source_attach(source_, context);
  }
  ~DeadlineSource() {
    g_source_destroy(source_);
    g_source_unref(source_);
  }
  DeadlineSource(const DeadlineSource&) = delete;
  DeadlineSource& operator=(const DeadlineSource&) = delete;

 private:
  GSource* source_;
};

}  // namespace

GlibMessageLoop::GlibMessageLoop(platform::Clock& clock)
    : MessageLoop(clock), context_(g_main_context_default()) {}

GlibMessageLoop::~GlibMessageLoop() {
  // A finishing worker still calls wakeUp: let every worker end before the sources go.
  waitForWorkers();
  {
    std::lock_guard lock(wakeMutex_);
    if (wakeSource_ != 0) g_source_remove(wakeSource_);
    wakeSource_ = 0;
  }
  if (timerSource_ != 0) g_source_remove(timerSource_);
}

void GlibMessageLoop::wakeUp() {
  std::lock_guard lock(wakeMutex_);
  if (wakeSource_ != 0) return;
  // g_idle_add is safe from any thread and wakes the context's poll.
  wakeSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, &GlibMessageLoop::OnWake, this, nullptr);
}

gboolean GlibMessageLoop::OnWake(gpointer self) {
  auto* loop = static_cast<GlibMessageLoop*>(self);
  {
    // Posts from now on need a new wake-up; the ones before it are delivered below.
    std::lock_guard lock(loop->wakeMutex_);
    loop->wakeSource_ = 0;
  }
  loop->Service();
  return G_SOURCE_REMOVE;
}

gboolean GlibMessageLoop::OnTimer(gpointer self) {
  auto* loop = static_cast<GlibMessageLoop*>(self);
  loop->timerSource_ = 0;
  loop->timerDueMs_ = -1;
  loop->Service();
  return G_SOURCE_REMOVE;
}

void GlibMessageLoop::Service() {
  if (quitting_) return;
  dispatchPending();
  fireDueTimers();
  ArmTimer();
}

void GlibMessageLoop::ArmTimer() {
  const std::int64_t next = nextTimerDue();
  if (timerSource_ != 0 && next == timerDueMs_) return;
  if (timerSource_ != 0) g_source_remove(timerSource_);
  timerSource_ = 0;
  timerDueMs_ = next;
  if (next < 0) return;
  // At least 1 ms: a timeout rounded a little early must not spin until the clock catches up.
  const std::int64_t delay = std::max<std::int64_t>(next - clock().nowMs(), 1);
  timerSource_ = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay),
                                    &GlibMessageLoop::OnTimer, this, nullptr);
}

void GlibMessageLoop::IterateAtMost(std::int64_t ms) {
  const DeadlineSource deadline(context_, ms);
  g_main_context_iteration(context_, TRUE);
}

void GlibMessageLoop::pumpMessagesFor(std::int64_t ms) {
  const std::int64_t end = clock().nowMs() + std::max<std::int64_t>(0, ms);
  Service();
  while (!quitting_) {
    const std::int64_t now = clock().nowMs();
    if (now >= end) break;
    // Inside a timer's handler the timeout is not armed yet: the nested wait arms it.
    ArmTimer();
    IterateAtMost(end - now);
  }
}

int GlibMessageLoop::runMessages() {
  ++runDepth_;
  Service();
  while (!quitting_) {
    ArmTimer();
    g_main_context_iteration(context_, TRUE);
  }
  if (--runDepth_ == 0) quitting_ = false;
  return quitCode_;
}

void GlibMessageLoop::quit(int code) {
  // Once quitting_ is seen the loop may end and go: touch nothing of it afterwards.
  GMainContext* context = context_;
  quitCode_ = code;
  quitting_ = true;
  g_main_context_wakeup(context);
}

bool GlibMessageLoop::waitIdle(std::int64_t timeoutMs) {
  using Steady = std::chrono::steady_clock;
  const auto deadline =
      Steady::now() + std::chrono::milliseconds(std::max<std::int64_t>(0, timeoutMs));
  for (;;) {
    dispatchPending();
    if (pendingMessages() == 0 && runningWorkers() == 0) return true;
    const auto now = Steady::now();
    if (now >= deadline) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    // A worker's end wakes the context; the slice bounds the wait otherwise.
    ArmTimer();
    IterateAtMost(std::min<std::int64_t>(left, 50));
  }
}

}  // namespace skinui::gtk
