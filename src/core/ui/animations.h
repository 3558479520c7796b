// The short blocking animations of the main window: the lamp sweep played
// before a new bus frequency is applied, and the two layout transitions that
// slide one background over the other. They draw straight into the window's
// screen, present every frame as it is drawn and wait between frames by
// spinning on the machine's millisecond tick count, so nothing else runs
// meanwhile.
#pragma once

#include <array>
#include <cstdint>

#include "core/base/clock.h"
#include "core/ui/lamps.h"
#include "core/ui/surface.h"
#include "core/ui/window_host.h"

namespace vc::ui {

// How many lamps each step of the flash animation lights: two sweeps.
inline constexpr std::array<int32_t, 16> kFlashSteps{0, 0, 1, 2, 3, 4, 5, 6, 0, 0, 1, 2, 3, 4, 5, 6};

// Fixed geometry of the transitions, whatever the pictures' own sizes.
inline constexpr int32_t kTransitionWidth = 526;
inline constexpr int32_t kAdvanceFaceHeight = 216;
inline constexpr int32_t kEasyFaceHeight = 106;
inline constexpr int32_t kEasyFaceTop = 110;
inline constexpr uint32_t kTransitionFrameMs = 100;

// Draws the first `count` lamps (clamped to 0..6), lit or dark, one after
// the other. Lit lamps share `pauseMs` between them (pauseMs / count each);
// dark lamps wait pauseMs each. Always 1.
int32_t DrawLamps(WindowHost& mainWindow, Clock& clock, const LampSet& lamps, int32_t count, int32_t lit,
                  int32_t pauseMs);

// For each step n of kFlashSteps: all six lamps dark at once, then the first
// n lit over stepMs. The gauge ends fully lit. Always 1.
int32_t PlayFlashAnimation(WindowHost& mainWindow, Clock& clock, const LampSet& lamps, int32_t stepMs);

// The Easy face is drawn at its place, then the Advance face rises over it
// from the bottom edge (colour-keyed frames 100 ms apart) and finally lands
// opaquely at the top. A missing picture draws nothing. Always 1.
int32_t TransitionToAdvance(WindowHost& window, Clock& clock, const Surface* advancePicture,
                            const Surface* easyPicture);

// The Advance face is drawn, then the Easy face rises over it into its place
// at row 110 and lands there opaquely. Always 1.
int32_t TransitionToEasy(WindowHost& window, Clock& clock, const Surface* advancePicture,
                         const Surface* easyPicture);

}  // namespace vc::ui
