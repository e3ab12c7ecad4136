#include "Log.h"

#include <QDateTime>
#include <cstdio>

namespace lobby {

namespace {
bool logging = true;
}

void setLogging(bool on)
{
    logging = on;
}

void logLine(const QString& text)
{
    if (!logging)
        return;
    const QString stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    std::fprintf(stderr, "%s %s\n", qPrintable(stamp), qPrintable(text));
}

}  // namespace lobby
