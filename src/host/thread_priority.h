// The calling thread's priority in the Windows-style levels the core uses
// (0 normal, 15 time-critical, -15 idle, -2..2 around normal), applied to the
// Linux thread as well as the process's privileges allow.
#pragma once

#include <cstdint>

namespace vc {

class ThreadPriority {
public:
    // The level last set; 0 (normal) before any change. Reported even when
    // the system refused to apply it.
    int32_t Get() const { return level_; }

    // Time-critical asks for the highest real-time (FIFO) priority; levels
    // around normal change the thread's nice value. Without the privilege for
    // a change the thread keeps running as it was. Returning to normal
    // restores the scheduling the thread had before the first change.
    void Set(int32_t level);

    // Whether the last Set was applied by the system.
    bool Applied() const { return applied_; }

private:
    struct Scheduling {
        int policy = 0;
        int realtimePriority = 0;
        int nice = 0;
    };

    static Scheduling Current();
    static bool Apply(const Scheduling& scheduling);

    int32_t level_ = 0;
    bool applied_ = true;
    bool haveNormal_ = false;
    Scheduling normal_;
};

}  // namespace vc
