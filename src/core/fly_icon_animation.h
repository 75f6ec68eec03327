#pragma once

#include <memory>
#include <string>

#include "core/feature_host.h"
#include "platform/payload.h"
#include "skinui/control.h"

namespace core {

// The icon that flies from a clicked button to where the download went (the app center's
// download manager, the knowledge tab's finished list): a floating container on the layout's
// "Root", moved by a short worker along the straight line between the centres of the two
// controls in 51 frames, growing until frame 32 and shrinking to nothing by frame 50. The
// worker only sleeps and posts WM_FLY_ICON_STEP for each frame and WM_FLY_ICON_END at the end;
// the window thread hands those messages to OnStep and OnEnd, whoever started the flight.
class FlyIconAnimation {
 public:
  static constexpr int kLastFrame = 50;
  static constexpr char kDefaultImage[] = "star.png";

  // WM_FLY_ICON_STEP: one frame, the container's centre at (x, y).
  struct Step {
    std::weak_ptr<skinui::Control*> alive;  // the container; expired once it has gone
    skinui::Control* container = nullptr;
    int x = 0;
    int y = 0;
    int frame = 0;
    int lastFrame = kLastFrame;
    std::string imagePath;  // empty: the default star
  };
  // WM_FLY_ICON_END: the flight is over; the container leaves "Root".
  struct End {
    std::weak_ptr<skinui::Control*> alive;
    skinui::Control* container = nullptr;
  };

  // Starts a flight from the centre of `from` to the centre of `to` carrying the picture at
  // `imagePath` (a skin picture name or a file path; empty for the star). Nothing happens when
  // the layout has no "Root".
  static void Start(FeatureHost& host, const skinui::Control& from, const skinui::Control& to,
                    std::string imagePath);
  static void OnStep(FeatureHost& host, platform::Payload& payload);
  static void OnEnd(FeatureHost& host, platform::Payload& payload);

  // Half the side of the square shown in frame i: i × 42 / 32 + 8 up to frame 32, then
  // (50 − i) × 42 / 16, truncated.
  static int HalfSize(int frame);
  // The pause after frame i: i + 5 ms for frames 17 to 32 (the flight slows at its widest),
  // 10 ms otherwise.
  static int PauseAfterMs(int frame);
};

}  // namespace core
