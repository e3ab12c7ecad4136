#pragma once
// The accounts, moderator rights and bans, in SQLite. One store is one
// database connection and serves only the thread that made it.

#include "WinRanks.h"

#include <QByteArray>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace lobby {

struct Account
{
    QByteArray hash;  // Argon2id, in libsodium's string form
    bool moderator = false;
    bool banned = false;     // for good (IPBAN, COMPBAN)
    qint64 bannedUntil = 0;  // TEMPBAN: seconds since the epoch
};

struct Stats
{
    int wins = 0;
    int losses = 0;
    int rank = 0;  // 1 = most wins
};

class AccountStore
{
public:
    explicit AccountStore(const QString& path);
    ~AccountStore();
    AccountStore(const AccountStore&) = delete;
    AccountStore& operator=(const AccountStore&) = delete;

    // False when the file cannot be opened or has a schema we do not know.
    bool isOpen() const { return open_; }
    QString error() const { return error_; }

    std::optional<Account> find(QByteArrayView name);
    // Each change is one transaction, committed before it returns true.
    bool create(QByteArrayView name, QByteArrayView hash);
    bool setModerator(QByteArrayView name);  // false when there is no such account
    bool banName(QByteArrayView name, qint64 until);  // until 0: for good
    bool banAddress(QByteArrayView address);
    QSet<QByteArray> bannedAddresses();
    // A battle that ended for a player: one game, and a win when it won.
    bool recordGame(QByteArrayView name, bool won);
    // The ranks are read once, here, and then follow this store's recordGame:
    // ask for stats on the store that loaded them and records the wins.
    bool loadRanks();
    // Nothing before loadRanks().
    std::optional<Stats> stats(QByteArrayView name);

private:
    bool createSchema();
    bool exec(const QString& sql);
    bool change(const QString& sql, const QVariantList& values);
    std::optional<Stats> winsAndLosses(QByteArrayView name);  // no rank

    QString connection_;
    QSqlDatabase db_;
    bool open_ = false;
    QString error_;
    std::optional<WinRanks> ranks_;
};

}  // namespace lobby
