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

// A plain password is cleared once it is no longer needed.
void wipe(QByteArray& password)
{
    if (!password.isEmpty())
        sodium_memzero(password.data(), size_t(password.size()));
}

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
    static_assert(sizeof(digestKey_) == crypto_generichash_KEYBYTES && sizeof(Digest) == crypto_generichash_BYTES);
    randombytes_buf(digestKey_, sizeof(digestKey_));
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
        for (auto& [id, job] : jobs_)
            wipe(job.request.password);
        jobs_.clear();
        byAddress_.clear();
        byAccount_.clear();
    }
    wake_.notify_all();
    for (auto& thread : threads_)
        thread->wait();
    sodium_memzero(digestKey_, sizeof(digestKey_));
}

PasswordHasher::Job* PasswordHasher::sharedJob(const QByteArray& name, const Digest& digest)
{
    const auto same = [&](JobId id) {
        const Job& job = jobs_.at(id);
        // The digests stand for passwords: compared in constant time.
        return job.request.name == name && sodium_memcmp(job.digest.data(), digest.data(), digest.size()) == 0;
    };
    for (JobId id : underWay_)
        if (same(id))
            return &jobs_.at(id);
    for (JobId id : byAccount_.jobsOf(name))
        if (same(id))
            return &jobs_.at(id);
    return nullptr;
}

void PasswordHasher::login(LoginRequest request, LoginDone done)
{
    Digest digest;
    crypto_generichash(digest.data(), digest.size(), reinterpret_cast<const unsigned char*>(request.password.constData()),
                       size_t(request.password.size()), digestKey_, sizeof(digestKey_));
    {
        std::lock_guard lock(mutex_);
        // The same name and password as a login waiting or under way: its
        // answer is this one's too, and costs no hash of its own. It waits
        // without a place in the queue, as the connection asking holds one
        // login at a time.
        if (Job* same = sharedJob(request.name, digest)) {
            same->askers.push_back({request.key, request.address, std::move(done)});
            wipe(request.password);
            return;
        }
        LoginResult busy;
        busy.outcome = LoginResult::Outcome::Busy;
        if (queued_ >= limits_.maxQueued) {
            // Full: the address holding the most gives up its newest job to
            // one holding fewer, so no address crowds the others out.
            const auto largest = byAddress_.newestOfLargest();
            if (!largest || byAddress_.count(largest->first) <= byAddress_.count(request.address) + 1)
                return answer(std::move(done), busy);
            const auto given = jobs_.find(largest->second);
            for (Asker& asker : given->second.askers)
                answer(std::move(asker.done), busy);
            drop(given);
        }
        const JobId id = nextId_++;
        Job& job = jobs_[id];
        job.digest = digest;
        job.askers.push_back({request.key, request.address, std::move(done)});
        byAddress_.add(request.address, id);
        byAccount_.add(request.name, id);
        job.request = std::move(request);
        ++queued_;
    }
    wake_.notify_one();
}

void PasswordHasher::unqueue(JobId id, const Job& job)
{
    byAddress_.remove(job.request.address, id);
    byAccount_.remove(job.request.name, id);
    --queued_;
}

void PasswordHasher::drop(std::unordered_map<JobId, Job>::iterator job)
{
    unqueue(job->first, job->second);
    wipe(job->second.request.password);
    jobs_.erase(job);
}

void PasswordHasher::cancel(SessionId key)
{
    std::lock_guard lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end(); ++it) {
        Job& job = it->second;
        const auto asker = std::find_if(job.askers.begin(), job.askers.end(), [key](const Asker& a) { return a.key == key; });
        if (asker == job.askers.end())
            continue;
        job.askers.erase(asker);
        // One under way is finished by its worker, which sees nobody asking.
        if (job.askers.empty() && !job.underWay)
            drop(it);
        return;
    }
}

std::optional<std::pair<PasswordHasher::JobId, LoginRequest>> PasswordHasher::nextJob()
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || queued_ > 0; });
    if (stopping_)
        return std::nullopt;
    // Accounts and addresses take turns at serving their oldest job, so one
    // account's logins from many addresses wait for every other account's
    // as well as one address's logins of many names for every other address's.
    accountsTurn_ = !accountsTurn_;
    const JobId id = accountsTurn_ ? byAccount_.next() : byAddress_.next();
    Job& job = jobs_.at(id);
    unqueue(id, job);
    job.underWay = true;
    underWay_.push_back(id);
    LoginRequest request;
    request.key = job.request.key;
    request.address = job.request.address;
    request.name = job.request.name;
    request.password = std::exchange(job.request.password, {});
    return std::pair(id, std::move(request));
}

void PasswordHasher::work()
{
    AccountStore store(databasePath_);
    while (auto taken = nextJob()) {
        auto& [id, request] = *taken;
        const std::optional<LoginResult> result = check(store, id, request);
        wipe(request.password);
        std::vector<Asker> askers;
        {
            std::lock_guard lock(mutex_);
            underWay_.erase(std::find(underWay_.begin(), underWay_.end(), id));
            if (const auto job = jobs_.find(id); job != jobs_.end()) {
                askers = std::move(job->second.askers);
                jobs_.erase(job);
            }
        }
        if (result)
            for (Asker& asker : askers)
                answer(std::move(asker.done), *result);
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

std::optional<LoginResult> PasswordHasher::check(AccountStore& store, JobId id, const LoginRequest& request)
{
    LoginResult result;
    if (!store.isOpen())
        return result;
    const std::optional<Account> account = store.find(request.name);
    if (lookedUp_)
        lookedUp_(request);
    if (account)
        return verified(*account, request.password);
    // A new account counts against the address of the first login still asking.
    QByteArray address;
    {
        std::lock_guard lock(mutex_);
        const auto job = jobs_.find(id);
        if (job == jobs_.end() || job->second.askers.empty())
            return std::nullopt;
        address = job->second.askers.front().address;
    }
    if (!reserveNewAccount(address)) {
        result.outcome = LoginResult::Outcome::TooManyAccounts;
        return result;
    }
    auto giveBack = [&] {
        std::lock_guard lock(mutex_);
        newAccounts_.undo(address);
    };
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, request.password.constData(), request.password.size(), cost_.operations,
                          cost_.memoryBytes) != 0) {
        giveBack();
        return result;
    }
    std::unique_lock lock(writing_);
    {
        // Every client asking left while its hash was made: no account for nobody.
        std::lock_guard state(mutex_);
        const auto job = jobs_.find(id);
        if (job == jobs_.end() || job->second.askers.empty()) {
            newAccounts_.undo(address);
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
