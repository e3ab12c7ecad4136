#pragma once
// The battle window's state and procedures. Plain C++: the rules and the frame
// loop run headless; a thin view (screen/BattleView) shows the surface and
// passes keys in.

#include "battle/BattleServices.h"
#include "data/GameData.h"
#include "platform/Dialogs.h"
#include "platform/Clock.h"
#include "platform/Surface.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class FrameDriver;
class PictureStore;

// One picture of the attack scene.
struct SceneSprite {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    bool Visible = false;
};

class frmGame {
public:
    // Frames between turn changes that a human player's request to end the turn is ignored.
    static constexpr int OfflineEndTurnCooldown = 25;
    static constexpr int NetworkEndTurnCooldown = 100;
    static constexpr int FramesPerSecond = 20;         // frames in one second of turn time
    static constexpr int DefaultFrameInterval = 35;    // ms; a frame runs when more have passed
    static constexpr int PanelHeight = 99;             // the side panel picture
    static constexpr int UnitBoxPictureWidth = 54;
    static constexpr int UnitBoxPictureHeight = 47;
    static constexpr int IncomePerBuilding = 100;
    static constexpr int RepairHitPoints = 20;
    static constexpr int MaxHitPoints = 100;
    static constexpr int FullCapturePoints = 200;
    static constexpr int PathMemory = 10;
    static inline const QString DefaultMapName = QStringLiteral("SpacePorts.spw");

    explicit frmGame(platform::Clock& clock);
    ~frmGame();
    frmGame(const frmGame&) = delete;
    frmGame& operator=(const frmGame&) = delete;

    BattleServices services;
    // The battle's boxes are asked in its name: they close with a network battle.
    platform::BoxOwner boxOwner;
    platform::Surface surface;
    // The program's one picture store; without it the pictures are empty and draw nothing.
    const PictureStore& pictures() const;
    void setPictures(PictureStore* store) { pictures_ = store; }

    // Window events.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    // The window's close box: leaving a network battle under way is a quit.
    void Form_QueryUnload();

    // The frame loop: GameLoop starts it, the driver runs passes off a timer.
    void GameLoop();
    // One pass of the loop: runs a frame when more than FrameInterval ms passed.
    void GameLoopPass();
    // Milliseconds until the next frame is due.
    std::int64_t MsUntilNextFrame() const;
    // One frame of the battle.
    void RunFrame();
    void LoseTime();

    // Turn change.
    void EndTurn();
    // A local request to end the turn (E key, main menu): ignored during the cooldown.
    void RequestEndTurn();
    // `player` is out while on turn: the turn goes to the next player still in.
    void PassTurnOf(std::int32_t player);
    void txtMsg_KeyDown(int KeyCode, int Shift);
    void RemoteMoveUnit(std::int32_t UnitNum, std::int32_t X, std::int32_t Y);

    // Keyboard: key codes are the classic virtual-key codes, the shift mask 1 Shift, 2 Ctrl, 4 Alt.
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_KeyUp(int KeyCode, int Shift);
    // The mouse plays no part in a battle.
    void Form_MouseDown(int Button, int Shift, int X, int Y);
    void Form_MouseMove(int Button, int Shift, int X, int Y);

    // Selection and cursor.
    void MoveHighlight();
    void SelectUnit();
    void CheckStats();
    std::int32_t OnAnotherUnit(std::int32_t u) const;
    // The unit in use, not carried, standing on tile t; None when there is none.
    std::int32_t GetUnitFromTile(std::int32_t t) const;
    // The tile under a unit standing at (x, y) in unit coordinates; 0 off the map.
    static std::int32_t TileAt(std::int32_t x, std::int32_t y);

    // Movement.
    bool IsTileBlocked(std::int32_t tile, std::int32_t unit);
    void DisableUnit();

    // The four neighbours in the order the menus list them.
    struct Direction {
        const char* name;
        int dx;
        int dy;
    };
    static const Direction Directions[4];

    // The command menu and its commands.
    void SetMenuStats(std::int32_t Index, const QString& Caption);
    void subMenuOption(std::int32_t entry);

