// Combat: the attack scene sliding in, the damage bar, and the resolution of an
// attack with its counter-attack.

#include "battle/Terrain.h"
#include "battle/frmGame.h"
#include "platform/Gif.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "screen/Blit.h"
#include "screen/PictureStore.h"

#include <algorithm>
#include <cstdlib>

using namespace modStrat;

namespace {

constexpr int SceneWidth = 481;
constexpr int SceneHeight = 470;
constexpr int SlideInStep = 35;
constexpr int SlideOutStep = 20;
constexpr int BarLeft = 105;
constexpr int BarSpacing = 30;
constexpr int LargeSegmentY = 432;
constexpr int SmallSegmentY = 435;

bool isLargeSegment(int i) { return i == 1 || i == 5 || i == 10 || i == 15; }

// Floor and ramp plates fight in front of set "0", everything else set "1".
QString sceneSet(int terrainCode)
{
    const bool plate = terrainCode == 0 || terrainCode == 18 || terrainCode == 34 || terrainCode == 35
        || (terrainCode >= 37 && terrainCode <= 41);
    return plate ? QStringLiteral("0") : QStringLiteral("1");
}

// Nearest integer to num / den, halves to the even neighbour; den > 0.
std::int64_t roundRatio(std::int64_t num, std::int64_t den)
{
    std::int64_t quotient = num / den;
    std::int64_t remainder = num % den;
    if (remainder < 0) {
        remainder += den;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > den || (twice == den && (quotient & 1)))
        ++quotient;
    return quotient;
}

}  // namespace

void frmGame::subAttack(std::int32_t attackerTile, std::int32_t targetTile)
{
    // The attack is the selected unit's on the target it picked, whatever else lies on those tiles.
    const UnitRecord* attacker = Units.at(SelectedUnit);
    const UnitRecord* target = Units.at(TargetUnit);
    if (!attacker || !target || !target->V || target->HIDDEN || target->P == attacker->P
        || MaximumDamage(GetUnitName(attacker->PIC), GetUnitName(target->PIC)) <= 0)
        return;
    Q_UNUSED(targetTile);

    const TileRecord* ground = Tiles.at(attackerTile);
    const QString set = sceneSet(ground ? ground->Terrain : terrain::NoTerrain);
    const QString folder = platform::programFolder();
    const char* endings[4] = {".gif", "M.gif", "B.gif", "BM.gif"};
    for (int i = 0; i < 4; ++i) {
        // A picture that cannot be read leaves the holder's last one.
        QImage picture = platform::loadPicture(platform::findFile(folder, set + QLatin1String(endings[i])));
        if (!picture.isNull())
            picBG[i] = std::move(picture);
    }

    const auto top = static_cast<std::int16_t>(platform::roundHalfEven(surface.height() / 2.0 - SceneHeight / 2.0));
    SceneSprites[1] = {static_cast<std::int16_t>(-SceneWidth), top, SceneHeight, SceneWidth, true};
    SceneSprites[2] = {static_cast<std::int16_t>(surface.width()), top, SceneHeight, SceneWidth, true};
    DamageBarMax = MaximumDamage(GetUnitName(attacker->PIC), GetUnitName(target->PIC));
    AttackSceneState = 1;
    DamageBarValue = 1;
}

void frmGame::DrawBGImage()
{
    SceneSprite& left = SceneSprites[1];
    SceneSprite& right = SceneSprites[2];
    if (AttackSceneState == 1) {
        left.X = static_cast<std::int16_t>(left.X + SlideInStep);
        right.X = static_cast<std::int16_t>(right.X - SlideInStep);
        if (left.X >= 0) {
            AttackSceneState = 0;
            DamageBarRunning = true;
        }
    } else if (AttackSceneState == 2) {
        left.X = static_cast<std::int16_t>(left.X - SlideOutStep);
        right.X = static_cast<std::int16_t>(right.X + SlideOutStep);
        if (left.X + left.Width <= 0) {
            AttackSceneState = 0;
            left.Visible = right.Visible = false;
            // The attacker's action ended with the attack; a unit selected meanwhile keeps its own.
        }
    }
    for (int i = 1; i <= 2; ++i) {
        const SceneSprite& sprite = SceneSprites[i];
        screen::blitMasked(surface, sprite.X, sprite.Y, sprite.Width, sprite.Height, picBG[(i - 1) * 2 + 1],
                           picBG[(i - 1) * 2]);
    }
}

