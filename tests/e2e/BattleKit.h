#pragma once
// Battles played end to end: a small map written for the run, and a match that
// plays it through the real keys of each player's game and checks after every
// turn change that all machines hold the same unit and building tables.

#include "E2eKit.h"

#include "data/GameTypes.h"
#include "data/MapBuilder.h"
#include "data/Records.h"

#include <map>
#include <vector>

namespace e2e {

constexpr char MapName[] = "Skirmish.spw";
constexpr int GroundTerrain = 23;

struct Tile {
    int column;
    int row;
    QString text() const { return QStringLiteral("%1,%2").arg(column).arg(row); }
};

// A map of plain ground with units and buildings placed by tile; slots count from 1 in order of placing.
class MapSketch {
public:
    MapSketch(int width, int height, int players) : map_(width, height, GroundTerrain)
    {
        map_.map.Players = static_cast<std::int16_t>(players);
        map_.map.Name = QStringLiteral("Skirmish");
    }
    int unit(int type, int owner, Tile at) { return map_.unit(type, owner, at.column, at.row); }
    int building(int type, int owner, Tile at)
    {
        const int slot = map_.building(type, owner, at.column, at.row);
        if (LookOf(type).kind == BuildingKind::Headquarters)
            map_.headquarters(owner, slot);
        return slot;
    }
    // Joined players load the map by name from their own program folder.
    bool writeTo(const Game& game) const { return mapfile::write(game.folder() + u'/' + QLatin1String(MapName), map_.map); }

private:
    MapBuilder map_;
};

// Our lobby server and a game for each player, met in one room: player 1 hosts.
class Online {
public:
    explicit Online(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            games_.push_back(std::make_unique<Game>(QLatin1String(name)));
    }
    Game& operator[](int player) { return *games_.at(player - 1); }
    quint16 port() const { return server_.port(); }
    // The server goes away, as when it is shut down.
    void stopServer() { server_.stop(); }
    std::vector<Game*> players() const
    {
        std::vector<Game*> all;
        for (const auto& game : games_)
            all.push_back(game.get());
        return all;
    }

    // Everyone logs in; the host creates a game and the others join it, in order.
    bool meet()
    {
        Game& host = *games_.front();
        if (!server_.start())
            return false;
        // The lobby shows before the server has checked the password; the user list comes with its yes.
        for (Game* game : players()) {
            if (!game->enterLobby(server_.port()))
                return false;
        }
        if (!host.openRoom(QStringLiteral("skirmish")) || !host.waitFor(QStringLiteral("get GameNumber"), QStringLiteral("1")))
            return false;
        for (Game* game : guests()) {
            if (!game->waitForContains(QStringLiteral("items lstGames"), QStringLiteral("skirmish"))
                || !game->run(QStringLiteral("type txtJoinName skirmish"))
                || !game->run(QStringLiteral("click cmdJoinGame"))
                || !game->waitFor(QStringLiteral("exists frmJoin"), QStringLiteral("1"))
                || !host.waitForContains(QStringLiteral("items frmHost.lstOps"), game->name()))
                return false;
        }
        return true;
    }

    // After meeting, the guests say they are ready; the host picks the map and the time and starts.
    bool start(const MapSketch& map)
    {
        Game& host = *games_.front();
        if (!meet() || !map.writeTo(host))
            return false;
        for (Game* game : guests()) {
            if (!map.writeTo(*game) || !game->run(QStringLiteral("click frmJoin.chkReady"))
                || !host.waitForContains(QStringLiteral("items frmHost.lstOps"), u'*' + game->name()))
                return false;
        }
        if (!host.run(QStringLiteral("file ") + host.folder() + u'/' + QLatin1String(MapName))
            || !host.run(QStringLiteral("click frmHost.cmdChooseMap"))
            // The seconds box opens once the limit is switched off and on again.
            || !host.run(QStringLiteral("click frmHost.chkTime")) || !host.run(QStringLiteral("click frmHost.chkTime"))
            || !host.run(QStringLiteral("type frmHost.txtTime 300")))
            return false;
        for (Game* game : guests()) {
            if (!game->waitFor(QStringLiteral("text frmJoin.lblTimeSec"), QStringLiteral("300")))
                return false;
        }
        if (!host.run(QStringLiteral("click frmHost.cmdStart")))
            return false;
        for (Game* game : players()) {
            if (!game->waitFor(QStringLiteral("exists frmGame"), QStringLiteral("1")))
                return false;
        }
        return true;
    }

private:
    std::vector<Game*> guests() const
    {
        std::vector<Game*> all = players();
        all.erase(all.begin());
        return all;
    }

