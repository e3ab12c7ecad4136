#include "frontend/ChatBoxes.h"

#include <QPlainTextEdit>
#include <QTextEdit>

namespace modStrat {

void ScrollRichTextToEnd(QTextEdit& box)
{
    // A box that cannot show its caret is left alone; one holding only blanks
    // keeps its caret where it is.
    if (!box.isVisible())
        return;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(cursor.selectionStart());  // no selection; the caret at its start
    if (!box.toPlainText().trimmed().isEmpty())
        cursor.movePosition(QTextCursor::End);
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
}

void ScrollTextBoxToEnd(QPlainTextEdit& box)
{
    // The rooms' boxes: the caret goes to the end, whatever the box holds or shows.
    QTextCursor cursor = box.textCursor();
    cursor.movePosition(QTextCursor::End);
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
}

}  // namespace modStrat
