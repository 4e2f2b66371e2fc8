#include "app/SingleInstanceGuard.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QtGlobal>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace {
constexpr char kMutexName[] = "多重起動チェック1";
constexpr char kActivate[] = "activate\n";
constexpr int kConnectTimeoutMs = 500;
} // namespace

QString SingleInstanceGuard::defaultKey() {
    QString user;
#ifdef Q_OS_WIN
    user = qEnvironmentVariable("USERNAME");
#else
    if (const passwd* pw = getpwuid(getuid()))
        user = QString::fromLocal8Bit(pw->pw_name);
    else
        user = QString::number(getuid());
#endif
    return QString::fromUtf8(kMutexName) + user;
}

SingleInstanceGuard::SingleInstanceGuard(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)) {}

SingleInstanceGuard::~SingleInstanceGuard() = default;

QString SingleInstanceGuard::serverName() const {
    // Socket names become file names on some systems: keep them short and plain.
    return QStringLiteral("ledora-") +
           QString::fromLatin1(
               QCryptographicHash::hash(key_.toUtf8(), QCryptographicHash::Sha1).toHex());
}

bool SingleInstanceGuard::tryBecomePrimary() {
    const QString name = serverName();
    {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(kConnectTimeoutMs);
            return false;
        }
    }
    // Nobody answered: a socket file left by a crashed run would block listening.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            auto readRequest = [this, peer] {
                if (peer->readAll().contains("activate"))
                    emit activationRequested();
            };
            connect(peer, &QLocalSocket::readyRead, this, readRequest);
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (peer->bytesAvailable() > 0)
                readRequest();
        }
    });
    // If listening fails the program still runs, as the only copy it can know of.
    server_->listen(name);
    return true;
}

void bringWindowForward(QWidget* window) {
    if (!window)
        return;
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->show();
    } else {
        window->show();
        window->raise();
        window->activateWindow();
    }
}
