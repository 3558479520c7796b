#include "qt/show_request.h"

#include <unistd.h>

#include <cstring>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>

#include "host/process/instance_counter.h"

namespace vc::qt {

namespace {

// A request is one short line; anything longer is not one of ours.
constexpr qint64 kMaxRequestBytes = 16;

}  // namespace

std::string DefaultRequestDirectory() { return host::InstanceCounter::DefaultDirectory(); }

QString ShowRequestPath(const std::string& directory) {
    return QString::fromStdString(directory) +
           QStringLiteral("/velocore3-show-") + QString::number(::getuid());
}

ShowRequestListener::ShowRequestListener(const QString& path, std::function<void()> onShow, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), onShow_(std::move(onShow)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path);
    server_->listen(path);
    QObject::connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

ShowRequestListener::~ShowRequestListener() { server_->close(); }

bool ShowRequestListener::IsListening() const { return server_->isListening(); }

void ShowRequestListener::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void ShowRequestListener::Read(QLocalSocket* socket) {
    const qint64 wanted = static_cast<qint64>(std::strlen(kShowRequestLine));
    if (socket->bytesAvailable() < wanted && socket->bytesAvailable() < kMaxRequestBytes) return;
    const QByteArray request = socket->read(kMaxRequestBytes);
    // One request per connection, whatever it was.
    socket->disconnectFromServer();
    if (request == kShowRequestLine && onShow_) onShow_();
}

bool SendShowRequest(const QString& path, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) return false;
    const qint64 length = static_cast<qint64>(std::strlen(kShowRequestLine));
    if (socket.write(kShowRequestLine, length) != length) return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

}  // namespace vc::qt
