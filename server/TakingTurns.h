#pragma once
// Jobs queued under a key (an address, an account name) and served a key at
// a time: a key with jobs waits for each other key's next one before its
// own, however many it has queued.

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

namespace lobby {

class TakingTurns
{
public:
    using Id = quint64;

    void add(const QByteArray& key, Id id)
    {
        std::deque<Id>& queue = queues_[key];
        if (queue.empty())
            order_.push_back(key);
        queue.push_back(id);
    }

    // A job is taken out with remove(), whoever served it.
    void remove(const QByteArray& key, Id id)
    {
        const auto it = queues_.find(key);
        if (it == queues_.end())
            return;
        it->erase(std::remove(it->begin(), it->end(), id), it->end());
        if (!it->empty())
            return;
        queues_.erase(it);
        order_.erase(std::find(order_.begin(), order_.end(), key));
    }

    // The oldest job of the key whose turn it is; that key goes to the back.
    Id next()
    {
        const QByteArray key = order_.front();
        order_.pop_front();
        order_.push_back(key);
        return queues_.constFind(key)->front();
    }

    // The jobs of a key, oldest first.
    const std::deque<Id>& jobsOf(const QByteArray& key) const
    {
        static const std::deque<Id> none;
        const auto it = queues_.constFind(key);
        return it == queues_.constEnd() ? none : *it;
    }
    qsizetype count(const QByteArray& key) const { return qsizetype(jobsOf(key).size()); }

    // The key with the most jobs, and its newest; none when empty.
    std::optional<std::pair<QByteArray, Id>> newestOfLargest() const
    {
        const auto largest = std::max_element(queues_.constBegin(), queues_.constEnd(),
                                              [](const auto& a, const auto& b) { return a.size() < b.size(); });
        if (largest == queues_.constEnd())
            return std::nullopt;
        return std::pair(largest.key(), largest->back());
    }

    void clear()
    {
        queues_.clear();
        order_.clear();
    }

private:
    QHash<QByteArray, std::deque<Id>> queues_;
    std::deque<QByteArray> order_;
};

}  // namespace lobby
