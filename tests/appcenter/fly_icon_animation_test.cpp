// The flying icon on a fake main window (manual clock, so its pauses cost nothing): its size
// per frame, its pauses, the star without an icon, and its container leaving "Root" at the end.

#include "core/fly_icon_animation.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/window_messages.h"
#include "skinui/container.h"
#include "skinui/paint_manager.h"
#include "skinui/window.h"
#include "support/fake_feature_host.h"
#include "support/temp_dir.h"

namespace core {
namespace {

TEST(FlyIconAnimationTest, GrowsToFrame32ThenShrinksToNothing) {
  EXPECT_EQ(FlyIconAnimation::HalfSize(0), 8);
  EXPECT_EQ(FlyIconAnimation::HalfSize(16), 29);
  EXPECT_EQ(FlyIconAnimation::HalfSize(32), 50);
  EXPECT_EQ(FlyIconAnimation::HalfSize(33), 44);
  EXPECT_EQ(FlyIconAnimation::HalfSize(50), 0);
  EXPECT_EQ(FlyIconAnimation::PauseAfterMs(16), 10);
  EXPECT_EQ(FlyIconAnimation::PauseAfterMs(17), 22);
  EXPECT_EQ(FlyIconAnimation::PauseAfterMs(32), 37);
  EXPECT_EQ(FlyIconAnimation::PauseAfterMs(33), 10);
}

TEST(FlyIconAnimationTest, FliesFromCentreToCentreAndLeavesRoot) {
  testing_support::TempDir dir;
  core::ZelkLibBinding lib;
  testing_support::HeadlessUi ui;
  testing_support::FakeFeatureHost host(ui.context, lib, dir.path(), R"(<Window size="800,600">
    <VerticalLayout name="Root">
      <Button name="from" float="true" pos="100,100,140,120"/>
      <Button name="to" float="true" pos="600,500,640,520"/>
    </VerticalLayout>
  </Window>)");
  host.OwnerWindow().GetPaintManager().UpdateLayout();
  auto* root = host.Find<skinui::Container>("Root");
  const int childrenBefore = root->GetCount();

  struct Seen {
    int frame;
    skinui::Rect pos;
    std::string image;
    bool visible;
  };
  std::vector<Seen> frames;
  int ends = 0;
  host.SetMessageHandler([&](std::uint32_t message, platform::Payload& payload) {
    if (message == WM_FLY_ICON_STEP) {
      FlyIconAnimation::OnStep(host, payload);
      skinui::Control* container = root->FindByName("FlyIconContainer");
      ASSERT_NE(container, nullptr);
      frames.push_back({payload.get<FlyIconAnimation::Step>()->frame, container->GetFloatPos(),
                        container->GetBkImage(), container->IsVisible()});
    } else if (message == WM_FLY_ICON_END) {
      ++ends;
      FlyIconAnimation::OnEnd(host, payload);
    }
  });
  FlyIconAnimation::Start(host, *host.FindControl("from"), *host.FindControl("to"), "");
  EXPECT_FALSE(root->FindByName("FlyIconContainer")->IsVisible());
  ASSERT_TRUE(ui.loop.waitIdle(30000));

  ASSERT_EQ(frames.size(), 51u);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(root->GetCount(), childrenBefore);
  EXPECT_EQ(frames[0].image, "star.png");
  EXPECT_TRUE(frames[0].visible);
  EXPECT_EQ(frames[0].pos, (skinui::Rect{120 - 8, 110 - 8, 120 + 8, 110 + 8}));
  EXPECT_EQ(frames[32].pos.Width(), 100);
  EXPECT_EQ(frames[50].pos, (skinui::Rect{620, 510, 620, 510}));
  // The worker paused after each frame: 10 ms after frames 0 to 16 and 33 to 50, i + 5 ms after
  // frames 17 to 32 (22 to 37 ms).
  EXPECT_EQ(ui.clock.sleptMs(), 17 * 10 + (22 + 37) * 16 / 2 + 18 * 10);
}

}  // namespace
}  // namespace core
