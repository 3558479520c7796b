// Lines a client causes (refusals, closes, writes), limited per uid: one
// member sending a stream of bad requests must not fill the system log.
// Each uid gets a burst of lines per window; what is held back is counted and said in one line once that
// uid's window has ended.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "helper/log.h"

namespace vc::helper {

class RefusalLog {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    explicit RefusalLog(LogSink sink, size_t burst = 5, std::chrono::milliseconds window = std::chrono::seconds(10),
                        Now now = Clock::now);

    void Refused(uid_t uid, const std::string& line);
    // The summary of every window that has ended with lines held back.
    void Flush();

private:
    struct Window {
        Clock::time_point start;
        size_t logged = 0;
        size_t held = 0;
    };

    void Summarise(uid_t uid, const Window& window);

    LogSink sink_;
    size_t burst_;
    std::chrono::milliseconds window_;
    Now now_;
    std::map<uid_t, Window> windows_;
};

}  // namespace vc::helper
