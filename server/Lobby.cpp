#include "Lobby.h"

#include "AccountStore.h"
#include "Log.h"
#include "PasswordHasher.h"

#include <QDateTime>

namespace lobby {

namespace {

const QByteArray FloodNotice("You are sending lines too fast; some were dropped.");
// Why a login was refused, for the cases a wrong password does not explain.
const QByteArray AlreadyOnlineNotice("That name is logged in already.");
const QByteArray ThrottledNotice("Too many failed logins from your address. Please wait a few minutes.");
const QByteArray StoreFailedNotice("The server cannot reach its accounts just now. Please try again later.");
const QByteArray BusyNotice("The server is busy. Please try again in a moment.");
const QByteArray TooManyAccountsNotice("Too many new accounts were made from your address. Please try again later.");
const QByteArray NameRulesNotice("A user name has 1 to 12 characters, each a letter a to z, a digit 0 to 9, _ or -.");

}  // namespace

// Tested in this order on the start of each line; no keyword begins another.
const Lobby::Command Lobby::Commands[] = {
    {kw::Name, &Lobby::onName, true},
    {kw::Version, &Lobby::onVersion, true},
    {kw::Pass, &Lobby::onPass, true},
    {kw::ChatText, &Lobby::onChat, false},
    {kw::MeText, &Lobby::onMe, false},
    {kw::AdminText, &Lobby::onAdminChat, false},
    {kw::ModText, &Lobby::onModChat, false},
    {kw::MsgName, &Lobby::onMsgName, false},
    {kw::MsgText, &Lobby::onMsgText, false},
    {kw::GetTime, &Lobby::onTime, false},
    {kw::Away, &Lobby::onAway, false},
    {kw::GetStats, &Lobby::onStats, false},
    {kw::SetupGame, &Lobby::onSetupGame, false},
    {kw::GameName, &Lobby::onGameName, false},
    {kw::GamePass, &Lobby::onGamePass, false},
    {kw::GameHost, &Lobby::onGameHost, false},
    {kw::JoinName, &Lobby::onJoinName, false},
    {kw::JoinPass, &Lobby::onJoinPass, false},
    {kw::StartGame, &Lobby::onStartGame, false},
    {kw::RemoveGame, &Lobby::onRemoveGame, false},
    {kw::LeaveGame, &Lobby::onLeaveGame, false},
    {kw::Kick, &Lobby::onKick, false},
    {kw::TempBan, &Lobby::onTempBan, false},
    {kw::IpBan, &Lobby::onIpBan, false},
    {kw::CompBan, &Lobby::onCompBan, false},
};

Lobby::Lobby(Outbox& out, LoginService& logins, AccountStore& store, QObject* parent)
    : QObject(parent),
      sessions_(out),
      users_(sessions_),
      games_(sessions_, store, log_),
      logins_(logins),
      store_(store),
      bannedAddresses_(store.bannedAddresses())
{
    clock_.start();
}

void Lobby::connected(SessionId id, const QByteArray& address)
{
    sessions_.add(id, address, clock_.elapsed());
}

void Lobby::received(SessionId id, const QByteArray& line)
{
    Session* session = sessions_.find(id);
    if (!session || session->closing || !isPrintable(line))
        return;
    const bool loggedIn = session->state == Session::State::LoggedIn;
    // Game data first: nearly every line is one.
    if (line.startsWith(kw::GameData)) {
        if (loggedIn)
            games_.relay(*session, line);
        return;
    }
    for (const Command& command : Commands) {
        if (!line.startsWith(command.keyword))
            continue;
        const bool allowed = command.beforeLogin ? session->state == Session::State::Connected : loggedIn;
        if (allowed)
            (this->*command.handle)(*session, QByteArrayView(line).sliced(command.keyword.size()));
        return;
    }
}

void Lobby::flooded(SessionId id)
{
    if (Session* session = sessions_.find(id))
        tell(*session, FloodNotice);
}

void Lobby::disconnected(SessionId id, const QString& why)
{
    Session* session = sessions_.find(id);
    if (!session)
        return;
    games_.leave(*session, Games::Leaving::LostConnection);
    const bool wasOnline = session->state == Session::State::LoggedIn;
    if (session->state == Session::State::Checking)
        logins_.cancel(id);
    const QByteArray name = session->name;
    if (wasOnline)
        logLine(QStringLiteral("disconnected %1 %2 (%3)").arg(toText(session->address), toText(name), why));
    else if (log_.admit(LogKind::ClosedBeforeLogin, session->address))
        logLine(QStringLiteral("connection %1 from %2 closed before login (%3)").arg(id).arg(toText(session->address), why));
    sessions_.remove(id);
    if (wasOnline)
        users_.departed(id, name);
}

void Lobby::sweep()
{
    const qint64 now = clock_.elapsed();
    for (const Session& session : sessions_.all())
        if (session.state != Session::State::LoggedIn && !session.closing
            && now - session.connectedMs > LoginTimeoutMs) {
            if (log_.admit(LogKind::ClosedBeforeLogin, session.address))
                logLine(QStringLiteral("login timed out for %1").arg(toText(session.address)));
            sessions_.close(*sessions_.find(session.id));
        }
    throttle_.prune(now);
    log_.flush();
}

SessionId Lobby::longestWaitingLogin(qint64 minWaitMs) const
{
    const Session* longest = nullptr;
    for (const Session& session : sessions_.all())
        if (session.state != Session::State::LoggedIn && !session.closing
            && (!longest || session.connectedMs < longest->connectedMs))
            longest = &session;
    return longest && clock_.elapsed() - longest->connectedMs >= minWaitMs ? longest->id : 0;
}

// Login ---------------------------------------------------------------------

void Lobby::onName(Session& s, QByteArrayView payload)
{
    s.loginName = payload.toByteArray();
}

void Lobby::onVersion(Session& s, QByteArrayView payload)
{
    s.loginVersion = payload.toByteArray();
}

void Lobby::refuse(Session& s, QByteArrayView keyword, QByteArrayView name, const QString& why,
                   QByteArrayView notice)
{
    if (log_.admit(LogKind::RefusedLogins, s.address, name))
        logLine(QStringLiteral("login refused for %1 from %2: %3").arg(loggedText(name), toText(s.address), why));
    sessions_.send(s.id, (notice.isEmpty() ? QByteArray() : line(kw::Announce, notice)) + line(keyword));
}

void Lobby::onPass(Session& s, QByteArrayView payload)
{
    // A refused client may try again on the same connection with all three lines.
    const QByteArray name = s.loginName.value_or(QByteArray());
    const QByteArray version = s.loginVersion.value_or(QByteArray());
    s.loginName.reset();
    s.loginVersion.reset();
    if (version != GameVersion)
        return refuse(s, kw::BadVersion, name, QStringLiteral("version \"%1\"").arg(loggedText(version)));
    if (!isValidUserName(name))
        return refuse(s, kw::BadPass, name, QStringLiteral("not a user name"), NameRulesNotice);
    if (payload.size() > MaxPasswordBytes)
        return refuse(s, kw::BadPass, name, QStringLiteral("password too long"));
    if (sessions_.findByName(name))
        return refuse(s, kw::BadPass, name, QStringLiteral("already online"), AlreadyOnlineNotice);
    if (throttle_.blocked(name, s.address, clock_.elapsed()))
        return refuse(s, kw::BadPass, name, QStringLiteral("too many failed logins"), ThrottledNotice);
    sessions_.check(s, name);
    const SessionId id = s.id;
    logins_.login({id, s.address, name, payload.toByteArray()},
                  [this, id](const LoginResult& result) { finishLogin(id, result); });
}

void Lobby::finishLogin(SessionId id, const LoginResult& result)
{
    Session* s = sessions_.find(id);
    if (!s || s->state != Session::State::Checking || s->closing)
        return;  // closing meanwhile; a new account stays made
    using Outcome = LoginResult::Outcome;
    // The session goes back to not logged in; the refusal names the name it tried.
    const auto refuseChecked = [this, s](const QString& why, QByteArrayView notice) {
        const QByteArray name = s->name;
        sessions_.release(*s);
        refuse(*s, kw::BadPass, name, why, notice);
    };
    struct Refusal
    {
        Outcome outcome;
        const char* why;
        QByteArrayView notice;
    };
    static const Refusal Refusals[] = {
        {Outcome::WrongPassword, "wrong password", {}},
        {Outcome::Failed, "account store failed", StoreFailedNotice},
        {Outcome::Busy, "too many logins waiting", BusyNotice},
        {Outcome::TooManyAccounts, "too many new accounts from the address", TooManyAccountsNotice},
    };
    for (const Refusal& refusal : Refusals) {
        if (refusal.outcome != result.outcome)
            continue;
        if (result.outcome == Outcome::WrongPassword)
            throttle_.failed(s->name, s->address, clock_.elapsed());
        return refuseChecked(QString::fromLatin1(refusal.why), refusal.notice);
    }
    const Account& account = result.account;
    if (account.banned || account.bannedUntil > QDateTime::currentSecsSinceEpoch()) {
        if (log_.admit(LogKind::RefusedLogins, s->address, s->name))
            logLine(QStringLiteral("banned user %1 refused from %2").arg(toText(s->name), toText(s->address)));
        sessions_.send(id, line(account.banned ? kw::IpBan : kw::TempBan));
        return sessions_.close(*s);
    }
    // Another login of the name finished first.
    if (!sessions_.logIn(*s))
        return refuseChecked(QStringLiteral("already online"), AlreadyOnlineNotice);
    s->moderator = account.moderator;
    sessions_.send(id, line(kw::GoodPass) + games_.openGames() + sessions_.userList());
    logLine(QStringLiteral("login %1 from %2%3%4")
                .arg(toText(s->name), toText(s->address),
                     result.outcome == Outcome::Created ? QStringLiteral(" (new account)") : QString(),
                     s->moderator ? QStringLiteral(" (moderator)") : QString()));
    users_.arrived(*s);
}

// Lists ---------------------------------------------------------------------

Session* Lobby::online(QByteArrayView name)
{
    Session* s = sessions_.findByName(name);
    return s && s->state == Session::State::LoggedIn && !s->closing ? s : nullptr;
}

void Lobby::tell(const Session& s, const QByteArray& text)
{
    sessions_.send(s.id, noteLine(text));
}

// Games ---------------------------------------------------------------------

void Lobby::onSetupGame(Session& s, QByteArrayView)
{
    s.settingUp = true;
    s.newGameName.clear();
    s.newGamePass.clear();
}

void Lobby::onGameName(Session& s, QByteArrayView payload)
{
    if (s.settingUp)
        s.newGameName = payload.toByteArray();
}

void Lobby::onGamePass(Session& s, QByteArrayView payload)
{
    if (s.settingUp)
        s.newGamePass = payload.toByteArray();
}

void Lobby::onGameHost(Session& s, QByteArrayView payload)
{
    // The last line of the four; the host named must be the sender.
    if (s.settingUp && payload == s.name)
        games_.create(s, s.newGameName, s.newGamePass);
    s.settingUp = false;
}

void Lobby::onJoinName(Session& s, QByteArrayView payload)
{
    s.joinName = payload.toByteArray();
}

void Lobby::onJoinPass(Session& s, QByteArrayView payload)
{
    if (s.joinName)
        games_.join(s, *s.joinName, payload);
    s.joinName.reset();
}

void Lobby::onStartGame(Session& s, QByteArrayView payload)
{
    if (isDigits(payload))
        games_.start(s);
}

void Lobby::onRemoveGame(Session& s, QByteArrayView)
{
    games_.leave(s, Games::Leaving::GameOver);
}

void Lobby::onLeaveGame(Session& s, QByteArrayView)
{
    games_.leave(s, Games::Leaving::Left);
}

}  // namespace lobby