    // Combat.
    void subAttack(std::int32_t attackerTile, std::int32_t targetTile);
    void FinalDamage();
    // `unit` is destroyed by a unit of `winner`, with any unit it carries.
    static void DestroyUnit(std::int32_t unit, std::int32_t winner);
    // `base` times the attacker's hit points, divided by the defender's defence; never below 0.
    static std::int32_t DamageDealt(double base, std::int32_t attacker, std::int32_t defender);

    // Capture.
    static std::int32_t ChangeBuildingPicture(std::int32_t type, std::int32_t oldOwner, std::int32_t newOwner);
    static bool CanCapture(std::int32_t type);
    // A unit that has walked off the building it was capturing gives the capture up.
    static void LeaveCapture(UnitRecord& unit);
    void CaptureBuilding(std::int32_t b);

    // Unit creation: true when a unit was made (false with all slots in use).
    bool CreateUnit(std::int32_t type, std::int32_t player, std::int32_t x, std::int32_t y);
    // A new unit of `type` enters `slot`, counted for the current player; its
    // owner and position are the caller's. Also used for a unit bought elsewhere.
    static void NewUnitInSlot(std::int32_t slot, std::int32_t type);

    // The build menu, the main menu and the fire range.
    void SetCreateUnit(std::int32_t Index, const QString& Name, const QString& Cost);
    void subNewUnitOption(std::int32_t entry);
    // Writes the battle to `path` in one write; false when that fails.
    bool WriteSavedGame(const QString& path) const;
    void subMainMenuOption(std::int32_t entry);
    void ShowFireRange(std::int32_t unit);
    void HideFireRange();

    // Victory and defeat: is `Player` out of the battle, and is the battle over here?
    void CheckLoss(std::int32_t Player);
    // The floating "... has been defeated!"; nothing for an owner no player holds.
    static void AnnounceDefeat(std::int32_t player);

    // Unit catalogue.
    static QString GetUnitName(std::int32_t code);
    static std::int32_t GetPictureNum(const QString& name);
    static std::int32_t GetUnitCost(const QString& name);
    static bool IsAirType(std::int32_t code);
    static void SetUnitRange(const QString& name, std::int32_t unit);
    static void SetUnitFuelAndAmmo(const QString& name, std::int32_t unit);
    static std::int32_t GetTileDefense(std::int32_t tile);
    static std::int32_t GetUnitDefense(std::int32_t unit);

    // Damage table: the largest damage step of attacker against defender, by unit name.
    static std::int32_t MaximumDamage(const QString& attacker, const QString& defender);

    // Buildings.
    static void ChangeBuildingToNull(std::int32_t building);

    // Drawing of one frame (screen/).
    void DrawMap();
    void DrawUnits();
    void DrawMenu();
    void DrawTime();
    void DrawText();
    // Both do nothing: DrawMenu draws the pointer, and the messages have their own makers.
    void DrawArrow();
    void AddText();
    // The number shown over the target while one is chosen: the attack's full damage
    // at the attacker's health. Nothing outside a target choice.
    std::optional<std::int64_t> DamagePreview() const;
    // The info box: lines describing InfoUnit.
    void SetUnitBoxPic();
    void AddUnitBoxText(const QString& Text);
    // Floating messages after an attack or a capture step.
    void ViewDamage(std::int16_t Damage, std::int16_t Defender, std::int16_t CounterDamage, std::int16_t Attacker);
    void ViewCapture(std::int32_t Building, std::int32_t Unit, bool Captured);
    // The selected unit's sprite facing up or down, in `player`'s colour.
    void LoadPictureUp(std::int32_t player);
    void LoadPictureDown(std::int32_t player);
    void LoadBuildingMenuOptions();
    void DrawCreateUnitMenu();
    void LoadMainMenuOptions();
    // Rules run per frame (battle/).
    void MoveUnit();
    void LoadMenuOptions(std::int32_t unit);
    void DrawBGImage();
    void DrawDamageBar();

    // Leaves the battle, telling the other players (Q, Exit in the main menu, the close box).
    void QuitBattle();

    // Sends one battle message unless the game is offline.
    void Send(const QString& message);

    // The battle was refused (no usable map); the window was closed.
    QString refusal() const { return refusal_; }

