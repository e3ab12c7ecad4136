// Battle start: the window is armed when it is created, and a battle begins when
// it is activated with a start pending.

#include "battle/FrameDriver.h"
#include "battle/Terrain.h"
#include "battle/frmGame.h"
#include "data/GameTypes.h"
#include "data/MapFile.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

using namespace modStrat;

namespace {

// Tiles of no map lie here, where no cursor or unit can ever be.
constexpr std::int16_t OffMap = -30000;
// The terrain of a tile whose value is not a number.
constexpr std::int16_t UnreadableTerrain = terrain::NoTerrain;

}  // namespace

frmGame::frmGame(platform::Clock& clock)
    : clock_(clock), driver_(std::make_unique<FrameDriver>(*this))
{
    // The first pass of the program's first battle always runs a frame.
    LastFrameTick = -1'000'000;
}

frmGame::~frmGame() = default;

void frmGame::Form_Load()
{
    StartGamePending = true;
}

void frmGame::Form_Activate()
{
    if (!StartGamePending)
        return;
    if (SetUpBattle()) {
        Running = true;
        InBattle = true;
        GameLoop();
    }
}

void frmGame::Form_Unload()
{
    Running = false;
    InBattle = false;
    FinishStep();
    driver_->stop();
    if (services.display)
        services.display->hideBattle();
}

void frmGame::ResetBattleState()
{
    DayCount = 1;
    IsComputerTurn = false;
    for (int p = 1; p <= MaxPlayers; ++p) {
        Money[p] = 0;
        PlayerLost[p] = false;
    }
    // The results totals are left alone: they add up every battle of the run.
    if (services.computer)
        services.computer->ResetForBattle();
    // Network battles are played by people only.
    if (!IsOfflineGame) {
        for (PlayerRecord& player : Players)
            player.IsComputer = false;
    }

    EndTurnCooldown = 0;
    ReloadUnitMenu = true;
    StepCounter = 0;
    UnitBoxShown = false;
    // Nothing of the last battle may act in this one: no selection, no attack, no menu.
    CloseTurnActions();
    SelectedUnit = None;
    InfoUnit = None;
    MenuHighlight = 0;
    for (TextItem& item : MenuItems)
        item.Visible = false;
    for (TileRecord& tile : Tiles)
        tile.Highlight = false;
    // No range is shown, so the first Shift may show one.
    FireRangeHidden = true;
    PathLength = 0;
    RightHeld = UpHeld = LeftHeld = DownHeld = false;
    txtMsgVisible = false;
    txtMsgText.clear();

    CurrentPlayerText.Visible = true;
    CurrentPlayerText.FontName = QStringLiteral("Arial");
    CurrentPlayerText.X = 400;
    CurrentPlayerText.Y = 0;
    CurrentPlayerText.Color = QStringLiteral("65535");
    CurrentPlayerText.Size = 12;
    CurrentPlayerText.Bold = true;

    SecondsLeft = 60;
    TimerFrameCount = 0;
    CurrentPlayer = 1;
    StartGamePending = false;
    PanelTop = static_cast<std::int16_t>(surface.height() - PanelHeight);
    UnitBoxWidth = UnitBoxPictureWidth;
    UnitBoxHeight = UnitBoxPictureHeight;
    UnitBoxLeft = 62;
    UnitBoxTop = static_cast<std::int16_t>(PanelTop + 8);
    FrameInterval = DefaultFrameInterval;
    if (MapPath.isEmpty())
        MapPath = platform::programFolder() + QLatin1Char('/') + DefaultMapName;
    LayOutTexts();
}

void frmGame::LayOutTexts()
{
    for (TextItem& text : ScreenTexts)
        text.Visible = false;
    for (int i = 1; i <= GameMessages.Size; ++i) {
        TextItem& message = GameMessages[i];
        message.Visible = false;
        message.X = 75;
        message.Y = PanelTop - 15 * i - 25;
        message.FontName = QStringLiteral("Arial");
        message.Size = 8;
        message.Bold = true;
        message.Italic = false;
        message.Underline = false;
        message.Color = QStringLiteral("49152");
    }
}

bool frmGame::SetUpBattle()
{
    refusal_.clear();
    ResetBattleState();
    if (!LoadMap(MapPath)) {
        refusal_ = QStringLiteral("The battle cannot start: the map \"%1\" is missing or has no valid size.")
                       .arg(MapPath);
        platform::messageBox(boxOwner, refusal_);
        Form_Unload();
        return false;
    }

    for (int p = 1; p <= MaxPlayers; ++p) {
        SavedCursorSet[p] = false;
        SavedCursorX[p] = 0;
        SavedCursorY[p] = 0;
        if (const BuildingRecord* hq = Buildings.at(HQ[p])) {
            SavedCursorX[p] = hq->X;
            SavedCursorY[p] = hq->Y - UnitRaise;
            SavedCursorSet[p] = true;
        }
    }
    FirstTurnPending = true;

    // The turn change from the last player hands player 1 the first turn.
    CurrentPlayer = static_cast<std::uint8_t>(PlayerCount);
    EndTurn();
    if (CurrentPlayer != MyPlayer)
        CursorShown = false;
    SelectedUnit = None;
    SelectedBuilding = None;
    InfoUnit = None;
    return true;
}

