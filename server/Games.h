#pragma once
// The games of the lobby: rooms that players create and join, the relay of
// game-data lines among a game's members, and what the others are told when
// a member leaves, is booted or loses the connection.

#include "Sessions.h"

#include <QHash>
#include <QMap>
#include <QSet>

namespace lobby {

class AccountStore;
class ThrottledLog;
struct PartRule;  // who may send a part (GameParts.cpp)

class Games
{
public:
    enum class Leaving {
        Left,           // LEAVEGAME, or joining or creating another game
        GameOver,       // REMOVEGAME: the room closed, or the battle ended
        LostConnection  // the connection closed
    };

    Games(Sessions& sessions, AccountStore& store, ThrottledLog& log)
        : sessions_(sessions), store_(store), log_(log)
    {
    }

    void create(Session& host, QByteArrayView name, const QByteArray& password);
    void join(Session& user, QByteArrayView name, QByteArrayView password);
    void start(Session& host);
    // A whole GDATA line from a member: relayed to the others in its game.
    void relay(Session& sender, const QByteArray& line);
    void leave(Session& user, Leaving how);
    // ADDGAME for every open game, for a user who just logged in.
    QByteArray openGames() const;

private:
    // A battle with fewer seats is nobody's game: it changes no record.
    static constexpr int MinRecordedSeats = 2;

    struct Game
    {
        int number = 0;
        QByteArray name;
        QByteArray password;
        SessionId host = 0;        // its creator, for the room's whole life
        QList<SessionId> members;  // the room's list order, host first
        bool started = false;
        QMap<int, QByteArray> numbered;  // player number -> name, from the host's NUM parts
        QSet<SessionId> ready;           // members whose last mark was READY
        int playerCount = 0;             // from the host's MAX part
        // Player numbers in the battle, fixed at the start: the host and the
        // numbered members in the room then. Kept when they leave.
        QHash<SessionId, int> seats;
        QSet<int> out;                   // players who left or lost the battle, and empty numbers
        QSet<int> recorded;              // players whose game is recorded: the battle is over for them
        int turn = 0;                    // the player on turn, once started
        // The player whose ENDTURN moved the turn, who sends its unit states
        // until the player now on turn acts or it leaves, however many who
        // left the turn passed over; 0 for none. The battle opens with the
        // last player's turn change, which has no ENDTURN.
        int syncing = 0;
    };

    Game* gameOf(const Session& user);
    QByteArray uniqueName(QByteArrayView wanted, const QByteArray& hostName) const;
    void sendToMembers(const Game& game, const QByteArray& bytes, SessionId except = 0);
    void boot(Game& game, QByteArrayView name);
    // Closes a member's room with the reason in words, shown in the lobby it
    // returns to; it is no longer a member.
    void sendAway(Game& game, Session& member, const QByteArray& why);
    // The member at `position` leaves a room before its battle; the others drop its entry.
    void leaveRoom(Game& game, qsizetype position);
    void closeRoom(Game& game);
    void remove(Game& game);
    // Seat 0: a member who had no number in the battle, so no EXITGAME.
    void announceDeparture(Game& game, const QByteArray& name, int seat, QByteArrayView why);
    // The one step that ends a player's battle: after anyone is out, each
    // player out is recorded a loss, and the last one in, once all the
    // others are out, a win; each player once, whatever it does next.
    void recordEnds(Game& game);

    // Who may send which part (GameParts.cpp).
    int seatOf(const Game& game, const Session& member) const;
    // Judges a member's line part by part; when all of it may pass, the game
    // follows it and the answer is empty, else it is why the line is dropped.
    QString take(Game& game, const Session& sender, const QList<QByteArrayView>& parts);
    bool mayPass(const Game& game, const Session& sender, const PartRule& rule, QByteArrayView part) const;
    // Whether every client applies the part: a client stops reading its line at one it cannot.
    static bool readAlike(const Game& game, const Session& sender, const PartRule& rule, QByteArrayView part);
    // What the server follows of a part that passes: seats, turns, who is out.
    void follow(Game& game, const Session& sender, const PartRule& rule, QByteArrayView part);
    void markOut(Game& game, int seat);
    // The member's number from the host's NUM parts, if any, is no longer its.
    static void forgetNumber(Game& game, const QByteArray& name);
    int nextSeat(const Game& game, int after) const;
    // A seat a player holds and that is not out.
    static bool inPlay(const Game& game, int seat);
    static bool lastStanding(const Game& game, int seat);

    Sessions& sessions_;
    AccountStore& store_;
    ThrottledLog& log_;
    QMap<int, Game> games_;
    int nextNumber_ = 1;
};

}  // namespace lobby
