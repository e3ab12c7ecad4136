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
// Addresses whose hour has ended are forgotten this often.
constexpr qint64 NewAccountPruneMs = 60 * 1000;

// The answer to a login of an account that exists.
LoginResult verified(const Account& account, const QByteArray& password)
{
    LoginResult result;
    result.account = account;
    const bool match = crypto_pwhash_str_verify(account.hash.constData(), password.constData(), password.size()) == 0;
    result.outcome = match ? LoginResult::Outcome::Accepted : LoginResult::Outcome::WrongPassword;
    return result;
}

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

PasswordHasher::PasswordHasher(const QString& databasePath, HashCost cost, int threads, LoginLimits limits,
                               LookedUp lookedUp)
    : databasePath_(databasePath), cost_(cost), limits_(limits), lookedUp_(std::move(lookedUp))
{
    clock_.start();
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
        queues_.clear();
        turns_.clear();
    }
    wake_.notify_all();
    for (auto& thread : threads_)
        thread->wait();
}

void PasswordHasher::login(LoginRequest request, LoginDone done)
{
    {
        std::lock_guard lock(mutex_);
        LoginResult busy;
        busy.outcome = LoginResult::Outcome::Busy;
        if (queued_ >= limits_.maxQueued) {
            // Full: the address holding the most gives up its newest job to
            // one holding fewer, so no address crowds the others out.
            const auto mine = queues_.constFind(request.address);
            const qsizetype own = mine == queues_.constEnd() ? 0 : qsizetype(mine->size());
            const auto largest = std::max_element(queues_.begin(), queues_.end(),
                                                  [](const auto& a, const auto& b) { return a.size() < b.size(); });
            if (largest == queues_.end() || qsizetype(largest->size()) <= own + 1)
                return answer(std::move(done), busy);
            answer(std::move(largest->back().done), busy);
            largest->pop_back();
            --queued_;
        }
        auto& queue = queues_[request.address];
        if (queue.empty())
            turns_.push_back(request.address);
        queue.push_back({std::move(request), std::move(done)});
        ++queued_;
    }
    wake_.notify_one();
}

void PasswordHasher::cancel(SessionId key)
{
    std::lock_guard lock(mutex_);
    if (underWay_.contains(key)) {
        cancelled_.insert(key);
        return;
    }
    for (auto it = queues_.begin(); it != queues_.end(); ++it) {
        auto& queue = it.value();
        const auto job = std::find_if(queue.begin(), queue.end(), [key](const Job& j) { return j.request.key == key; });
        if (job == queue.end())
            continue;
        queue.erase(job);
        --queued_;
        if (queue.empty()) {
            turns_.erase(std::find(turns_.begin(), turns_.end(), it.key()));
            queues_.erase(it);
        }
        return;
    }
}

std::optional<PasswordHasher::Job> PasswordHasher::nextJob()
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !turns_.empty(); });
    if (stopping_)
        return std::nullopt;
    // Round-robin: one job from the address whose turn it is, which then
    // goes to the back if it has more.
    const QByteArray address = turns_.front();
    turns_.pop_front();
    auto queue = queues_.find(address);
    Job job = std::move(queue->front());
    queue->pop_front();
    if (queue->empty())
        queues_.erase(queue);
    else
        turns_.push_back(address);
    --queued_;
    underWay_.insert(job.request.key);
    return job;
}

void PasswordHasher::work()
{
    AccountStore store(databasePath_);
    while (std::optional<Job> job = nextJob()) {
        const std::optional<LoginResult> result = check(store, *job);
        bool cancelled = false;
        {
            std::lock_guard lock(mutex_);
            underWay_.remove(job->request.key);
            cancelled = cancelled_.remove(job->request.key);
        }
        if (result && !cancelled)
            answer(std::move(job->done), *result);
    }
}

void PasswordHasher::answer(LoginDone done, const LoginResult& result)
{
    QMetaObject::invokeMethod(this, [done = std::move(done), result] { done(result); }, Qt::QueuedConnection);
}

bool PasswordHasher::reserveNewAccount(const QByteArray& address)
{
    std::lock_guard lock(mutex_);
    const qint64 now = clock_.elapsed();
    if (now - prunedMs_ >= NewAccountPruneMs) {
        newAccounts_.prune(now);
        prunedMs_ = now;
    }
    if (newAccounts_.count(address, now) >= limits_.newAccountsPerHour)
        return false;
    newAccounts_.add(address, now);
    return true;
}

std::optional<LoginResult> PasswordHasher::check(AccountStore& store, const Job& job)
{
    const LoginRequest& request = job.request;
    LoginResult result;
    if (!store.isOpen())
        return result;
    const std::optional<Account> account = store.find(request.name);
    if (lookedUp_)
        lookedUp_(request);
    if (account)
        return verified(*account, request.password);
    if (!reserveNewAccount(request.address)) {
        result.outcome = LoginResult::Outcome::TooManyAccounts;
        return result;
    }
    auto giveBack = [&] {
        std::lock_guard lock(mutex_);
        newAccounts_.undo(request.address);
    };
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, request.password.constData(), request.password.size(), cost_.operations,
                          cost_.memoryBytes) != 0) {
        giveBack();
        return result;
    }
    std::unique_lock lock(writing_);
    {
        // The client left while its hash was made: no account for nobody.
        std::lock_guard state(mutex_);
        if (cancelled_.contains(request.key)) {
            newAccounts_.undo(request.address);
            return std::nullopt;
        }
    }
    result.account.hash = QByteArray(hash);
    if (store.create(request.name, result.account.hash)) {
        result.outcome = LoginResult::Outcome::Created;
        return result;
    }
    lock.unlock();
    giveBack();
    // Another login made the account while this one hashed: the answer is
    // the one any later login of the name gets.
    if (auto made = store.find(request.name))
        return verified(*made, request.password);
    return result;
}

}  // namespace lobby
