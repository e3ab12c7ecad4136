#include "frontend/ChatBoxes.h"

#include <QPlainTextEdit>
#include <QTextEdit>

namespace modStrat {

namespace {

// A box that cannot show its caret is left alone; one holding only blanks keeps
// its caret where it is.
template <typename Box>
void caretToEnd(Box& box)
{
    if (!box.isVisible())
        return;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(cursor.selectionStart());  // no selection; the caret at its start
    if (!box.toPlainText().trimmed().isEmpty())
        cursor.movePosition(QTextCursor::End);
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
}

}  // namespace

void ScrollRichTextToEnd(QTextEdit& box)
{
    caretToEnd(box);
}

void ScrollTextBoxToEnd(QPlainTextEdit& box)
{
    caretToEnd(box);
}

}  // namespace modStrat
