// The battle is played with the keyboard alone. What a key does follows from
// the state of the battle: whose turn, which menu, a unit selected, moving,
// choosing a target or waiting for the damage bar.

#include "battle/frmGame.h"

#include <cstdlib>

using namespace modStrat;

namespace BattleKeys {
constexpr int F1 = 112;
constexpr int F12 = 123;
constexpr int E = 69;
constexpr int T = 84;
constexpr int Q = 81;
constexpr int H = 72;
constexpr int Space = 32;
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int ShiftOnly = 1;
}  // namespace BattleKeys

namespace {

bool isArrow(int key)
{
    return key >= BattleKeys::Left && key <= BattleKeys::Down;
}

}  // namespace

void frmGame::Form_KeyDown(int KeyCode, int Shift)
{
    using namespace BattleKeys;
    if (KeyCode == F1) {
        if (Running) {
            Running = false;
        } else {
            Running = true;
            GameLoop();
        }
    }
    if (KeyCode == F12)
        SceneHoldersShown = !SceneHoldersShown;
    if (KeyCode == E && CurrentPlayer == MyPlayer) {
        if (OnAnotherUnit(SelectedUnit) == None)
            RequestEndTurn();
        return;
    }
    if (KeyCode == T)
        txtMsgVisible = true;
    if (KeyCode == Q) {
        QuitBattle();
        return;
    }
    if (CurrentPlayer != MyPlayer) {
        CursorShown = false;
        return;
    }
    // Space ends the selected unit's action, except while the damage bar runs:
    // there it stops the bar, and the attack ends the action itself.
    if (SelectedUnit != None && KeyCode == Space && !DamageBarRunning)
        DisableUnit();

    if (MenuActive) {
        int present = 0;
        if (SelectedUnit == None) {
            for (const TextItem& item : CreateMenuItems)
                present += item.Visible ? 1 : 0;
        } else {
            for (const TextItem& item : MenuItems)
                present += item.Visible ? 1 : 0;
        }
        if (KeyCode == Down) {
            ++MenuHighlight;
            if (MenuHighlight >= present)
                MenuHighlight = 0;
        }
        if (KeyCode == Up) {
            --MenuHighlight;
            if (MenuHighlight < 0)
                MenuHighlight = static_cast<std::int16_t>(present - 1);
        }
        if (KeyCode == Escape) {
            MainMenuOpen = false;
            for (TextItem& item : CreateMenuItems)
                item.Visible = false;
            SelectedBuilding = None;
            MenuActive = false;
            CreateMenuOpen = false;
        }
        if (KeyCode == Enter) {
            if (MainMenuOpen) {
                subMainMenuOption(MenuHighlight + 1);
            } else {
                if (SelectedUnit != None)
                    subMenuOption(MenuHighlight + 1);
                if (SelectedBuilding != None)
                    subNewUnitOption(MenuHighlight + 1);
            }
        }
        return;
    }

    if (DamageBarRunning) {
        if (KeyCode == Enter || KeyCode == Space) {
            DamageBarRunning = false;
            FinalDamage();
        }
        return;
    }

    if (ChoosingTarget) {
        if (KeyCode == Escape) {
            ChoosingTarget = false;
            TargetShown = false;
            MenuActive = true;
        }
        if (isArrow(KeyCode)) {
            if (const UnitRecord* attacker = Units.at(SelectedUnit)) {
                int best = None;
                int bestDistance = None;
                for (int i = 1; i <= MaxUnits; ++i) {
                    const UnitRecord& unit = Units[i];
                    if (!unit.V || unit.HIDDEN || unit.P == MyPlayer || i == SelectedUnit)
                        continue;
                    const bool beyond = (KeyCode == Left && unit.X < TargetX) || (KeyCode == Right && unit.X > TargetX)
                        || (KeyCode == Up && unit.Y < TargetY) || (KeyCode == Down && unit.Y > TargetY);
                    // Only units this attacker can hurt are offered.
                    if (!beyond || MaximumDamage(GetUnitName(attacker->PIC), GetUnitName(unit.PIC)) <= 0)
                        continue;
                    const int distance = std::abs(unit.X - attacker->X) + std::abs(unit.Y - attacker->Y);
                    const int reach = (IsAirType(unit.PIC) ? attacker->RangeAir : attacker->RangeGround) * TileSize;
                    if (distance <= reach && distance < bestDistance) {
                        best = i;
                        bestDistance = distance;
                    }
                }
                if (const UnitRecord* target = Units.at(best)) {
                    TargetX = target->X;
                    TargetY = target->Y;
                    TargetShown = true;
                    TargetUnit = best;
                    const int dx = target->X - attacker->X;
                    const int dy = target->Y - attacker->Y;
                    if (std::abs(dx) > std::abs(dy)) {
                        MoveFacing = dx > 0 ? 3 : 2;
                    } else if (dy > 0) {
                        MoveFacing = 0;
                        LoadPictureDown(CurrentPlayer);
                    } else {
                        MoveFacing = 1;
                        LoadPictureUp(CurrentPlayer);
                    }
                }
            }
        }
        if (KeyCode == Enter && TargetShown && TargetUnit != None) {
            TargetShown = false;
            ChoosingTarget = false;
            const int tiles = MapTileCount();
            int attackerTile = 0;
            for (int i = 1; i <= tiles; ++i) {
                if (Tiles[i].X == TargetX && Tiles[i].Y - UnitRaise == TargetY)
                    TargetTile = i;
                if (const UnitRecord* attacker = Units.at(SelectedUnit);
                    attacker && Tiles[i].X == attacker->X && Tiles[i].Y - UnitRaise == attacker->Y)
                    attackerTile = i;
            }
            subAttack(attackerTile, TargetTile);
        }
        CheckStats();
        return;
    }

    if (SelectedUnit != None) {
        // While the unit is between two tiles no key but Space (above) acts.
        if (UpHeld || DownHeld || LeftHeld || RightHeld || StepCounter != 0)
            return;
        const UnitRecord* unit = Units.at(SelectedUnit);
        if (isArrow(KeyCode) && unit && unit->FUEL >= 1) {
            StepCounter = 0;
            switch (KeyCode) {
            case Left:
                LeftHeld = true;
                MoveFacing = 2;
                break;
            case Right:
                RightHeld = true;
                MoveFacing = 3;
                break;
            case Up:
                UpHeld = true;
                LoadPictureUp(CurrentPlayer);
                MoveFacing = 1;
                break;
            default:
                DownHeld = true;
                LoadPictureDown(CurrentPlayer);
                MoveFacing = 0;
                break;
            }
        }
        MoveHighlight();
        if (KeyCode == Enter) {
            MenuActive = true;
            MenuHighlight = 0;
        }
        if (KeyCode == Escape) {
            for (UnitRecord& selected : Units) {
                if (selected.SEL) {
                    selected.SEL = false;
                    selected.X = SelectedOriginX;
                    selected.Y = SelectedOriginY;
                }
            }
            CursorX = SelectedOriginX;
            CursorY = SelectedOriginY;
            SelectedBuilding = None;
            SelectedUnit = None;
        }
        return;
    }

    // Free cursor.
    switch (KeyCode) {
    case Left:
        LeftHeld = true;
        break;
    case Right:
        RightHeld = true;
        break;
    case Up:
        UpHeld = true;
        break;
    case Down:
        DownHeld = true;
        break;
    default:
        break;
    }
    if (KeyCode == Enter)
        SelectUnit();
    if (KeyCode == Space)
        MainMenuOpen = true;
    if (KeyCode == H) {
        if (const int* hq = HQ.at(MyPlayer)) {
            if (const BuildingRecord* building = Buildings.at(*hq)) {
                CursorX = static_cast<std::int16_t>(building->X);
                CursorY = static_cast<std::int16_t>(building->Y - UnitRaise);
            }
        }
    }
    if (Shift == ShiftOnly && InfoUnit != None)
        ShowFireRange(InfoUnit);
    MoveHighlight();
    CheckStats();
}

void frmGame::QuitBattle()
{
    Send(QStringLiteral("INCHAT") + FreeText(UserName) + QStringLiteral(" has quit the game."));
    Send(QStringLiteral("EXITGAME%1").arg(MyPlayer));
    Form_Unload();
}

void frmGame::Form_QueryUnload()
{
    // The others would wait for us for ever; a hot seat or a battle already over just closes.
    if (InBattle && !IsOfflineGame)
        QuitBattle();
    else
        Form_Unload();
}

void frmGame::Form_KeyUp(int KeyCode, int Shift)
{
    if (StepCounter != 0)
        return;
    switch (KeyCode) {
    case BattleKeys::Left:
        LeftHeld = false;
        break;
    case BattleKeys::Right:
        RightHeld = false;
        break;
    case BattleKeys::Up:
        UpHeld = false;
        break;
    case BattleKeys::Down:
        DownHeld = false;
        break;
    default:
        break;
    }
    if (Shift == 0 && !FireRangeHidden) {
        HideFireRange();
        FireRangeHidden = true;
    }
}

void frmGame::Form_MouseDown(int, int, int, int) {}

void frmGame::Form_MouseMove(int, int, int, int) {}
