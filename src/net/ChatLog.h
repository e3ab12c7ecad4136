#pragma once
// A chat log as a text box holds it: always at least one line, each new line
// added after the last. Only the newest lines are kept, since a peer may send
// without end and every line costs the display.

#include <QString>
#include <QStringList>

class ChatLog {
public:
    // Plenty to scroll back through; the display's cost stays flat past it.
    static constexpr int MaxLines = 1000;

    // The whole text, lines joined by "\n".
    QString text() const { return lines_.join(QLatin1Char('\n')); }
    const QStringList& lines() const { return lines_; }

    // The text becomes `text` (its newest lines when it is longer).
    void setText(const QString& text);
    // The text & line end & `line`.
    void addLine(const QString& line);

private:
    void bound();

    QStringList lines_{QString()};
};
