#include "Log.h"

#include "Protocol.h"

#include <QDateTime>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

namespace lobby {

namespace {
bool logging = true;
std::function<void(const QString&)> logSink;

const char* const KindNames[] = {
    "refused lines",
    "refused logins",
    "refused moderation lines",
    "refused connections",
    "connections closed before login",
    "room actions",
};
static_assert(std::size(KindNames) == size_t(LogKind::RoomActions) + 1);

// As much of a peer's text as the log quotes.
QByteArrayView quoted(QByteArrayView peerText)
{
    return peerText.first(std::min(peerText.size(), MaxLoggedPeerBytes));
}
}  // namespace

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

QString loggedText(QByteArrayView peerText)
{
    const QString text = toText(quoted(peerText));
    return peerText.size() > MaxLoggedPeerBytes ? text + QStringLiteral("...") : text;
}

bool ThrottledLog::admit(LogKind kind, const QByteArray& source, QByteArrayView account)
{
    Allowance& allowance = kinds_[size_t(kind)];
    const qint64 now = clock_.elapsed();
    if (allowance.perSource.count(source, now) < PerSourcePerSecond && allowance.all.count({}, now) < AllPerSecond) {
        allowance.perSource.add(source, now);
        allowance.all.add({}, now);
        return true;
    }
    // Counted by source, so one address trying many names shows as one.
    auto it = allowance.held.find(source);
    if (it == allowance.held.end()) {
        if (allowance.held.size() >= MaxHeldSources) {
            ++allowance.heldUnnamed;
            return false;
        }
        it = allowance.held.insert(source, {});
    }
    ++it->count;
    if (account.isEmpty() || account == source)
        return false;
    const QByteArray tried = quoted(account).toByteArray();
    if (it->accounts.contains(tried))
        return false;
    if (it->accounts.size() < AccountsNamedPerSource)
        it->accounts.append(tried);
    else
        it->moreAccounts = true;
    return false;
}

void ThrottledLog::flush()
{
    for (int kind = 0; kind < KindCount; ++kind)
        flush(LogKind(kind), kinds_[size_t(kind)]);
}

void ThrottledLog::flush(LogKind kind, Allowance& allowance)
{
    // Only the senders of the last second stay counted: the tables never
    // hold more than one interval's senders.
    const qint64 now = clock_.elapsed();
    allowance.perSource.prune(now);
    allowance.all.prune(now);
    if (allowance.held.isEmpty())
        return;
    std::vector<std::pair<QByteArray, Held>> most;
    qint64 total = allowance.heldUnnamed;
    for (auto it = allowance.held.cbegin(); it != allowance.held.cend(); ++it) {
        most.emplace_back(it.key(), it.value());
        total += it->count;
    }
    const bool unnamedSources = allowance.heldUnnamed > 0;
    allowance.held.clear();
    allowance.heldUnnamed = 0;
    std::sort(most.begin(), most.end(), [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
    QStringList named;
    qint64 rest = total;
    for (size_t i = 0; i < most.size() && i < size_t(NamedInNote); ++i) {
        const Held& held = most[i].second;
        QString accounts;
        if (!held.accounts.isEmpty())
            accounts = QStringLiteral(" (%1%2)").arg(toText(held.accounts.join(", ")),
                                                     held.moreAccounts ? QStringLiteral(", ...") : QString());
        named << QStringLiteral("%1 from %2%3").arg(held.count).arg(toText(most[i].first), accounts);
        rest -= held.count;
    }
    if (rest > 0) {
        const QString others = unnamedSources ? QStringLiteral("more than %1").arg(most.size() - NamedInNote)
                                              : QString::number(most.size() - NamedInNote);
        named << QStringLiteral("%1 from %2 others").arg(rest).arg(others);
    }
    logLine(QStringLiteral("%1 more %2 not logged: %3")
                .arg(total)
                .arg(QLatin1String(KindNames[int(kind)]), named.join(QStringLiteral(", "))));
}

}  // namespace lobby
