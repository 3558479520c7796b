// The ways the desktop program is asked to end other than its Exit command:
// the session ending (the session manager's commit-data request, then the
// application's quit) and the termination signals a logout, a service
// manager or a terminal sends (SIGTERM, SIGHUP, SIGINT). Each calls the
// given function once it is safe to run the program's own code, on the
// user-interface thread; a signal then ends the event loop with code 0.
#pragma once

#include <functional>
#include <memory>

#include <QObject>

class QSocketNotifier;

namespace vc::qt {

class OrderlyEnd : public QObject {
public:
    // One at a time: the signal handlers are process-wide.
    explicit OrderlyEnd(std::function<void()> onEnding);
    ~OrderlyEnd() override;
    OrderlyEnd(const OrderlyEnd&) = delete;
    OrderlyEnd& operator=(const OrderlyEnd&) = delete;

private:
    void OnSignal();

    std::function<void()> onEnding_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vc::qt
