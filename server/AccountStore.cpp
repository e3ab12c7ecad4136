#include "AccountStore.h"

#include "Protocol.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace lobby {

namespace {

// Raised whenever the tables change; a newer file is refused, not guessed at.
constexpr int SchemaVersion = 1;
// Writers from the login workers and the network thread take turns.
constexpr int BusyTimeoutMs = 10000;

const char* const Schema[] = {
    "CREATE TABLE IF NOT EXISTS accounts ("
    " name TEXT PRIMARY KEY NOT NULL,"
    " hash TEXT NOT NULL,"
    " moderator INTEGER NOT NULL DEFAULT 0,"
    " banned INTEGER NOT NULL DEFAULT 0,"
    " banned_until INTEGER NOT NULL DEFAULT 0,"
    " games INTEGER NOT NULL DEFAULT 0,"
    " wins INTEGER NOT NULL DEFAULT 0,"
    " created INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS address_bans ("
    " address TEXT PRIMARY KEY NOT NULL,"
    " created INTEGER NOT NULL)",
};

std::atomic<int> connectionCount{0};

}  // namespace

AccountStore::AccountStore(const QString& path)
    : connection_(QStringLiteral("lobby-store-%1").arg(connectionCount++))
{
    if (path != QLatin1String(":memory:"))
        QDir().mkpath(QFileInfo(path).absolutePath());
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db_.open()) {
        error_ = db_.lastError().text();
        return;
    }
    // WAL lets logins read while another thread writes; FULL syncs every
    // commit, since an account answered GOODPASS must survive a crash.
    if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !exec(QStringLiteral("PRAGMA synchronous=FULL")))
        return;
    QSqlQuery version(db_);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next()) {
        error_ = version.lastError().text();
        return;
    }
    const int found = version.value(0).toInt();
    if (found > SchemaVersion) {
        error_ = QStringLiteral("the database has schema %1; this server knows up to %2").arg(found).arg(SchemaVersion);
        return;
    }
    open_ = found == SchemaVersion || createSchema();
}

AccountStore::~AccountStore()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool AccountStore::exec(const QString& sql)
{
    QSqlQuery query(db_);
    if (query.exec(sql))
        return true;
    error_ = query.lastError().text();
    return false;
}

bool AccountStore::createSchema()
{
    if (!db_.transaction())
        return false;
    for (const char* statement : Schema)
        if (!exec(QString::fromLatin1(statement))) {
            db_.rollback();
            return false;
        }
    if (!exec(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion)) || !db_.commit()) {
        db_.rollback();
        return false;
    }
    return true;
}

bool AccountStore::change(const QString& sql, const QVariantList& values)
{
    if (!open_ || !db_.transaction())
        return false;
    QSqlQuery query(db_);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec() || query.numRowsAffected() < 1) {
        error_ = query.lastError().text();
        db_.rollback();
        return false;
    }
    return db_.commit();
}

std::optional<Account> AccountStore::find(QByteArrayView name)
{
    if (!open_)
        return std::nullopt;
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT hash, moderator, banned, banned_until FROM accounts WHERE name = ?"));
    query.addBindValue(toText(name));
    if (!query.exec() || !query.next())
        return std::nullopt;
    Account account;
    account.hash = query.value(0).toString().toLatin1();
    account.moderator = query.value(1).toInt() != 0;
    account.banned = query.value(2).toInt() != 0;
    account.bannedUntil = query.value(3).toLongLong();
    return account;
}

bool AccountStore::create(QByteArrayView name, QByteArrayView hash)
{
    return change(QStringLiteral("INSERT INTO accounts (name, hash, created) VALUES (?, ?, ?)"),
                  {toText(name), toText(hash), QDateTime::currentSecsSinceEpoch()});
}

bool AccountStore::setModerator(QByteArrayView name)
{
    return change(QStringLiteral("UPDATE accounts SET moderator = 1 WHERE name = ?"), {toText(name)});
}

bool AccountStore::banName(QByteArrayView name, qint64 until)
{
    if (until == 0)
        return change(QStringLiteral("UPDATE accounts SET banned = 1 WHERE name = ?"), {toText(name)});
    return change(QStringLiteral("UPDATE accounts SET banned_until = ? WHERE name = ?"), {until, toText(name)});
}

bool AccountStore::banAddress(QByteArrayView address)
{
    return change(QStringLiteral("INSERT OR REPLACE INTO address_bans (address, created) VALUES (?, ?)"),
                  {toText(address), QDateTime::currentSecsSinceEpoch()});
}

QSet<QByteArray> AccountStore::bannedAddresses()
{
    QSet<QByteArray> out;
    QSqlQuery query(db_);
    if (open_ && query.exec(QStringLiteral("SELECT address FROM address_bans")))
        while (query.next())
            out.insert(query.value(0).toString().toLatin1());
    return out;
}

bool AccountStore::recordGame(QByteArrayView name, bool won)
{
    if (!change(QStringLiteral("UPDATE accounts SET games = games + 1, wins = wins + ? WHERE name = ?"),
                {won ? 1 : 0, toText(name)}))
        return false;
    // Only this store adds wins, so the count read back is the one just committed.
    if (won && ranks_)
        if (const std::optional<Stats> now = winsAndLosses(name))
            ranks_->addWin(now->wins - 1);
    return true;
}

bool AccountStore::loadRanks()
{
    if (!open_)
        return false;
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT wins FROM accounts WHERE wins > 0"))) {
        error_ = query.lastError().text();
        return false;
    }
    std::vector<int> wins;
    while (query.next())
        wins.push_back(query.value(0).toInt());
    ranks_.emplace(std::move(wins));
    return true;
}

std::optional<Stats> AccountStore::winsAndLosses(QByteArrayView name)
{
    if (!open_)
        return std::nullopt;
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT games, wins FROM accounts WHERE name = ?"));
    query.addBindValue(toText(name));
    if (!query.exec() || !query.next())
        return std::nullopt;
    Stats stats;
    stats.wins = query.value(1).toInt();
    stats.losses = std::max(0, query.value(0).toInt() - stats.wins);
    return stats;
}

std::optional<Stats> AccountStore::stats(QByteArrayView name)
{
    std::optional<Stats> stats = winsAndLosses(name);
    if (!stats || !ranks_)
        return std::nullopt;
    stats->rank = ranks_->rank(stats->wins);
    return stats;
}

}  // namespace lobby