    LobbyServer server_;
    std::vector<std::unique_ptr<Game>> games_;
};

// A battle under way: seat p is the game that player p plays on (one game for all in a hot seat).
class Match {
public:
    explicit Match(std::vector<Game*> seats) : seats_(std::move(seats)), playing_(seats_) {}

    Game& seat(int player) { return *seats_.at(player - 1); }
    bool network() const { return seats_.front() != seats_.back(); }
    // The player's game has left the battle: it takes no part in the checks from now on.
    void leaves(int player) { std::erase(playing_, &seat(player)); }

    // Waits until the player's keys act on a free cursor.
    bool ready(int player) { return seat(player).waitFor(QStringLiteral("get Mode"), QStringLiteral("free")); }

    bool cursorTo(int player, Tile to)
    {
        Game& game = seat(player);
        const auto at = game.ask(QStringLiteral("get Cursor"));
        if (!at)
            return false;
        const int dx = to.column - at->section(u',', 0, 0).toInt();
        const int dy = to.row - at->section(u',', 1, 1).toInt();
        for (int i = 0; i < std::abs(dx); ++i)
            game.run(dx > 0 ? QStringLiteral("key frmGame Right") : QStringLiteral("key frmGame Left"));
        for (int i = 0; i < std::abs(dy); ++i)
            game.run(dy > 0 ? QStringLiteral("key frmGame Down") : QStringLiteral("key frmGame Up"));
        return game.waitFor(QStringLiteral("get Cursor"), to.text());
    }

    // Selects the unit, walks it along `path` (letters L, R, U, D, one tile each)
    // and opens its command menu.
    bool move(int player, int unit, const QString& path)
    {
        Game& game = seat(player);
        const auto at = game.ask(QStringLiteral("get Unit %1").arg(unit));
        if (!at || !ready(player) || !cursorTo(player, tileOf(*at)))
            return false;
        game.run(QStringLiteral("key frmGame Return"));
        if (!game.waitFor(QStringLiteral("get Mode"), QStringLiteral("unit")))
            return false;
        Tile tile = tileOf(*at);
        for (const QChar step : path) {
            static const std::map<QChar, std::pair<QString, Tile>> arrows{
                {u'L', {QStringLiteral("Left"), {-1, 0}}}, {u'R', {QStringLiteral("Right"), {1, 0}}},
                {u'U', {QStringLiteral("Up"), {0, -1}}},   {u'D', {QStringLiteral("Down"), {0, 1}}}};
            const auto& [key, delta] = arrows.at(step);
            // Held until the step is done, as a person holds the arrow.
            game.run(QStringLiteral("press frmGame ") + key);
            const bool stepped = game.waitFor(QStringLiteral("get Mode"), QStringLiteral("unit"));
            game.run(QStringLiteral("release frmGame ") + key);
            tile = {tile.column + delta.column, tile.row + delta.row};
            if (!stepped || !game.waitFor(QStringLiteral("get Unit %1").arg(unit), tile.text()))
                return false;
        }
        game.run(QStringLiteral("key frmGame Return"));
        return game.waitFor(QStringLiteral("get Mode"), QStringLiteral("menu"));
    }

