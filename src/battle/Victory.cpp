// Victory and defeat: a player with no unit left is out.

#include "battle/frmGame.h"

using namespace modStrat;

namespace {

const QString Victory = QStringLiteral("Victory!");
const QString Defeat = QStringLiteral("Defeat!");

}  // namespace

void frmGame::CheckLoss(std::int32_t Player)
{
    // Carried units are alive too.
    for (const UnitRecord& unit : Units) {
        if (unit.P == Player && unit.V)
            return;
    }
    if (CurrentPlayer == MyPlayer && !IsOfflineGame)
        Send(QStringLiteral("PLAYERLOST%1").arg(Player));
    for (int i = 1; i <= MaxBuildings; ++i) {
        if (Buildings[i].P == Player)
            ChangeBuildingToNull(i);
    }
    if (!PlayerLost.valid(Player))
        return;
    PlayerLost[Player] = true;

    if (IsOfflineGame) {
        // One screen for everyone: the battle goes on while two players remain and
        // one of them is human; the last one standing wins if human.
        AnnounceDefeat(Player);
        int remaining = 0;
        int humans = 0;
        int last = 0;
        for (int p = 1; p <= PlayerCount; ++p) {
            if (PlayerLost[p])
                continue;
            ++remaining;
            last = p;
            if (!Players[p].IsComputer)
                ++humans;
        }
        if (remaining == 1 && humans == 1) {
            MyPlayer = last;  // the results are the winner's
            EndBattle(Victory);
        } else if (remaining <= 1 || humans == 0) {
            EndBattle(Defeat);
        }
        return;
    }

    if (Player == MyPlayer) {
        // Beaten on our own turn: it moves on here as on the other machines.
        PassTurnOf(Player);
        EndBattle(Defeat);
        return;
    }
    int lost = 0;
    for (int p = 1; p <= PlayerCount; ++p) {
        if (PlayerLost[p])
            ++lost;
    }
    if (lost != PlayerCount - 1)
        return;
    if (CurrentPlayer == MyPlayer)
        Send(QStringLiteral("IWIN%1").arg(MyPlayer));
    EndBattle(Victory);
}

void frmGame::AnnounceDefeat(std::int32_t player)
{
    // A map may give units to more owners than the battle has players: such an
    // owner has no name, and a message without one would tell nobody anything.
    if (player < 1 || player > PlayerCount || Players[player].Name.isEmpty())
        return;
    ShowGameMessage(Players[player].Name + QStringLiteral(" has been defeated!"));
}

void frmGame::EndBattle(const QString& banner)
{
    // Ended by another player's act, the battle may still have a box of its
    // own open here: it asks about a battle that is over, so it closes as No
    // or Cancel (a Yes to Exit's question would send a quit for it).
    platform::closeBoxesOf(boxOwner);
    if (services.results)
        services.results->ShowResults(banner);
    Form_Unload();
}
