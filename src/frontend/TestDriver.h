#pragma once
// Lets an end-to-end test drive a real game process: when VF_TEST_DRIVER names
// a local socket, the program connects to it and carries out one command per
// line (type into a box, click a button, press or hold a key, close a window,
// answer the next message box, write the battle's tables to a file, read where
// the battle's cursor, units and menus are), answering each with one line.
// Without the variable nothing of this runs.

#include "platform/LineFramer.h"

#include <QObject>

class Application;
class QLocalSocket;
class QWidget;

class TestDriver : public QObject {
    Q_OBJECT

public:
    // Starts a driver when the environment asks for one; null otherwise.
    // Also takes the program folder from VF_TEST_PROGRAM_DIR, so several
    // processes can run side by side with settings of their own.
    static TestDriver* installFromEnvironment(Application& app);

    // One command and its answer: "OK <value>" or "ERR <why>".
    QByteArray execute(const QByteArray& command);

private:
    TestDriver(Application& app, QLocalSocket* socket);
    void readCommands();
    // The visible widget of that object name, in any top-level window;
    // hidden ones only when no visible one exists.
    static QWidget* find(const QString& name);

    Application& app_;
    QLocalSocket* socket_;
    platform::LineFramer framer_;
};
