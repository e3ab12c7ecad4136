#include "Log.h"

#include <QDateTime>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace lobby {

namespace {
bool logging = true;
std::function<void(const QString&)> logSink;
}

void setLogging(bool on)
{
    logging = on;
}

void setLogSink(std::function<void(const QString&)> sink)
{
    logSink = std::move(sink);
}

void logLine(const QString& text)
{
    if (!logging)
        return;
    if (logSink)
        return logSink(text);
    const QString stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    std::fprintf(stderr, "%s %s\n", qPrintable(stamp), qPrintable(text));
}

bool RefusalLog::admit(const QByteArray& source)
{
    const qint64 now = clock_.elapsed();
    if (perSource_.count(source, now) >= PerSourcePerSecond || all_.count({}, now) >= AllPerSecond) {
        ++held_[source];
        return false;
    }
    perSource_.add(source, now);
    all_.add({}, now);
    return true;
}

void RefusalLog::flush()
{
    // Only the senders of the last second stay counted: the tables never
    // hold more than one interval's senders.
    const qint64 now = clock_.elapsed();
    perSource_.prune(now);
    all_.prune(now);
    if (held_.isEmpty())
        return;
    std::vector<std::pair<qint64, QByteArray>> most;
    qint64 total = 0;
    for (auto it = held_.cbegin(); it != held_.cend(); ++it) {
        most.emplace_back(it.value(), it.key());
        total += it.value();
    }
    held_.clear();
    std::sort(most.begin(), most.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList named;
    qint64 rest = total;
    for (size_t i = 0; i < most.size() && i < size_t(NamedInNote); ++i) {
        named << QStringLiteral("%1 from %2").arg(most[i].first).arg(QString::fromLatin1(most[i].second));
        rest -= most[i].first;
    }
    if (rest > 0)
        named << QStringLiteral("%1 from %2 others").arg(rest).arg(most.size() - NamedInNote);
    logLine(QStringLiteral("%1 more refused lines not logged: %2").arg(total).arg(named.join(QStringLiteral(", "))));
}

}  // namespace lobby
