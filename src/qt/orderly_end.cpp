#include "qt/orderly_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

namespace vc::qt {

namespace {

constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGHUP, SIGINT};

// The handler may only write: the byte wakes the event loop, which does
// the rest on the user-interface thread.
int signalPipe[2] = {-1, -1};

extern "C" void NoteEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

OrderlyEnd::OrderlyEnd(std::function<void()> onEnding) : onEnding_(std::move(onEnding)) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { onEnding_(); });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { onEnding_(); });
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { OnSignal(); });
    struct sigaction action {};
    action.sa_handler = &NoteEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndingSignals) sigaction(signal, &action, nullptr);
}

OrderlyEnd::~OrderlyEnd() {
    for (int signal : kEndingSignals) std::signal(signal, SIG_DFL);
    notifier_.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void OrderlyEnd::OnSignal() {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    onEnding_();
    QCoreApplication::exit(0);
}

}  // namespace vc::qt
