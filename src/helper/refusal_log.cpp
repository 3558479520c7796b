#include "helper/refusal_log.h"

namespace vc::helper {

RefusalLog::RefusalLog(LogSink sink, size_t burst, std::chrono::milliseconds window, Now now)
    : sink_(std::move(sink)), burst_(burst), window_(window), now_(std::move(now)) {}

void RefusalLog::Summarise(uid_t uid, const Window& window) {
    if (window.held == 0) return;
    sink_("uid=" + std::to_string(uid) + ": " + std::to_string(window.held) + " more lines in " +
          std::to_string(window_.count()) + " ms not logged");
}

void RefusalLog::Refused(uid_t uid, const std::string& line) {
    const auto now = now_();
    auto [it, fresh] = windows_.try_emplace(uid);
    Window& window = it->second;
    if (fresh || now - window.start >= window_) {
        if (!fresh) Summarise(uid, window);
        window = Window{now, 0, 0};
    }
    if (window.logged < burst_) {
        ++window.logged;
        sink_(line);
    } else {
        ++window.held;
    }
}

void RefusalLog::Flush() {
    const auto now = now_();
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (now - it->second.start >= window_) {
            Summarise(it->first, it->second);
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace vc::helper