    // Window state. Kept across battles; a battle start resets what it names.
    bool IsComputerTurn = false;
    std::int16_t PanelTop = 0;
    bool UnitBoxShown = false;
    std::int16_t UnitBoxLeft = 0;
    std::int16_t UnitBoxTop = 0;
    std::int32_t UnitBoxHeight = 0;
    std::int32_t UnitBoxWidth = 0;
    TextItem CurrentPlayerText;
    std::int32_t SecondsLeft = 0;
    std::int32_t TimerFrameCount = 0;
    std::int32_t EndTurnCooldown = 0;
    bool ReloadUnitMenu = false;
    Table<std::int32_t, MaxPlayers> SavedCursorX;
    Table<std::int32_t, MaxPlayers> SavedCursorY;
    // A saved cursor exists (a cursor may lie at X 0 on a wide map).
    Table<bool, MaxPlayers> SavedCursorSet;
    bool FirstTurnPending = false;
    std::int16_t MenuHighlight = 0;
    bool MenuActive = false;
    std::int32_t InfoUnit = None;
    Table<TextItem, 20> ScreenTexts;
    bool DamageBarRunning = false;
    std::int32_t DamageBarMax = 0;
    std::int32_t DamageBarFrameCount = 0;
    std::int16_t SelectedBuilding = None;
    std::int16_t SelectedOriginX = 0;
    std::int16_t SelectedOriginY = 0;
    std::int32_t StepCounter = 0;
    std::int16_t StepStartTile = 0;
    Table<SceneSprite, 2> SceneSprites;
    std::int32_t AttackSceneState = 0;
    Table<TextItem, 20> MenuItems;
    bool MainMenuOpen = false;
    std::int16_t TargetX = 0;
    std::int16_t TargetY = 0;
    bool TargetShown = false;
    std::int16_t CursorX = 0;
    std::int16_t CursorY = 0;
    bool CursorShown = false;
    std::int64_t LastFrameTick = 0;
    std::int64_t CurrentTick = 0;
    std::int32_t FrameInterval = DefaultFrameInterval;
    bool Running = false;
    // From the battle's start until the window is unloaded; a pause keeps it on.
    bool InBattle = false;
    bool RightHeld = false;
    bool UpHeld = false;
    bool LeftHeld = false;
    bool DownHeld = false;
    std::int32_t MoveFacing = 0;
    bool CreateMenuOpen = false;
    Table<TextItem, 15> CreateMenuItems;
    Table<QString, 15> CreateMenuNames;
    Table<QString, 15> CreateMenuCosts;
    bool ChoosingTarget = false;
    std::int32_t TargetTile = 0;
    bool FireRangeHidden = false;
    std::int16_t MenuPanelX = 0;
    std::int16_t MenuPanelY = 0;
    std::int16_t CreateMenuPanelX = 0;
    std::int16_t CreateMenuPanelY = 0;
    Table<std::int32_t, PathMemory> PathX;
    Table<std::int32_t, PathMemory> PathY;
    Table<std::int32_t, PathMemory> PathMoves;
    std::int32_t PathLength = 0;
    // The attack scene's four pictures: left, its mask, right, its mask.
    std::array<QImage, 4> picBG;
    // F12 shows the scene's picture holders beside the battle.
    bool SceneHoldersShown = false;
    // The one-line chat box shown by the T key.
    bool txtMsgVisible = false;
    QString txtMsgText;

private:
    bool SetUpBattle();
    bool LoadMap(const QString& path);
    void ResetBattleState();
    // Nothing of a turn stays open past it: menus, target choice, an attack under way.
    void CloseTurnActions();
    // A step under way is walked to its end and no arrow stays held, so no unit is
    // left between two tiles when its action or the turn ends.
    void FinishStep();
    void LayOutTexts();
    void EndBattle(const QString& banner);

    // Draws one text item; a colour that does not parse keeps the last one.
    void DrawTextItem(const TextItem& item);

    PictureStore* pictures_ = nullptr;
    QColor textColor_ = Qt::black;
    platform::Clock& clock_;
    std::unique_ptr<FrameDriver> driver_;
    QString refusal_;
};
