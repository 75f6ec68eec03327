#include "core/fly_icon_animation.h"

#include <exception>

#include "core/window_messages.h"
#include "skinui/container.h"

namespace core {
namespace {

skinui::Point Centre(const skinui::Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The container a message names, when it is still alive on "Root".
skinui::Control* LiveContainer(const std::weak_ptr<skinui::Control*>& alive,
                               skinui::Control* container) {
  return alive.expired() ? nullptr : container;
}

}  // namespace

int FlyIconAnimation::HalfSize(int frame) {
  if (frame <= 32) return frame * 42 / 32 + 8;
  return (kLastFrame - frame) * 42 / 16;
}

int FlyIconAnimation::PauseAfterMs(int frame) {
  return frame > 16 && frame <= 32 ? frame + 5 : 10;
}

void FlyIconAnimation::Start(FeatureHost& host, const skinui::Control& from,
                             const skinui::Control& to, std::string imagePath) {
  auto* root = host.Find<skinui::Container>("Root");
  if (root == nullptr) return;
  auto made = std::make_unique<skinui::Container>();
  made->SetName("FlyIconContainer");
  made->SetFloat(true);
  made->SetVisible(false);
  made->SetMouseEnabled(false);
  skinui::Control* container = root->Add(std::move(made));
  if (container == nullptr) return;

  const skinui::Point start = Centre(from.GetPos());
  const skinui::Point end = Centre(to.GetPos());
  const ServiceContext context = host.Service();
  context.loop->startWorker([context, start, end, container, alive = container->AliveToken(),
                             imagePath = std::move(imagePath)] {
    platform::Clock& clock = context.loop->clock();
    for (int i = 0; i <= kLastFrame; ++i) {
      Step step;
      step.alive = alive;
      step.container = container;
      step.x = start.x + (end.x - start.x) * i / kLastFrame;
      step.y = start.y + (end.y - start.y) * i / kLastFrame;
      step.frame = i;
      step.imagePath = imagePath;
      context.postToMainWindow(WM_FLY_ICON_STEP, platform::Payload::make<Step>(std::move(step)));
      clock.sleepMs(PauseAfterMs(i));
    }
    context.postToMainWindow(WM_FLY_ICON_END, platform::Payload::make<End>(End{alive, container}));
  });
}

void FlyIconAnimation::OnStep(FeatureHost&, platform::Payload& payload) {
  const Step* step = payload.get<Step>();
  if (step == nullptr) return;
  skinui::Control* container = LiveContainer(step->alive, step->container);
  if (container == nullptr) return;
  container->SetVisible(true);
  try {
    container->SetBkImage(step->imagePath.empty() ? kDefaultImage : step->imagePath);
  } catch (const std::exception&) {
    // A path the image attribute cannot hold flies as the star.
    container->SetBkImage(kDefaultImage);
  }
  // The frame's centre is in window coordinates; a floating control is placed in its parent's.
  const skinui::Container* parent = container->GetParent();
  const int x = step->x - (parent != nullptr ? parent->GetPos().left : 0);
  const int y = step->y - (parent != nullptr ? parent->GetPos().top : 0);
  const int f = HalfSize(step->frame);
  container->SetFloatPos({x - f, y - f, x + f, y + f});
  container->NeedUpdate();
}

void FlyIconAnimation::OnEnd(FeatureHost& host, platform::Payload& payload) {
  const End* end = payload.get<End>();
  if (end == nullptr) return;
  skinui::Control* container = LiveContainer(end->alive, end->container);
  if (container == nullptr) return;
  if (auto* root = host.Find<skinui::Container>("Root")) root->Remove(container);
}

}  // namespace core
