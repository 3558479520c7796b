#include "core/ui/animations.h"

#include <algorithm>

#include "core/base/busy_wait.h"

namespace vc::ui {

namespace {

void WaitMs(Clock& clock, int32_t ms) {
    BusyWaitMs(clock, static_cast<uint32_t>(std::max(ms, 0)));
}

// Draws `width` x `height` of `picture` at (x, y) of the screen and shows that part.
void DrawAndPresent(WindowHost& window, const Surface* picture, int32_t x, int32_t y, int32_t width,
                    int32_t height, bool keyed) {
    if (picture == nullptr) return;
    Surface& screen = window.Screen();
    if (keyed) {
        CopyPixelsKeyed(screen, x, y, *picture, 0, 0, width, height);
    } else {
        CopyPixels(screen, x, y, *picture, 0, 0, width, height);
    }
    window.Present(Intersect(RectAt(x, y, width, height), screen.Bounds()));
}

// The moving picture rises from the bottom edge with a step growing by 5
// pixels a frame; frames are drawn while the top is still below `stopAbove`.
void RiseFrom(WindowHost& window, Clock& clock, const Surface* picture, int32_t height, int32_t stopAbove) {
    int32_t top = kAdvanceFaceHeight;
    int32_t step = 5;
    do {
        step += 5;
        DrawAndPresent(window, picture, 0, top, kTransitionWidth, height, true);
        WaitMs(clock, kTransitionFrameMs);
        top -= step;
    } while (top > stopAbove);
}

}  // namespace

int32_t DrawLamps(WindowHost& mainWindow, Clock& clock, const LampSet& lamps, int32_t count, int32_t lit,
                  int32_t pauseMs) {
    const int32_t drawn = std::clamp<int32_t>(count, 0, static_cast<int32_t>(kLampCount));
    const int32_t pause = std::max(pauseMs, 0);
    const int32_t perLamp = drawn != 0 ? pause / drawn : pause;
    for (int32_t i = 0; i < drawn; ++i) {
        const Lamp& lamp = lamps[static_cast<size_t>(i)];
        const Surface* image = lit != 0 ? lamp.onImage : lamp.offImage;
        DrawAndPresent(mainWindow, image, lamp.rect.left, lamp.rect.top, lamp.rect.Width(), lamp.rect.Height(),
                       false);
        WaitMs(clock, lit != 0 ? perLamp : pause);
    }
    return 1;
}

int32_t PlayFlashAnimation(WindowHost& mainWindow, Clock& clock, const LampSet& lamps, int32_t stepMs) {
    for (const int32_t lampsLit : kFlashSteps) {
        DrawLamps(mainWindow, clock, lamps, static_cast<int32_t>(kLampCount), 0, 0);
        DrawLamps(mainWindow, clock, lamps, lampsLit, 1, stepMs);
    }
    return 1;
}

int32_t TransitionToAdvance(WindowHost& window, Clock& clock, const Surface* advancePicture,
                            const Surface* easyPicture) {
    DrawAndPresent(window, easyPicture, 0, kEasyFaceTop, kTransitionWidth, kEasyFaceHeight, false);
    RiseFrom(window, clock, advancePicture, kAdvanceFaceHeight, 0);
    DrawAndPresent(window, advancePicture, 0, 0, kTransitionWidth, kAdvanceFaceHeight, false);
    return 1;
}

int32_t TransitionToEasy(WindowHost& window, Clock& clock, const Surface* advancePicture,
                         const Surface* easyPicture) {
    DrawAndPresent(window, advancePicture, 0, 0, kTransitionWidth, kAdvanceFaceHeight, false);
    RiseFrom(window, clock, easyPicture, kEasyFaceHeight, kEasyFaceTop);
    DrawAndPresent(window, easyPicture, 0, kEasyFaceTop, kTransitionWidth, kEasyFaceHeight, false);
    return 1;
}

}  // namespace vc::ui
