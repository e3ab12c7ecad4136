// The chat boxes keep their newest line in view.

#include "frontend/ChatBoxes.h"

#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

class ChatBoxesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void caretGoesToTheEnd_data()
    {
        QTest::addColumn<bool>("lobby");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");  // -1: the end of the text
        QTest::newRow("lobby") << true << true << "one\ntwo\nthree" << -1;
        QTest::newRow("lobby, hidden: left alone") << true << false << "one\ntwo" << 3;
        QTest::newRow("room, hidden") << false << false << "hello" << -1;
        QTest::newRow("room, only blanks") << false << true << "      " << -1;
    }

    void caretGoesToTheEnd()
    {
        QFETCH(bool, lobby);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        QFETCH(int, caret);
        QTextEdit log;
        QPlainTextEdit room;
        QWidget& box = lobby ? static_cast<QWidget&>(log) : room;
        box.setVisible(shown);
        lobby ? log.setPlainText(text) : room.setPlainText(text);
        QTextCursor cursor = lobby ? log.textCursor() : room.textCursor();
        cursor.setPosition(1);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        lobby ? log.setTextCursor(cursor) : room.setTextCursor(cursor);

        lobby ? modStrat::ScrollRichTextToEnd(log) : modStrat::ScrollTextBoxToEnd(room);
        cursor = lobby ? log.textCursor() : room.textCursor();
        QCOMPARE(cursor.position(), caret < 0 ? text.size() : caret);
        QCOMPARE(cursor.hasSelection(), !shown && lobby);
    }
};

QTEST_MAIN(ChatBoxesTest)
#include "tst_chatboxes.moc"
