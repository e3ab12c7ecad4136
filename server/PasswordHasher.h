#pragma once
// Logins are checked by a small pool of worker threads, so a burst of
// Argon2id hashes never stalls chat or relayed game lines on the network
// thread. Each worker has its own database connection; a new account is
// committed before its answer comes back.

#include "AccountStore.h"

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lobby {

struct LoginResult
{
    enum class Outcome { Accepted, Created, WrongPassword, Failed };
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
    virtual void login(const QByteArray& name, const QByteArray& password, LoginDone done) = 0;
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
    PasswordHasher(const QString& databasePath, HashCost cost, int threads = defaultThreads());
    ~PasswordHasher() override;

    void login(const QByteArray& name, const QByteArray& password, LoginDone done) override;

    static int defaultThreads();
    static bool initialise();  // libsodium; false when it cannot start

private:
    struct Job
    {
        QByteArray name;
        QByteArray password;
        LoginDone done;
    };

    void work();
    LoginResult check(AccountStore& store, const Job& job) const;

    QString databasePath_;
    HashCost cost_;
    std::mutex mutex_;
    std::condition_variable wake_;
    // New accounts are written one at a time: SQLite's own wait for a busy
    // database sleeps far longer than a write takes.
    mutable std::mutex writing_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> threads_;
};

}  // namespace lobby
