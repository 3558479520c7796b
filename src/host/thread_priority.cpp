#include "host/thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace vc {

namespace {

constexpr int32_t kTimeCritical = 15;

struct NiceLevel {
    int32_t level;
    int niceOffset;  // added to the normal nice value
};

// Levels below time-critical map onto nice steps around the normal value.
constexpr std::array<NiceLevel, 6> kNiceLevels{{
    {-15, 19}, {-2, 10}, {-1, 5}, {1, -5}, {2, -10}, {kTimeCritical, 0},
}};

id_t ThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

}  // namespace

ThreadPriority::Scheduling ThreadPriority::Current() {
    Scheduling scheduling;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &scheduling.policy, &param) == 0) {
        scheduling.realtimePriority = param.sched_priority;
    }
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, ThreadId());
    if (errno == 0) scheduling.nice = nice;
    return scheduling;
}

bool ThreadPriority::Apply(const Scheduling& scheduling) {
    sched_param param{};
    param.sched_priority = scheduling.realtimePriority;
    const bool policySet = pthread_setschedparam(pthread_self(), scheduling.policy, &param) == 0;
    // The nice value only matters under the normal time-sharing policy.
    if (scheduling.policy == SCHED_FIFO || scheduling.policy == SCHED_RR) return policySet;
    const bool niceSet = setpriority(PRIO_PROCESS, ThreadId(), scheduling.nice) == 0;
    return policySet && niceSet;
}

void ThreadPriority::Set(int32_t level) {
    if (!haveNormal_ || level_ == 0) {
        normal_ = Current();
        haveNormal_ = true;
    }
    level_ = level;

    Scheduling wanted = normal_;
    if (level == kTimeCritical) {
        wanted.policy = SCHED_FIFO;
        wanted.realtimePriority = sched_get_priority_max(SCHED_FIFO);
    } else {
        for (const NiceLevel& entry : kNiceLevels) {
            if (entry.level == level) wanted.nice = normal_.nice + entry.niceOffset;
        }
    }
    applied_ = Apply(wanted);
}

}  // namespace vc
