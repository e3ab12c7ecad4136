// The frame loop and the turn clock. Time in a battle is counted in frames.

#include "battle/FrameDriver.h"
#include "battle/frmGame.h"

using namespace modStrat;

void frmGame::GameLoop()
{
    driver_->start();
}

void frmGame::GameLoopPass()
{
    if (!Running)
        return;
    CurrentTick = clock_.nowMs();
    if (CurrentTick - LastFrameTick > FrameInterval) {
        RunFrame();
        // The tick read at the start of the pass, not the time after the frame.
        LastFrameTick = CurrentTick;
    }
}

std::int64_t frmGame::MsUntilNextFrame() const
{
    return LastFrameTick + FrameInterval + 1 - clock_.nowMs();
}

void frmGame::RunFrame()
{
    surface.clear();
    if (EndTurnCooldown > 0)
        --EndTurnCooldown;
    DrawMap();
    LoseTime();

    const bool sceneShown = SceneSprites[1].Visible;
    if (CurrentPlayer != MyPlayer) {
        CursorShown = false;
        DrawUnits();
    } else {
        DrawUnits();
        MoveUnit();
        if (!sceneShown) {
            if (SelectedUnit == None) {
                for (TextItem& item : MenuItems)
                    item.Visible = false;
            } else if (ReloadUnitMenu) {
                LoadMenuOptions(SelectedUnit);
            }
            if (SelectedBuilding != None) {
                if (CreateMenuOpen)
                    DrawCreateUnitMenu();
                else
                    LoadBuildingMenuOptions();
            }
            if (MainMenuOpen) {
                if (CreateMenuItems[1].Visible)
                    DrawCreateUnitMenu();
                else
                    LoadMainMenuOptions();
            }
            DrawMenu();
        }
        // The info-box lines show only with the info box, and never during the attack scene.
        if (!(UnitBoxShown && !SceneSprites[1].Visible)) {
            for (int i = 3; i <= 15; ++i)
                ScreenTexts[i].Visible = false;
        }
    }

    if (SceneSprites[1].Visible)
        DrawBGImage();
    if (DamageBarRunning)
        DrawDamageBar();
    DrawTime();
    DrawText();
    if (services.display)
        services.display->refresh();
    if (IsComputerTurn && services.computer)
        services.computer->AIStep();
}

void frmGame::LoseTime()
{
    if (TimeLimit != NoTimeLimit) {
        ++TimerFrameCount;
        if (TimerFrameCount >= FramesPerSecond) {
            TimerFrameCount = 0;
            if (SecondsLeft > 0) {
                --SecondsLeft;
            } else if (IsOfflineGame || CurrentPlayer == MyPlayer) {
                // In a network game only the player on turn ends it by the clock;
                // the others wait for the "ENDTURN" line.
                RequestEndTurn();
            }
        }
    }

    TextItem& shadow = ScreenTexts[19];
    shadow.Visible = true;
    shadow.FontName = QStringLiteral("Impact");
    shadow.Size = 18;
    shadow.X = 732;
    shadow.Y = 447;
    shadow.Color = QString::number(0x808080);
    TextItem& clock = ScreenTexts[20];
    clock.Visible = true;
    clock.FontName = QStringLiteral("Impact");
    clock.Size = 18;
    clock.X = 730;
    clock.Y = 445;
    clock.Color = QStringLiteral("15");

    if (SecondsLeft == NoTimeLimit) {
        shadow.Text = clock.Text = QStringLiteral("Inf.");
        shadow.X = 724;
        clock.X = 722;
    } else {
        shadow.Text = clock.Text = QString::number(SecondsLeft);
    }
}
