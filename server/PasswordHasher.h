#pragma once
// Logins are checked by a small pool of worker threads, so a burst of
// Argon2id hashes never stalls chat or relayed game lines on the network
// thread. Each worker has its own database connection; a new account is
// committed before its answer comes back.
//
// The work is a shared resource a stranger could take: addresses take
// turns, a job whose connection closed is dropped, the queue is bounded
// (when full, the address holding the most jobs gives one up),
// and each address may create only so many accounts an hour.

#include "AccountStore.h"
#include "Protocol.h"
#include "WindowedCounts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace lobby {

struct LoginRequest
{
    SessionId key = 0;  // the connection asking; cancel() takes the job back
    QByteArray address;
    QByteArray name;
    QByteArray password;
};

struct LoginResult
{
    enum class Outcome {
        Accepted,
        Created,
        WrongPassword,
        Failed,           // the account store did not answer
        Busy,             // the queue was full
        TooManyAccounts,  // this address made its new accounts for the hour
    };
    Outcome outcome = Outcome::Failed;
    Account account;
};

using LoginDone = std::function<void(const LoginResult&)>;

class LoginService
{
public:
    virtual ~LoginService() = default;
    // Checks the password of an account, or creates the account; `done` is
    // called later on the caller's thread.
    virtual void login(LoginRequest request, LoginDone done) = 0;
    // The connection has closed: a job not yet hashed is dropped, creates
    // nothing and is never answered.
    virtual void cancel(SessionId key) = 0;
};

struct LoginLimits
{
    // A connection has one login under way at a time, so the jobs of an
    // address are bounded by its connections; this bounds them all, with
    // room for every client of a busy lobby coming back at once.
    static constexpr int DefaultMaxQueued = 4096;
    static constexpr int DefaultNewAccountsPerHour = 10;

    int maxQueued = DefaultMaxQueued;
    int newAccountsPerHour = DefaultNewAccountsPerHour;
};

// Argon2id work per hash.
struct HashCost
{
    unsigned long long operations = 0;
    size_t memoryBytes = 0;
    // Tens of milliseconds and 19 MiB per login.
    static HashCost standard();
    // The library's minimum, for tests only.
    static HashCost cheap();
};

class PasswordHasher : public QObject, public LoginService
{
    Q_OBJECT

public:
    static constexpr qint64 NewAccountWindowMs = 60 * 60 * 1000;

    // Called on a worker once it has looked the account up, before any
    // hashing: tests hold a job there to act while it is under way.
    using LookedUp = std::function<void(const LoginRequest&)>;

    PasswordHasher(const QString& databasePath, HashCost cost, int threads = defaultThreads(),
                   LoginLimits limits = {}, LookedUp lookedUp = {});
    ~PasswordHasher() override;

    void login(LoginRequest request, LoginDone done) override;
    void cancel(SessionId key) override;

    static int defaultThreads();
    static bool initialise();  // libsodium; false when it cannot start

private:
    struct Job
    {
        LoginRequest request;
        LoginDone done;
    };

    void work();
    std::optional<Job> nextJob();
    // nullopt: the job was cancelled while under way.
    std::optional<LoginResult> check(AccountStore& store, const Job& job);
    bool reserveNewAccount(const QByteArray& address);
    void answer(LoginDone done, const LoginResult& result);

    QString databasePath_;
    HashCost cost_;
    LoginLimits limits_;
    LookedUp lookedUp_;
    std::mutex mutex_;
    std::condition_variable wake_;
    // New accounts are written one at a time: SQLite's own wait for a busy
    // database sleeps far longer than a write takes.
    std::mutex writing_;
    // Guarded by mutex_: the jobs of each address, the addresses in the
    // order they are served, the jobs being hashed and those cancelled
    // meanwhile, and the accounts each address made.
    QHash<QByteArray, std::deque<Job>> queues_;
    std::deque<QByteArray> turns_;
    int queued_ = 0;
    QSet<SessionId> underWay_, cancelled_;
    WindowedCounts newAccounts_{NewAccountWindowMs};
    QElapsedTimer clock_;
    qint64 prunedMs_ = 0;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> threads_;
};

}  // namespace lobby
