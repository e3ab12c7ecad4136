#pragma once
// Chat boxes: lines added to a log, and the newest line kept in view.

#include <QObject>
#include <QString>
#include <QTextCharFormat>
#include <deque>
#include <functional>
#include <utility>

class QPlainTextEdit;
class QTextDocument;
class QTextEdit;

namespace modStrat {

// The lobby's coloured chat log.
void ScrollRichTextToEnd(QTextEdit& box);
// The game rooms' plain chat boxes.
void ScrollTextBoxToEnd(QPlainTextEdit& box);

}  // namespace modStrat

// The lines added to a chat box, shown once the event loop turns again. Laying
// out a line is what costs: a burst of lines is laid out in one go, and of
// those only the newest that the box keeps (ChatLog::MaxLines, its bound).
class LogLines : public QObject {
public:
    // The lobby's log: its first line takes the first text added.
    explicit LogLines(QTextEdit& box);
    // A room's log: every text goes after a line end, so its first line stays empty.
    explicit LogLines(QPlainTextEdit& box);

    void add(const QString& text, const QTextCharFormat& format = QTextCharFormat());
    // The box was emptied or filled anew: lines not shown yet are dropped.
    void drop() { pending_.clear(); }

private:
    LogLines(QObject& box, QTextDocument& document, std::function<void()> scroll, bool firstLineEmpty);
    void show();

    QTextDocument& document_;
    std::function<void()> scroll_;
    bool firstLineEmpty_;
    std::deque<std::pair<QString, QTextCharFormat>> pending_;
};
