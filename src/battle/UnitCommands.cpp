// The commands of the unit command menu, carried out by their captions.

#include "battle/Transport.h"
#include "battle/frmGame.h"
#include "data/GameTypes.h"

using namespace modStrat;

namespace {

// The direction named at the end of a caption such as "Unload Left".
const frmGame::Direction* directionOf(const QString& caption, const QString& prefix)
{
    if (!caption.startsWith(prefix))
        return nullptr;
    const QStringView rest = QStringView(caption).mid(prefix.size());
    for (const frmGame::Direction& d : frmGame::Directions) {
        if (rest == QLatin1String(d.name))
            return &d;
    }
    return nullptr;
}

}  // namespace

void frmGame::subMenuOption(std::int32_t entry)
{
    const TextItem* item = MenuItems.at(entry);
    const int u = SelectedUnit;
    UnitRecord* unit = Units.at(u);
    if (!item || !unit)
        return;
    const QString caption = item->Text;
    const int tile = TileAt(unit->X, unit->Y);

    // The mode changes: only the type changes; the new statistics come with the next selection.
    const auto changeMode = [&](int type, const QString& keyword) {
        unit->PIC = static_cast<std::int16_t>(type);
        Send(keyword + QString::number(u));
        DisableUnit();
    };
    const auto boarded = [&](int carrier, int rider) {
        Send(QStringLiteral("LOADTOUNIT%1").arg(carrier));
        Send(QStringLiteral("LOADUNIT%1").arg(rider));
        DisableUnit();
    };

    if (caption == QLatin1String("Attack")) {
        TargetTile = tile;
        ChoosingTarget = true;
        TargetUnit = None;
        MenuActive = false;
        TargetY = unit->Y;
        TargetX = unit->X;
        // The choice starts afresh: no target left from an earlier one.
        TargetShown = false;
    } else if (caption == QLatin1String("Cancel")) {
        unit->SEL = false;
        unit->X = SelectedOriginX;
        unit->Y = SelectedOriginY;
        CursorX = SelectedOriginX;
        CursorY = SelectedOriginY;
        MenuActive = false;
        SelectedUnit = None;
        CursorShown = true;
    } else if (caption == QLatin1String("Deselect")) {
        DisableUnit();
    } else if (caption == QLatin1String("Join")) {
        UnitRecord* other = Units.at(OnAnotherUnit(u));
        if (!other)
            return;
        const int o = OnAnotherUnit(u);
        unit->HP = static_cast<std::int16_t>(std::min(unit->HP + other->HP, int(MaxHitPoints)));
        other->V = false;
        Send(QStringLiteral("JOINUNIT%1").arg(u));
        Send(QStringLiteral("JOINHIDE%1").arg(o));
        Send(QStringLiteral("JOINHP%1").arg(unit->HP));
        DisableUnit();
    } else if (caption == QLatin1String("Capture")) {
        for (int b = 1; b <= MaxBuildings; ++b) {
            const BuildingRecord& building = Buildings[b];
            if (building.Exists && building.X == unit->X && building.Y - UnitRaise == unit->Y) {
                CaptureBuilding(b);
                return;
            }
        }
    } else if (caption == QLatin1String("Pack")) {
        changeMode(UnitType::FixedTurret, QStringLiteral("PACKUNIT"));
    } else if (caption == QLatin1String("Unpack")) {
        changeMode(UnitType::MobileTurret, QStringLiteral("UNPACKUNIT"));
    } else if (caption == QLatin1String("Land")) {
        changeMode(UnitType::HoverTankGround, QStringLiteral("UNHOVER"));
    } else if (caption == QLatin1String("Hover")) {
        changeMode(UnitType::HoverTankAir, QStringLiteral("HOVER"));
    } else if (const Direction* d = directionOf(caption, QStringLiteral("Load Into "))) {
        for (int k = 1; k <= MaxUnits; ++k) {
            UnitRecord& carrier = Units[k];
            if (carrier.X != unit->X + d->dx || carrier.Y != unit->Y + d->dy || !transport::MayBoard(*unit, carrier))
                continue;
            unit->HIDDEN = true;
            unit->E = false;
            carrier.TRANS = u;
            if (TileRecord* left = Tiles.at(tile))
                left->Occupied = false;
            boarded(k, u);
            return;
        }
    } else if (const Direction* d = directionOf(caption, QStringLiteral("Load "))) {
        for (int c = 1; c <= MaxUnits; ++c) {
            UnitRecord& rider = Units[c];
            if (rider.X != unit->X + d->dx || rider.Y != unit->Y + d->dy || rider.P != CurrentPlayer
                || !transport::MayBoard(rider, *unit))
                continue;
            rider.HIDDEN = true;
            rider.E = false;
            unit->X = static_cast<std::int16_t>(unit->X + d->dx);
            unit->Y = static_cast<std::int16_t>(unit->Y + d->dy);
            unit->TRANS = c;
            if (TileRecord* left = Tiles.at(tile))
                left->Occupied = false;
            boarded(u, c);
            return;
        }
    } else if (caption == QLatin1String("Load On To")) {
        const int o = OnAnotherUnit(u);
        if (UnitRecord* rider = Units.at(o)) {
            unit->TRANS = o;
            rider->HIDDEN = true;
            rider->E = false;
            boarded(u, o);
        }
    } else if (caption == QLatin1String("Load In To")) {
        const int o = OnAnotherUnit(u);
        if (UnitRecord* carrier = Units.at(o)) {
            carrier->TRANS = u;
            unit->HIDDEN = true;
            unit->E = false;
            boarded(o, u);
        }
    } else if (const Direction* d = directionOf(caption, QStringLiteral("Unload "))) {
        UnitRecord* rider = Units.at(unit->TRANS);
        const int neighbour = TileAt(unit->X + d->dx, unit->Y + d->dy);
        if (!rider || neighbour == 0)
            return;
        const int c = unit->TRANS;
        rider->X = static_cast<std::int16_t>(unit->X + d->dx);
        rider->Y = static_cast<std::int16_t>(unit->Y + d->dy);
        rider->HIDDEN = false;
        rider->E = false;
        Send(QStringLiteral("UNLOADFROMUNIT%1").arg(u));
        Send(QStringLiteral("UNLOADUNIT%1").arg(c));
        Send(QStringLiteral("UNLOADX%1").arg(rider->X));
        Send(QStringLiteral("UNLOADY%1").arg(rider->Y));
        unit->TRANS = None;
        unit->E = false;
        Tiles[neighbour].Occupied = true;
        DisableUnit();
    }
}
