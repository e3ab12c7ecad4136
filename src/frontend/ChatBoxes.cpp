#include "frontend/ChatBoxes.h"

#include "net/ChatLog.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

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

LogLines::LogLines(QObject& box, QTextDocument& document, std::function<void()> scroll, bool firstLineEmpty)
    : QObject(&box), document_(document), scroll_(std::move(scroll)), firstLineEmpty_(firstLineEmpty)
{
    document_.setMaximumBlockCount(ChatLog::MaxLines);
}

LogLines::LogLines(QTextEdit& box)
    : LogLines(box, *box.document(), [&box] { modStrat::ScrollRichTextToEnd(box); }, false)
{
}

LogLines::LogLines(QPlainTextEdit& box)
    : LogLines(box, *box.document(), [&box] { modStrat::ScrollTextBoxToEnd(box); }, true)
{
}

void LogLines::add(const QString& text, const QTextCharFormat& format)
{
    if (pending_.empty())
        QTimer::singleShot(0, this, &LogLines::show);
    pending_.emplace_back(text, format);
    if (pending_.size() > size_t(ChatLog::MaxLines))
        pending_.pop_front();
}

void LogLines::show()
{
    if (pending_.empty())
        return;
    QTextCursor cursor(&document_);
    cursor.beginEditBlock();
    // Lines that would all drop out are not laid out first.
    const bool anew = pending_.size() >= size_t(ChatLog::MaxLines);
    if (anew) {
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    bool intoFirstLine = anew || (!firstLineEmpty_ && document_.isEmpty());
    for (const auto& [text, format] : pending_) {
        if (!intoFirstLine)
            cursor.insertBlock();
        intoFirstLine = false;
        cursor.insertText(text, format);
    }
    cursor.endEditBlock();
    pending_.clear();
    scroll_();
}