void frmGame::DrawDamageBar()
{
    ++DamageBarFrameCount;
    if (DamageBarFrameCount >= 16 - 4.5 * DamageBarValue) {
        ++DamageBarValue;
        DamageBarFrameCount = 0;
    }
    if (DamageBarValue > DamageBarMax)
        DamageBarValue = 1;
    const PictureStore& pics = pictures();
    for (int i = 1; i <= DamageBarMax; ++i) {
        const bool lit = i == DamageBarValue;
        const bool large = isLargeSegment(i);
        const QImage& segment = pics.picDamageBar[large ? (lit ? 0 : 2) : (lit ? 1 : 3)];
        const QImage& litSize = pics.picDamageBar[large ? 0 : 1];
        screen::blit(surface, BarLeft + BarSpacing * i, large ? LargeSegmentY : SmallSegmentY, litSize.width(),
                     litSize.height(), segment, platform::RasterOp::Copy);
    }
}

void frmGame::FinalDamage()
{
    const int a = SelectedUnit;
    const int t = TargetUnit;
    // An attack needs a live attacker and a live target that is someone else.
    if (!Units.valid(a) || !Units.valid(t) || a == t || !Units[a].V || !Units[t].V)
        return;
    DisableUnit();
    UnitRecord& attacker = Units[a];
    UnitRecord& target = Units[t];

    target.Defense = static_cast<std::int16_t>(GetUnitDefense(t));
    if (services.random)
        services.random->reseedFromClock();
    const int chance = services.random ? static_cast<int>(services.random->next() * 10) : 0;
    // bar x 10 / ((defence + 1) / 2) x HP / 100 + chance, in whole numbers until the one rounding.
    const std::int64_t defenceShare = target.Defense + 1;
    std::int64_t damage = roundRatio(std::int64_t(DamageBarValue) * 20 * attacker.HP + chance * defenceShare * 100,
                                     defenceShare * 100);
    if (target.HP - damage < 0)
        damage = target.HP;
    target.HP = static_cast<std::int16_t>(target.HP - damage);
    // The computer attacks whatever its ammunition; the count stops at empty.
    attacker.AMMO = static_cast<std::int16_t>(std::max(0, attacker.AMMO - 1));

    std::int64_t counter = 0;
    if (target.AMMO >= 1) {
        counter = MaximumDamage(GetUnitName(target.PIC), GetUnitName(attacker.PIC));
        counter = roundRatio(counter * 4, 5) * 10;
        counter = roundRatio(counter * target.HP, 100);
        attacker.Defense = static_cast<std::int16_t>(GetUnitDefense(a));
        counter = roundRatio(counter * 2, attacker.Defense + 1);
        attacker.HP = static_cast<std::int16_t>(attacker.HP - counter);
        target.AMMO = static_cast<std::int16_t>(target.AMMO - 1);
    }

    Send(QStringLiteral("ATTACKUNIT%1@ATTACKDAMAGE%2@ATTACKHP%3@ATTACKAMMO%4@DEFENDUNIT%5@DEFENDDAMAGE%6@DEFENDHP%7@"
                        "DEFENDAMMO%8")
             .arg(t)
             .arg(damage)
             .arg(target.HP)
             .arg(target.AMMO)
             .arg(a)
             .arg(counter)
             .arg(attacker.HP)
             .arg(attacker.AMMO));

    if (target.HP <= 0) {
        DestroyUnit(t, CurrentPlayer);
        CheckLoss(target.P);
    }
    if (attacker.HP <= 0) {
        DestroyUnit(a, target.P);
        CheckLoss(attacker.P);
    }
    ViewDamage(static_cast<std::int16_t>(damage), static_cast<std::int16_t>(t), static_cast<std::int16_t>(counter),
               static_cast<std::int16_t>(a));
    AttackSceneState = 2;
}

void frmGame::DestroyUnit(std::int32_t u, std::int32_t winner)
{
    UnitRecord* unit = Units.at(u);
    if (!unit)
        return;
    unit->V = false;
    UnitsDestroyed[winner] += 1;
    UnitsLost[unit->P] += 1;
    // A destroyed carrier takes its passenger with it.
    if (UnitRecord* passenger = Units.at(unit->TRANS); passenger && passenger->V) {
        passenger->V = false;
        UnitsDestroyed[winner] += 1;
        UnitsLost[passenger->P] += 1;
    }
    unit->TRANS = None;
}

std::int32_t frmGame::DamageDealt(double base, std::int32_t attacker, std::int32_t defender)
{
    const UnitRecord* a = Units.at(attacker);
    const UnitRecord* d = Units.at(defender);
    if (!a || !d)
        return 0;
    // A defence never filled in divides by 1, not by nothing.
    const auto strength = platform::roundHalfEven(base * a->HP);
    const auto dealt = platform::roundHalfEven(double(strength) / std::max<int>(1, d->Defense));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(dealt, 0, INT32_MAX));
}
