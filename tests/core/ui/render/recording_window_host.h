// A window that records what the core asks of it: presented areas (with the
// virtual time and, on request, the screen as it was), invalidations and
// created child buttons.
#pragma once

#include <optional>
#include <vector>

#include "core/ui/window_host.h"
#include "support/step_clock.h"

namespace vc::ui::test {

class RecordingWindowHost : public WindowHost {
public:
    struct Presented {
        Rect area;
        uint32_t tick;                   // the machine's clock when presented
        std::optional<Surface> screen;   // kept when keepScreens is set
    };
    struct Invalidated {
        Rect area;
        bool erase;
    };

    RecordingWindowHost(int32_t width, int32_t height, const vc::test::StepClock* clock = nullptr)
        : screen(width, height), clock_(clock) {}

    Surface& Screen() override { return screen; }
    void Present(const Rect& area) override {
        presented.push_back(Presented{area, clock_ != nullptr ? clock_->ticks : 0u,
                                      keepScreens ? std::optional<Surface>(screen) : std::nullopt});
    }
    void Invalidate(const Rect& area, bool erase) override { invalidated.push_back({area, erase}); }
    ChildHandle CreateChildButton(const ChildButtonSpec& desc) override {
        created.push_back(desc);
        return failCreation ? kNoChild : static_cast<ChildHandle>(created.size());
    }

    Surface screen;
    bool keepScreens = false;
    bool failCreation = false;
    std::vector<Presented> presented;
    std::vector<Invalidated> invalidated;
    std::vector<ChildButtonSpec> created;

private:
    const vc::test::StepClock* clock_;
};

}  // namespace vc::ui::test