bool frmGame::LoadMap(const QString& path)
{
    const mapfile::MapReader map(path);
    const auto width = map.number(QStringLiteral("XMAX"));
    const auto height = map.number(QStringLiteral("YMAX"));
    if (!map.exists() || !width || !height || *width < 1 || *height < 1
        || int(*width) * int(*height) > MaxTiles)
        return false;

    MapWidth = *width;
    MapHeight = *height;
    const auto centre = [](double offset) {
        return static_cast<std::int16_t>(std::max<std::int64_t>(0, platform::roundHalfEven(offset)));
    };
    MapLeft = centre(surface.width() / 2.0 - MapWidth * TileSize / 2.0);
    MapTop = centre((surface.height() - PanelHeight) / 2.0 - MapHeight * TileSize / 2.0);

    const int tileCount = MapWidth * MapHeight;
    for (int i = 1; i <= MaxTiles; ++i) {
        TileRecord& tile = Tiles[i];
        tile.Occupied = false;
        if (i > tileCount) {
            tile.Terrain = SpaceTerrain;
            tile.X = tile.Y = OffMap;
            continue;
        }
        const int column = (i - 1) % MapWidth;
        const int row = (i - 1) / MapWidth;
        // An empty value is open space. Any other code, or a value we cannot read, is
        // kept as a tile without a picture that nobody enters.
        const QString key = mapfile::key("T", i);
        tile.Terrain = map.text(key).trimmed().isEmpty() ? std::int16_t(SpaceTerrain)
                                                         : map.number(key, UnreadableTerrain);
        tile.X = static_cast<std::int16_t>(MapLeft + TileSize * column);
        tile.Y = static_cast<std::int16_t>(MapTop + TileSize * row);
    }

    CursorShown = true;
    CursorX = Tiles[1].X;
    CursorY = static_cast<std::int16_t>(Tiles[1].Y - UnitRaise);

    for (int i = 1; i <= MaxUnits; ++i) {
        UnitRecord& unit = Units[i];
        const std::int16_t type = map.number(mapfile::key("UT", i), None);
        unit.PIC = (type >= UnitType::First && type <= UnitType::Last) ? type : std::int16_t(None);
        unit.P = map.number(mapfile::key("UP", i), 0);
        unit.X = static_cast<std::int16_t>(MapLeft + map.number(mapfile::key("ULEFT", i), 0));
        unit.Y = static_cast<std::int16_t>(MapTop + map.number(mapfile::key("UTOP", i), 0));
        // Nothing of the slot's last unit moves this one: its movement and reach
        // are filled when it is first selected or ordered.
        unit.Moves = 0;
        unit.MoveCost1 = unit.MoveCost2 = unit.MoveCost3 = unit.MoveCost4 = unit.MoveCost5 = 0;
        unit.RangeGround = unit.RangeAir = 0;
        unit.SEL = false;
        unit.HIDDEN = false;
        unit.TRANS = None;
        unit.CAP = None;
        if (unit.PIC == None) {
            unit.E = false;
            unit.V = false;
        } else {
            unit.V = true;
            unit.Defense = 1;
            unit.E = true;
            unit.HP = MaxHitPoints;
            SetUnitFuelAndAmmo(GetUnitName(unit.PIC), i);
            for (int j = 1; j <= tileCount; ++j) {
                if (Tiles[j].X == unit.X && Tiles[j].Y - UnitRaise == unit.Y)
                    Tiles[j].Occupied = true;
            }
        }
    }

    for (int p = 1; p <= MaxPlayers; ++p) {
        const std::int16_t hq = map.number(mapfile::key("HQ", p), None);
        HQ[p] = Buildings.valid(hq) ? hq : None;
    }

    for (int i = 1; i <= MaxBuildings; ++i) {
        BuildingRecord& building = Buildings[i];
        // A type without a picture is still a building; it is just not drawn.
        building.PIC = map.number(mapfile::key("BT", i), None);
        building.Y = MapTop + map.number(mapfile::key("BTOP", i), 0);
        building.X = MapLeft + map.number(mapfile::key("BLEFT", i), 0);
        building.P = map.number(mapfile::key("BP", i), 0);
        building.CAP = FullCapturePoints;
        building.Exists = building.PIC != None;
        building.CanBuild = building.P == CurrentPlayer;
        // Maps made for more players than take part lose the extra owners; an
        // owner no battle has (a hand-edited file) owns nothing either. The
        // owner field stays, so no player here is paid for the building.
        if (building.P < 0 || building.P > PlayerCount)
            ChangeBuildingToNull(i);
    }
    return true;
}
