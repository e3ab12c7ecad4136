#include "PasswordHasher.h"

#include <sodium.h>

#include <algorithm>

namespace lobby {

namespace {

// Argon2id at two passes over 19 MiB: the common floor for password storage,
// tens of milliseconds here. Memory per login stays bounded by the pool size.
constexpr unsigned long long StandardOperations = 2;
constexpr size_t StandardMemoryBytes = 19 * 1024 * 1024;
// Enough workers to keep logins quick without taking every core from the
// network thread.
constexpr int MaxWorkers = 4;

}  // namespace

HashCost HashCost::standard()
{
    return {StandardOperations, StandardMemoryBytes};
}

HashCost HashCost::cheap()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

bool PasswordHasher::initialise()
{
    return sodium_init() >= 0;
}

int PasswordHasher::defaultThreads()
{
    return std::clamp(QThread::idealThreadCount() / 2, 1, MaxWorkers);
}

PasswordHasher::PasswordHasher(const QString& databasePath, HashCost cost, int threads)
    : databasePath_(databasePath), cost_(cost)
{
    for (int i = 0; i < std::max(1, threads); ++i) {
        threads_.emplace_back(QThread::create([this] { work(); }));
        threads_.back()->start();
    }
}

PasswordHasher::~PasswordHasher()
{
    // Jobs still queued are dropped; one under way finishes its commit, and
    // its answer, posted to this object, goes with it.
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    for (auto& thread : threads_)
        thread->wait();
}

void PasswordHasher::login(const QByteArray& name, const QByteArray& password, LoginDone done)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({name, password, std::move(done)});
    }
    wake_.notify_one();
}

void PasswordHasher::work()
{
    AccountStore store(databasePath_);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const LoginResult result = check(store, job);
        QMetaObject::invokeMethod(this, [done = std::move(job.done), result] { done(result); }, Qt::QueuedConnection);
    }
}

LoginResult PasswordHasher::check(AccountStore& store, const Job& job) const
{
    LoginResult result;
    if (!store.isOpen())
        return result;
    if (auto account = store.find(job.name)) {
        result.account = *account;
        const bool match = crypto_pwhash_str_verify(account->hash.constData(), job.password.constData(),
                                                    job.password.size()) == 0;
        result.outcome = match ? LoginResult::Outcome::Accepted : LoginResult::Outcome::WrongPassword;
        return result;
    }
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, job.password.constData(), job.password.size(), cost_.operations,
                          cost_.memoryBytes) != 0)
        return result;
    result.account.hash = QByteArray(hash);
    std::lock_guard lock(writing_);
    result.outcome = store.create(job.name, result.account.hash) ? LoginResult::Outcome::Created
                                                                 : LoginResult::Outcome::Failed;
    return result;
}

}  // namespace lobby
