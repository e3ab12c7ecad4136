#pragma once
// Logins are checked by a small pool of worker threads, so a burst of
// Argon2id hashes never stalls chat or relayed game lines on the network
// thread. Each worker has its own database connection; a new account is
// committed before its answer comes back.
//
// The work is a shared resource a stranger could take: logins that bring
// the name and password of one already waiting share its answer, addresses
// and accounts take turns, a job whose connections all closed is dropped,
// the queue is bounded (when full, the address holding the most jobs gives
// one up), and each address may create only so many accounts an hour.

#include "AccountStore.h"
#include "Protocol.h"
#include "TakingTurns.h"
#include "WindowedCounts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QThread>
#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
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
    // A keyed digest of a password: what logins are told apart by, so a
    // plain password is kept only by the job that checks it.
    using Digest = std::array<unsigned char, 32>;
    struct Asker
    {
        SessionId key;
        QByteArray address;
        LoginDone done;
    };
    // One check of a name and password, and every login waiting for it.
    struct Job
    {
        LoginRequest request;  // the first asker's; its password goes to the worker
        Digest digest{};
        std::vector<Asker> askers;
        bool underWay = false;
    };
    using JobId = TakingTurns::Id;

    void work();
    // The next job's id and request, now under way.
    std::optional<std::pair<JobId, LoginRequest>> nextJob();
    // nullopt: every login asking was cancelled while under way.
    std::optional<LoginResult> check(AccountStore& store, JobId id, const LoginRequest& request);
    Job* sharedJob(const QByteArray& name, const Digest& digest);
    // Takes a queued job out of the turns; it stays in jobs_.
    void unqueue(JobId id, const Job& job);
    // Drops a queued job: nobody asks any more, or the queue was full.
    void drop(std::unordered_map<JobId, Job>::iterator job);
    bool reserveNewAccount(const QByteArray& address);
    void answer(LoginDone done, const LoginResult& result);

    QString databasePath_;
    HashCost cost_;
    LoginLimits limits_;
    LookedUp lookedUp_;
    unsigned char digestKey_[32];  // new each run
    std::mutex mutex_;
    std::condition_variable wake_;
    // New accounts are written one at a time: SQLite's own wait for a busy
    // database sleeps far longer than a write takes.
    std::mutex writing_;
    // Guarded by mutex_: the jobs queued and under way; the queued ones by
    // the address of their first login and by account, which take turns at
    // serving; the accounts each address made.
    std::unordered_map<JobId, Job> jobs_;
    TakingTurns byAddress_, byAccount_;
    std::vector<JobId> underWay_;  // one at most per worker
    bool accountsTurn_ = false;
    int queued_ = 0;
    JobId nextId_ = 1;
    WindowedCounts newAccounts_{NewAccountWindowMs};
    QElapsedTimer clock_;
    qint64 prunedMs_ = 0;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> threads_;
};

}  // namespace lobby
