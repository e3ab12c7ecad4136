// The lobby server's line handling: bytes from up to eight clients go
// through the real framing into the real lobby logic (accounts in memory,
// logins answered between inputs). Whatever arrives, every line the server
// writes must be one whole printable line.

#include "AccountStore.h"
#include "Lobby.h"
#include "Log.h"
#include "PasswordHasher.h"
#include "platform/LineFramer.h"

#include <QCoreApplication>
#include <QHash>
#include <cstdlib>
#include <deque>
#include <functional>

using namespace lobby;

namespace {

constexpr int Clients = 8;

class CheckingOutbox : public Outbox
{
public:
    QList<SessionId> closing;

    void send(SessionId, const QByteArray& bytes) override
    {
        if (!bytes.endsWith("\r\n"))
            std::abort();
        for (qsizetype start = 0, end; start < bytes.size(); start = end + 2) {
            end = bytes.indexOf("\r\n", start);
            if (!isPrintable(QByteArrayView(bytes).sliced(start, end - start)))
                std::abort();
        }
    }
    void disconnect(SessionId id) override { closing.append(id); }
};

// Answers logins after the current input, as the worker pool would.
class QueuedLogins : public LoginService
{
public:
    std::deque<std::function<void()>> answers;
    QHash<QByteArray, QByteArray> passwords;

    void login(LoginRequest request, LoginDone done) override
    {
        answers.push_back([this, name = request.name, password = request.password, done] {
            LoginResult result;
            result.account.moderator = name.startsWith("mod");
            result.account.bannedUntil = name.startsWith("ban") ? 1LL << 40 : 0;
            if (!passwords.contains(name)) {
                passwords.insert(name, password);
                result.outcome = LoginResult::Outcome::Created;
            } else {
                result.outcome = passwords.value(name) == password ? LoginResult::Outcome::Accepted
                                                                    : LoginResult::Outcome::WrongPassword;
            }
            done(result);
        });
    }
    void cancel(SessionId) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_lobby_server";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    setLogging(false);

    CheckingOutbox out;
    QueuedLogins logins;
    AccountStore store(QStringLiteral(":memory:"));
    store.loadRanks();
    Lobby lobby(out, logins, store);
    SessionId ids[Clients];
    platform::LineFramer framers[Clients];
    SessionId next = 1;
    for (int i = 0; i < Clients; ++i) {
        ids[i] = next++;
        lobby.connected(ids[i], "10.0.0." + QByteArray::number(i % 3));
    }
    auto reconnect = [&](int i) {
        lobby.disconnected(ids[i], QStringLiteral("gone"));
        framers[i].clear();
        ids[i] = next++;
        lobby.connected(ids[i], "10.0.0." + QByteArray::number(i % 3));
    };

    // Records: one byte (client in the low three bits, what happens in the
    // rest), then for data a length byte and that many bytes.
    size_t at = 0;
    while (at < size) {
        const int client = data[at] & 7;
        const int op = data[at] >> 3;
        ++at;
        if (op < 24) {
            const size_t length = at < size ? std::min<size_t>(data[at], size - at - 1) : 0;
            ++at;
            if (!framers[client].append(QByteArrayView(data + at, qsizetype(length))))
                reconnect(client);
            while (auto line = framers[client].takeLine())
                lobby.received(ids[client], *line);
            if (framers[client].overflowed())
                reconnect(client);
            at += length;
        } else if (op < 28) {
            reconnect(client);
        } else if (op < 30) {
            lobby.flooded(ids[client]);
        } else {
            lobby.sendUserList();
        }
        while (!logins.answers.empty()) {
            auto answer = std::move(logins.answers.front());
            logins.answers.pop_front();
            answer();
        }
        // The server closes what the lobby asked it to close.
        for (SessionId id : std::exchange(out.closing, {}))
            for (int i = 0; i < Clients; ++i)
                if (ids[i] == id)
                    reconnect(i);
    }
    return 0;
}
