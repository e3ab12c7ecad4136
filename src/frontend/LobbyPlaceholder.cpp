#include "frontend/LobbyPlaceholder.h"

#include "platform/Text.h"

#include <QCloseEvent>
#include <utility>

LobbyPlaceholder::LobbyPlaceholder(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Vesperfall - Lobby"));
    resize(650, 450);
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        for (const QString& line : std::exchange(pendingLogin_, {}))
            sendLine(line);
    });
}

void LobbyPlaceholder::connectTo(const QString& host, quint16 port, const QStringList& loginLines)
{
    if (socket_.state() != QAbstractSocket::UnconnectedState)
        socket_.abort();
    pendingLogin_ = loginLines;
    socket_.connectToHost(host, port);
}

void LobbyPlaceholder::sendLine(const QString& line)
{
    if (socket_.state() != QAbstractSocket::ConnectedState)
        return;
    socket_.write(platform::toLatin1(line + QStringLiteral("\r\n")));
}

void LobbyPlaceholder::closeEvent(QCloseEvent* event)
{
    socket_.abort();
    event->accept();
    emit closed();
}
