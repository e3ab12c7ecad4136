#pragma once
// The lobby window until the lobby itself is built: an empty window, hidden,
// that owns the one connection to the lobby server.

#include <QStringList>
#include <QTcpSocket>
#include <QWidget>

class LobbyPlaceholder : public QWidget {
    Q_OBJECT

public:
    explicit LobbyPlaceholder(QWidget* parent = nullptr);

    // Closes a connection still open, then connects anew; `loginLines` go out
    // once the connection is made.
    void connectTo(const QString& host, quint16 port, const QStringList& loginLines);
    // One line of the lobby protocol, CR LF added; nothing happens without a connection.
    void sendLine(const QString& line);

    QTcpSocket& socket() { return socket_; }

Q_SIGNALS:
    // The user closed the window (the connection ended with it).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTcpSocket socket_;
    QStringList pendingLogin_;
};
