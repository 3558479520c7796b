// A way back to a hidden main window on a desktop without a tray.
//
// The running copy listens on a per-user local socket; a copy that the
// single-copy guard refused connects there, sends one request line and ends
// (still with exit code 1, showing nothing itself). The running copy shows
// its window again when no tray is there to do it.
#pragma once

#include <functional>
#include <string>

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace vc::qt {

inline constexpr const char* kShowRequestLine = "show\n";

std::string DefaultRequestDirectory();

// The socket beside the single-copy counter files, named for this user.
QString ShowRequestPath(const std::string& directory = DefaultRequestDirectory());

class ShowRequestListener : public QObject {
public:
    // Listens on `path`, replacing a socket file left by a copy that ended
    // without cleaning up (only the counted copy listens, so no live copy's
    // socket is taken). `onShow` runs once for each valid request.
    ShowRequestListener(const QString& path, std::function<void()> onShow, QObject* parent = nullptr);
    ~ShowRequestListener() override;

    bool IsListening() const;

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QLocalServer* server_;
    std::function<void()> onShow_;
};

// Connects to `path`, sends the show request and waits for it to leave.
// False when nobody listens there or the request could not be sent.
bool SendShowRequest(const QString& path, int timeoutMs);

}  // namespace vc::qt
