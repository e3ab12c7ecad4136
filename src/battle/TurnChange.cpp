// Turn change: the next player, fresh units and buildings, income and repair,
// the music, the hot-seat hand-over and, in a network game, the turn-sync lines.

#include "battle/frmGame.h"
#include "platform/Music.h"
#include "platform/Random.h"
#include "platform/Text.h"

using namespace modStrat;

namespace {

constexpr double RepairPriceShare = 0.2;
constexpr int EnterKey = 13;
constexpr int EscapeKey = 27;

}  // namespace

void frmGame::RequestEndTurn()
{
    if (EndTurnCooldown > 0 && !Players[CurrentPlayer].IsComputer)
        return;
    EndTurn();
}

void frmGame::PassTurnOf(std::int32_t player)
{
    // Every machine passes it on its own, straight away, even during the cooldown.
    if (InBattle && player == CurrentPlayer && PlayerLost.valid(player) && PlayerLost[player])
        EndTurn();
}

void frmGame::CloseTurnActions()
{
    MainMenuOpen = false;
    MenuActive = false;
    TargetShown = false;
    ChoosingTarget = false;
    CreateMenuOpen = false;
    DamageBarRunning = false;
    SceneSprites[1].Visible = false;
    SceneSprites[2].Visible = false;
    AttackSceneState = 0;
    TargetUnit = None;
    SelectedBuilding = None;
    for (TextItem& item : CreateMenuItems)
        item.Visible = false;
}

void frmGame::EndTurn()
{
    EndTurnCooldown = IsOfflineGame ? OfflineEndTurnCooldown : NetworkEndTurnCooldown;

    if (platform::MusicPlayer* music = services.music) {
        music->stop();
        if (services.random) {
            services.random->reseedFromClock();
            platform::chooseRandomTrack(*music, *services.random);
        }
        music->play();
    }

    if (CurrentPlayer == 1)
        FirstTurnPending = false;

    CloseTurnActions();

    int next = CurrentPlayer % PlayerCount + 1;
    const int firstCandidate = next;
    bool found = false;
    for (int tries = 0; tries < PlayerCount; ++tries) {
        if (!PlayerLost[next]) {
            found = true;
            break;
        }
        next = next % PlayerCount + 1;
    }
    if (!found)
        next = firstCandidate;

    // A move that was not confirmed is undone.
    FinishStep();
    if (UnitRecord* selected = Units.at(SelectedUnit)) {
        selected->X = SelectedOriginX;
        selected->Y = SelectedOriginY;
    }

    if (!FirstTurnPending && SavedCursorSet.valid(CurrentPlayer)) {
        SavedCursorX[CurrentPlayer] = CursorX;
        SavedCursorY[CurrentPlayer] = CursorY;
        SavedCursorSet[CurrentPlayer] = true;
    }
    if (SavedCursorSet[next]) {
        CursorX = static_cast<std::int16_t>(SavedCursorX[next]);
        CursorY = static_cast<std::int16_t>(SavedCursorY[next]);
    }

    // Income and repair share one pass: unit i is repaired with the income of buildings 1..i.
    for (int i = 1; i <= MaxUnits; ++i) {
        UnitRecord& unit = Units[i];
        if (unit.V) {
            unit.E = true;
            unit.SEL = false;
        }
        if (BuildingRecord* building = Buildings.at(i); building && building->Exists) {
            building->CanBuild = true;
            if (building->P == next)
                Money[next] += IncomePerBuilding;
        }
        for (int j = 1; j <= MaxBuildings; ++j) {
            const BuildingRecord& building = Buildings[j];
            if (!unit.V || !building.Exists || unit.P != next || unit.X != building.X || unit.Y != building.Y - UnitRaise
                || building.P != unit.P || unit.HP >= MaxHitPoints)
                continue;
            const double price = RepairPriceShare * GetUnitCost(GetUnitName(unit.PIC));
            if (price <= Money[next]) {
                Money[next] -= static_cast<std::int32_t>(platform::roundHalfEven(price));
                unit.HP = static_cast<std::int16_t>(std::min(unit.HP + RepairHitPoints, MaxHitPoints));
            }
        }
    }

    // A player who is out ends no turn on the wire: the defeat or the departure already did.
    if (CurrentPlayer == MyPlayer && !IsOfflineGame && !PlayerLost[CurrentPlayer]) {
        // The outgoing player's number: a duplicate line can never end a second turn.
        if (!FirstTurnPending)
            Send(QStringLiteral("ENDTURN%1").arg(int(CurrentPlayer)));
        // The units as the outgoing player sees them; the incoming player applies them.
        for (int i = 1; i <= MaxUnits; ++i) {
            const UnitRecord& unit = Units[i];
            if (unit.V) {
                Send(QStringLiteral("CHECKUNIT%1@CHECKPIC%2@CHECKX%3@CHECKY%4@CHECKPLAYER%5@CHECKHP%6")
                         .arg(i).arg(unit.PIC).arg(unit.X).arg(unit.Y).arg(unit.P).arg(unit.HP));
            } else {
                Send(QStringLiteral("CHECKUNIT%1@CHECKPIC999").arg(i));
            }
        }
    }

    // A day passes when the turn comes round again, also when player 1 is out.
    const bool newDay = next <= CurrentPlayer;
    CurrentPlayer = static_cast<std::uint8_t>(next);
    SelectedUnit = None;
    SecondsLeft = TimeLimit;
    UnitBoxShown = false;
    // Hot seat: the keyboard goes to the next human; a computer's turn keeps the last human.
    if (IsOfflineGame && !Players[CurrentPlayer].IsComputer)
        MyPlayer = CurrentPlayer;
    CursorShown = CurrentPlayer == MyPlayer && !(FirstTurnPending && MyPlayer != 1);
    FirstTurnPending = false;
    IsComputerTurn = Players[CurrentPlayer].IsComputer;
    if (newDay)
        ++DayCount;
}

void frmGame::Send(const QString& message)
{
    if (IsOfflineGame || !services.gameData)
        return;
    services.gameData->SendGameData(message);
}

void frmGame::txtMsg_KeyDown(int KeyCode, int Shift)
{
    if (KeyCode == EnterKey) {
        txtMsgVisible = false;
        Send(QStringLiteral("INCHAT") + FreeText(UserName) + QStringLiteral(": ") + FreeText(txtMsgText));
        txtMsgText.clear();
    } else if (KeyCode == EscapeKey) {
        txtMsgVisible = false;
        txtMsgText.clear();
    }
}

void frmGame::RemoteMoveUnit(std::int32_t UnitNum, std::int32_t X, std::int32_t Y)
{
    if (UnitRecord* unit = Units.at(UnitNum)) {
        unit->X = static_cast<std::int16_t>(X);
        unit->Y = static_cast<std::int16_t>(Y);
    }
}
