// The unit command menu: which commands the selected unit may carry out where it stands.

#include "battle/Transport.h"
#include "battle/frmGame.h"
#include "data/GameTypes.h"
#include "platform/Text.h"

#include <cstdlib>

using namespace modStrat;

const frmGame::Direction frmGame::Directions[4] = {
    {"Left", -TileSize, 0}, {"Right", TileSize, 0}, {"Up", 0, -TileSize}, {"Down", 0, TileSize}};

void frmGame::SetMenuStats(std::int32_t Index, const QString& Caption)
{
    TextItem* entry = MenuItems.at(Index);
    if (!entry)
        return;
    entry->Bold = false;
    entry->Color = QString::number(0xFFFFFF);
    entry->FontName = QStringLiteral("Impact");
    entry->Size = 12;
    entry->Italic = false;
    entry->Underline = false;
    entry->Visible = true;
    entry->Text = Caption;
    const int row = (Index - 1) % 3;
    const auto column = platform::roundHalfEven((Index - 1) / 4.0);
    entry->Y = PanelTop + 10 + row * 24;
    entry->X = static_cast<std::int32_t>(UnitBoxWidth + 250 + column * 100);
}

void frmGame::LoadMenuOptions(std::int32_t unitNum)
{
    for (TextItem& entry : MenuItems)
        entry.Visible = false;
    MenuHighlight = 0;
    int next = 1;
    const auto add = [&](const QString& caption) { SetMenuStats(next++, caption); };

    if (SelectedBuilding != None) {
        LoadBuildingMenuOptions();
        return;
    }
    ReloadUnitMenu = false;
    UnitRecord* selected = Units.at(SelectedUnit);
    const UnitRecord* self = Units.at(unitNum);
    if (!selected || !self)
        return;
    const UnitRecord& u = *selected;
    const QString name = GetUnitName(u.PIC);
    const int other = OnAnotherUnit(SelectedUnit);

    if (u.AMMO > 0 && other != None) {
        const UnitRecord& o = Units[other];
        const QString otherName = GetUnitName(o.PIC);
        // A unit carrying another cannot be merged away: its passenger would be lost.
        if (u.HP != MaxHitPoints && o.HP != MaxHitPoints && u.PIC == o.PIC && o.TRANS == None)
            add(QStringLiteral("Join"));
        if (u.TRANS == None
            && ((name == QLatin1String("Transport") && u.P == o.P)
                || (name == QLatin1String("Armored ATV") && u.P == o.P && transport::IsInfantry(o.PIC))))
            add(QStringLiteral("Load On To"));
        if (o.TRANS == None
            && ((otherName == QLatin1String("Transport") && u.P == o.P)
                || (otherName == QLatin1String("Armored ATV") && u.P == o.P && transport::IsInfantry(u.PIC))))
            add(QStringLiteral("Load In To"));
    }

    if (other == None) {
        // Every attack spends a round: without one there is nothing to attack with.
        for (int i = 1; i <= MaxUnits && u.AMMO > 0; ++i) {
            const UnitRecord& target = Units[i];
            if (i == unitNum || !target.V || target.HIDDEN || target.P == u.P
                || MaximumDamage(GetUnitName(self->PIC), GetUnitName(target.PIC)) <= 0)
                continue;
            const int distance = std::abs(target.X - u.X) + std::abs(target.Y - u.Y);
            const int reach = (IsAirType(target.PIC) ? u.RangeAir : u.RangeGround) * TileSize;
            if (distance <= reach) {
                add(QStringLiteral("Attack"));
                break;
            }
        }
        if (CanCapture(u.PIC)) {
            for (const BuildingRecord& building : Buildings) {
                if (building.Exists && building.X == u.X && building.Y - UnitRaise == u.Y && building.P != u.P)
                    add(QStringLiteral("Capture"));
            }
        }
        if (name == QLatin1String("Mobile Turret") && u.X == SelectedOriginX && u.Y == SelectedOriginY)
            add(QStringLiteral("Pack"));
        if (name == QLatin1String("Fixed Turret"))
            add(QStringLiteral("Unpack"));
        if (name == QLatin1String("Hover Tank Air"))
            add(QStringLiteral("Land"));
        if (name == QLatin1String("Hover Tank Ground"))
            add(QStringLiteral("Hover"));

        if (name == QLatin1String("Transport") || name == QLatin1String("Armored ATV")) {
            if (u.TRANS != None) {
                const int carried = u.TRANS;
                for (const Direction& d : Directions) {
                    SetUnitRange(GetUnitName(Units[carried].PIC), carried);
                    // Only onto the map: a unit set down beyond its edge could never come back.
                    const int neighbour = TileAt(u.X + d.dx, u.Y + d.dy);
                    if (neighbour != 0 && !IsTileBlocked(neighbour, carried))
                        add(QStringLiteral("Unload ") + QLatin1String(d.name));
                }
            } else {
                for (int i = 1; i <= MaxUnits; ++i) {
                    const UnitRecord& cargo = Units[i];
                    if (cargo.P != CurrentPlayer || !transport::MayBoard(cargo, u))
                        continue;
                    for (const Direction& d : Directions) {
                        if (cargo.X == u.X + d.dx && cargo.Y == u.Y + d.dy)
                            add(QStringLiteral("Load ") + QLatin1String(d.name));
                    }
                }
            }
        }
    }

    if (!IsAirType(u.PIC)) {
        for (int i = 1; i <= MaxUnits; ++i) {
            // Only a live carrier of the unit's own side, free and on the map, takes it on board.
            const UnitRecord& carrier = Units[i];
            if (!transport::MayBoard(u, carrier))
                continue;
            for (const Direction& d : Directions) {
                if (carrier.X == u.X + d.dx && carrier.Y == u.Y + d.dy)
                    add(QStringLiteral("Load Into ") + QLatin1String(d.name));
            }
        }
    }

    if (SelectedUnit != None) {
        if (other == None)
            add(QStringLiteral("Deselect"));
        add(QStringLiteral("Cancel"));
    }
}
