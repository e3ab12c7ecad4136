#include "net/ChatLog.h"

void ChatLog::setText(const QString& text)
{
    lines_ = text.split(QLatin1Char('\n'));
    bound();
}

void ChatLog::addLine(const QString& line)
{
    lines_.append(line);
    bound();
}

void ChatLog::bound()
{
    if (lines_.size() > MaxLines)
        lines_.remove(0, lines_.size() - MaxLines);
}
