// The chat boxes keep their newest line in view.

#include "frontend/ChatBoxes.h"

#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

class ChatBoxesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void caretGoesToTheEndAndSelectionIsDropped();
    void blankBoxKeepsItsCaret();
    void hiddenBoxIsLeftAlone();
};

void ChatBoxesTest::caretGoesToTheEndAndSelectionIsDropped()
{
    QTextEdit lobby;
    lobby.show();
    lobby.setPlainText(QStringLiteral("one\ntwo\nthree"));
    QTextCursor cursor = lobby.textCursor();
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    lobby.setTextCursor(cursor);
    modStrat::ScrollRichTextToEnd(lobby);
    QVERIFY(!lobby.textCursor().hasSelection());
    QCOMPARE(lobby.textCursor().position(), lobby.toPlainText().size());

    QPlainTextEdit room;
    room.show();
    room.setPlainText(QStringLiteral("hello\nthere"));
    modStrat::ScrollTextBoxToEnd(room);
    QCOMPARE(room.textCursor().position(), room.toPlainText().size());
}

void ChatBoxesTest::blankBoxKeepsItsCaret()
{
    QPlainTextEdit room;
    room.show();
    room.setPlainText(QStringLiteral("      "));
    QTextCursor cursor = room.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    room.setTextCursor(cursor);
    modStrat::ScrollTextBoxToEnd(room);
    QVERIFY(!room.textCursor().hasSelection());
    QCOMPARE(room.textCursor().position(), 2);
}

void ChatBoxesTest::hiddenBoxIsLeftAlone()
{
    QPlainTextEdit room;
    room.setPlainText(QStringLiteral("abc"));
    QTextCursor cursor = room.textCursor();
    cursor.setPosition(1);
    room.setTextCursor(cursor);
    modStrat::ScrollTextBoxToEnd(room);
    QCOMPARE(room.textCursor().position(), 1);
}

QTEST_MAIN(ChatBoxesTest)
#include "tst_chatboxes.moc"
