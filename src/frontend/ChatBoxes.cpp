#include "frontend/ChatBoxes.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextEdit>

namespace {

// Whether the log holds anything but blanks. Asked from the newest line back,
// which almost always answers at once: the cost must not grow with the log.
bool holdsText(const QTextDocument& log)
{
    for (QTextBlock block = log.lastBlock(); block.isValid(); block = block.previous()) {
        if (!block.text().trimmed().isEmpty())
            return true;
    }
    return false;
}

}  // namespace

namespace modStrat {

void ScrollRichTextToEnd(QTextEdit& box)
{
    // A box that cannot show its caret is left alone; one holding only blanks
    // keeps its caret where it is.
    if (!box.isVisible())
        return;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(cursor.selectionStart());  // no selection; the caret at its start
    if (holdsText(*box.document()))
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
