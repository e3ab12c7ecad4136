// The unit layer: sprites by owner and facing, the selected unit, the small
// status texts, the damage preview and the fire-range tint.

#include "battle/frmGame.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "screen/Blit.h"
#include "screen/PictureStore.h"

using namespace modStrat;
using platform::RasterOp;
using screen::blit;
using screen::blitMasked;
using screen::element;

namespace {

constexpr int LowFuel = 15;
constexpr int LowAmmo = 2;
const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);

void unitText(platform::Surface& surface, int x, int y, const QString& text, int points, QColor colour)
{
    surface.drawText(x, y, text, {QStringLiteral("Arial"), points, false, false, false}, colour);
}

struct SpritePair {
    const QImage* picture = nullptr;
    const QImage* mask = nullptr;
};

// Players 1 and 3 face right, 2 and 4 left; a unit that has acted is grey.
SpritePair idleSprite(const PictureStore& store, const UnitRecord& unit)
{
    const int type = unit.PIC;
    const bool facesRight = unit.P == 1 || unit.P == 3;
    const QImage& mask = element(facesRight ? store.imgMaskRight : store.imgMaskLeft, type);
    if (!unit.E)
        return {&element(facesRight ? store.imgPlayer1D : store.imgPlayer2D, type), &mask};
    if (unit.P < 1 || unit.P > MaxPlayers)
        return {};
    const auto& set = facesRight ? store.imgPlayerRight[unit.P] : store.imgPlayerLeft[unit.P];
    return {&element(set, type), &mask};
}

SpritePair movingSprite(const PictureStore& store, const UnitRecord& unit, int facing)
{
    if (unit.P < 1 || unit.P > MaxPlayers)
        return {};
    switch (facing) {
    case 0:
    case 1:
        return {&store.imgTemp, &store.imgTempM};
    case 2:
        return {&element(store.imgPlayerLeft[unit.P], unit.PIC), &element(store.imgMaskLeft, unit.PIC)};
    case 3:
        return {&element(store.imgPlayerRight[unit.P], unit.PIC), &element(store.imgMaskRight, unit.PIC)};
    default:
        return {};
    }
}

void drawSprite(platform::Surface& surface, const UnitRecord& unit, SpritePair sprite)
{
    if (sprite.picture && sprite.mask)
        blitMasked(surface, unit.X, unit.Y, TileSize, TileSize, *sprite.mask, *sprite.picture);
}

}  // namespace

void frmGame::DrawUnits()
{
    const PictureStore& pics = pictures();

    for (const UnitRecord& unit : Units) {
        if (!unit.V || unit.HIDDEN)
            continue;
        if (unit.E) {
            if (!unit.SEL)
                drawSprite(surface, unit, idleSprite(pics, unit));
            else
                blitMasked(surface, unit.X, unit.Y, TileSize, TileSize, pics.picHalo[1], pics.picHalo[0]);
        } else {
            drawSprite(surface, unit, idleSprite(pics, unit));
        }
        if (unit.CAP != None && unit.CAP != 0) {
            if (const BuildingRecord* building = Buildings.at(unit.CAP))
                unitText(surface, unit.X + 4, unit.Y + 16, QStringLiteral("C-") + QString::number(building->CAP), 8,
                         Yellow);
        }
        if (unit.HP != MaxHitPoints)
            unitText(surface, unit.X + 16, unit.Y + 16, QString::number(unit.HP), 8, White);
        if (unit.FUEL < LowFuel || (unit.AMMO < LowAmmo && (unit.RangeGround > 0 || unit.RangeAir > 0)))
            unitText(surface, unit.X + 5, unit.Y + 5, QStringLiteral("LOW"), 8, White);
        if (unit.TRANS != None && unit.TRANS != 0)
            unitText(surface, unit.X + 20, unit.Y + 5, QStringLiteral("+"), 8, White);
    }

    for (const UnitRecord& unit : Units) {
        if (!unit.SEL)
            continue;
        drawSprite(surface, unit, movingSprite(pics, unit, MoveFacing));
        if (unit.HP != MaxHitPoints)
            unitText(surface, unit.X + 16, unit.Y + 16, QString::number(unit.HP), 6, White);
        if (unit.FUEL < LowFuel || unit.AMMO < LowAmmo)
            unitText(surface, unit.X + 5, unit.Y + 5, QStringLiteral("LOW"), 8, White);
    }

    if (const auto preview = DamagePreview()) {
        const UnitRecord& target = Units[TargetUnit];
        unitText(surface, target.X + 5, target.Y - 15, QString::number(*preview), 8, Red);
    }

    const int tiles = MapTileCount();
    for (int i = 1; i <= tiles; ++i) {
        const TileRecord& tile = Tiles[i];
        if (tile.Highlight)
            blit(surface, tile.X, tile.Y, TileSize, TileSize, pics.picHalo[4], RasterOp::Paint);
    }
}

std::optional<std::int64_t> frmGame::DamagePreview() const
{
    const UnitRecord* attacker = Units.at(SelectedUnit);
    const UnitRecord* target = Units.at(TargetUnit);
    if (!ChoosingTarget || !attacker || !target)
        return std::nullopt;
    const auto step = static_cast<std::int16_t>(MaximumDamage(GetUnitName(attacker->PIC), GetUnitName(target->PIC)));
    const auto damage = static_cast<std::int16_t>(step * 10);
    // In this order: a 35-HP unit with step 9 shows 31, not 32.
    return platform::roundHalfEven(attacker->HP / 100.0 * damage);
}

void frmGame::LoadPictureUp(std::int32_t player)
{
    if (pictures_)
        pictures_->LoadPictureTemp(platform::programFolder(), Units[SelectedUnit].PIC, player, true);
}

void frmGame::LoadPictureDown(std::int32_t player)
{
    if (pictures_)
        pictures_->LoadPictureTemp(platform::programFolder(), Units[SelectedUnit].PIC, player, false);
}