    // Picks the entry of the open menu that begins with `caption` ("Infantry" for "Infantry - $100").
    bool choose(int player, const QString& caption)
    {
        Game& game = seat(player);
        // A menu is built by the next frame after it opens.
        if (!game.waitForContains(QStringLiteral("get Menu"), caption))
            return false;
        const QStringList entries = game.ask(QStringLiteral("get Menu")).value_or(QString()).split(u'\t');
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
            return e == caption || e.startsWith(caption + QStringLiteral(" - "));
        });
        const int index = int(entry - entries.begin());
        const int highlight = game.ask(QStringLiteral("get MenuHighlight")).value_or(QString()).toInt();
        for (int i = 0; i < (index - highlight + entries.size()) % entries.size(); ++i)
            game.run(QStringLiteral("key frmGame Down"));
        return entry != entries.end() && game.run(QStringLiteral("key frmGame Return"));
    }

    // A unit's command: the action is over when the cursor is free again.
    bool order(int player, int unit, const QString& path, const QString& caption)
    {
        return move(player, unit, path) && choose(player, caption) && ready(player);
    }

    // Buys a unit at the production building on `tile`.
    bool buy(int player, Tile tile, const QString& caption)
    {
        Game& game = seat(player);
        return ready(player) && cursorTo(player, tile) && game.run(QStringLiteral("key frmGame Return"))
            && choose(player, caption) && ready(player);
    }

    // Attacks the nearest enemy in the arrow's direction, stopping the damage bar as soon as it runs.
    bool attack(int player, int unit, const QString& path, const QString& arrow)
    {
        return strike(player, unit, path, arrow) && ready(player);
    }
    // The attack alone: one that ends the battle on the player's machine leaves no free cursor.
    bool strike(int player, int unit, const QString& path, const QString& arrow)
    {
        Game& game = seat(player);
        return move(player, unit, path) && choose(player, QStringLiteral("Attack"))
            && game.waitFor(QStringLiteral("get Mode"), QStringLiteral("target"))
            && game.run(QStringLiteral("key frmGame ") + arrow) && game.run(QStringLiteral("key frmGame Return"))
            && game.waitFor(QStringLiteral("get Mode"), QStringLiteral("bar"))
            && game.run(QStringLiteral("key frmGame Return"));
    }

    // One line in the battle's chat box.
    bool say(int player, const QString& text)
    {
        Game& game = seat(player);
        return game.run(QStringLiteral("key frmGame T")) && game.run(QStringLiteral("type txtMsg ") + text)
            && game.run(QStringLiteral("key txtMsg Return"));
    }

    // Ends the player's turn. In a network game the player then says a line,
    // which reaches each other machine after the turn's unit states: once all
    // have shown it, their tables must be the same.
    bool endTurn(int player, int next)
    {
        Game& game = seat(player);
        if (!ready(player) || !game.waitFor(QStringLiteral("get Cooldown"), QStringLiteral("0"))
            || !game.run(QStringLiteral("key frmGame E")))
            return false;
        for (Game* other : playing_) {
            if (!other->waitFor(QStringLiteral("get CurrentPlayer"), QString::number(next)))
                return false;
        }
        if (!network())
            return true;
        const QString mark = QStringLiteral("turn %1 over").arg(++turns_);
        if (!say(player, mark))
            return false;
        for (Game* other : playing_) {
            if (other != &game && !other->waitForContains(QStringLiteral("get Messages"), mark))
                return false;
        }
        return sameTables();
    }

    // Every machine's saved battle, key by key, must match the first machine's.
    // Within a turn only the mover knows which units have acted or are selected.
    bool sameTables(bool withinTurn = false)
    {
        static const QRegularExpression moverOnly(QStringLiteral("^(UNIT/(E|SEL)\\d+|GEN/CURUNITSELECTED)$"));
        std::vector<std::map<QString, QString>> tables;
        for (Game* game : playing_)
            tables.push_back(savedTables(*game));
        bool same = true;
        for (std::size_t i = 1; i < tables.size(); ++i) {
            for (const auto& [key, value] : tables[0]) {
                const auto other = tables[i].find(key);
                const QString theirs = other == tables[i].end() ? QStringLiteral("(none)") : other->second;
                if (theirs != value && !(withinTurn && moverOnly.match(key).hasMatch())) {
                    qWarning().noquote() << "after turn" << turns_ << key << playing_[0]->name() << value
                                         << playing_[i]->name() << theirs;
                    same = false;
                }
            }
        }
        return same;
    }

private:
    static Tile tileOf(const QString& text)
    {
        return {text.section(u',', 0, 0).toInt(), text.section(u',', 1, 1).toInt()};
    }

    // "SECTION/KEY" -> value, from the battle's saved-game file.
    std::map<QString, QString> savedTables(Game& game)
    {
        // A fresh file each time: a save keeps the keys of units that are gone since.
        const QString path = game.folder() + QStringLiteral("/tables-%1.save").arg(++saves_);
        std::map<QString, QString> table;
        if (!game.run(QStringLiteral("save ") + path))
            return table;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QString section;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromLatin1(raw).trimmed();
            if (line.startsWith(u'['))
                section = line.mid(1, line.size() - 2);
            else if (line.contains(u'='))
                table[section + u'/' + line.section(u'=', 0, 0)] = line.section(u'=', 1);
        }
        return table;
    }

    std::vector<Game*> seats_;
    std::vector<Game*> playing_;
    int turns_ = 0;
    int saves_ = 0;
};

}  // namespace e2e
