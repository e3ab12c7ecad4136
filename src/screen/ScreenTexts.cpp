// Texts on the battle window: the info box, the clock, floating messages and
// the current-player line.

#include "battle/frmGame.h"
#include "platform/Text.h"

#include <QFontMetrics>
#include <algorithm>

using namespace modStrat;

namespace {

constexpr int InfoBoxFirstLine = 3;
constexpr int InfoBoxLastLine = 15;
constexpr int CurrentPlayerLineOffset = 200;  // from the right edge
const QString MovesLeftPrefix = QStringLiteral("Moves Left: ");

constexpr int FirstMessageSlot = 3;          // slots 1 and 2 belong to ShowGameMessage
constexpr int ViewMessageLife = 50;
constexpr int DamageMessageX = 150;
constexpr int DamageMessageY[3] = {300, 350, 400};
constexpr int CaptureMessageOffset = 35;
constexpr int CaptureDoneMargin = 200;       // from the right edge
constexpr int CaptureProgressMargin = 275;

platform::FontSpec fontOf(const TextItem& item)
{
    return {item.FontName, item.Size, item.Bold, item.Italic, item.Underline};
}

const platform::FontSpec ViewMessageFont{QStringLiteral("Impact"), 12};

// A floating message of an attack or a capture in the lowest free slot 3..10; none when all are taken.
void showViewMessage(const QString& text, int x, int y)
{
    for (int slot = FirstMessageSlot; slot <= GameMessages.Size; ++slot) {
        TextItem& message = GameMessages[slot];
        if (message.Visible)
            continue;
        message.Text = text;
        message.X = x;
        message.Y = y;
        message.Bold = ViewMessageFont.bold;
        message.FontName = ViewMessageFont.face;
        message.Size = ViewMessageFont.points;
        message.Color = QStringLiteral("65535");
        message.Life = ViewMessageLife;
        message.Visible = true;
        return;
    }
}

}  // namespace

void frmGame::DrawTextItem(const TextItem& item)
{
    std::int32_t colour = 0;
    if (platform::parseInt32(item.Color, colour) && colour >= 0 && colour <= 0xFFFFFF)
        textColor_ = platform::colorFromBgr(static_cast<std::uint32_t>(colour));
    surface.drawText(item.X, item.Y, item.Text, fontOf(item), textColor_);
}

void frmGame::DrawText()
{
    for (int i = 1; i <= ScreenTexts.Size; ++i) {
        TextItem& text = ScreenTexts[i];
        if (text.Visible) {
            // Drawn once more in this frame, then gone while no info box is shown.
            if (i >= InfoBoxFirstLine && i <= InfoBoxLastLine && !UnitBoxShown)
                text.Visible = false;
            // The moves line follows the selected unit while it moves.
            if (text.Visible && text.Text.startsWith(MovesLeftPrefix) && Units.valid(SelectedUnit))
                text.Text = MovesLeftPrefix + QString::number(Units[SelectedUnit].Moves);
            DrawTextItem(text);
        }
        if (i <= GameMessages.Size && GameMessages[i].Visible) {
            TextItem& message = GameMessages[i];
            if (--message.Life <= 0)
                message.Visible = false;
            DrawTextItem(message);
        }
    }

    if (const PlayerRecord* player = Players.at(CurrentPlayer))
        CurrentPlayerText.Text = QStringLiteral("Current Player: ") + player->Name;
    TextItem line = CurrentPlayerText;
    line.Bold = line.Italic = line.Underline = false;
    line.X = surface.width() - CurrentPlayerLineOffset;
    DrawTextItem(line);
}

void frmGame::ViewDamage(std::int16_t Damage, std::int16_t Defender, std::int16_t CounterDamage,
                         std::int16_t Attacker)
{
    // Unit numbers may come from another machine: a message that names no unit is not shown.
    showViewMessage(QStringLiteral("Player %1 did %2 damage").arg(int(CurrentPlayer)).arg(Damage), DamageMessageX,
                    DamageMessageY[0]);
    if (const UnitRecord* defender = Units.at(Defender))
        showViewMessage(QStringLiteral("Leaving %1 HP").arg(defender->HP), DamageMessageX, DamageMessageY[1]);
    if (const UnitRecord* attacker = Units.at(Attacker))
        showViewMessage(QStringLiteral("And took %1 damage leaving %2").arg(CounterDamage).arg(attacker->HP),
                        DamageMessageX, DamageMessageY[2]);
}

void frmGame::ViewCapture(std::int32_t Building, std::int32_t Unit, bool Captured)
{
    const UnitRecord* unit = Units.at(Unit);
    if (!unit)
        return;
    const QString prefix = QStringLiteral("Player %1's %2").arg(int(CurrentPlayer)).arg(GetUnitName(unit->PIC));
    const int y = unit->Y + CaptureMessageOffset;
    // The margins keep the text near the unit; our font can still be wider than they
    // allow, so a text that would cross the right edge moves left just enough to fit.
    const auto show = [&](const QString& text, int margin) {
        const int width = QFontMetrics(platform::resolveFont(ViewMessageFont)).horizontalAdvance(text);
        const int x = std::min({unit->X - CaptureMessageOffset, surface.width() - margin, surface.width() - width});
        showViewMessage(text, x, y);
    };
    if (Captured) {
        show(prefix + QStringLiteral(" captured the building."), CaptureDoneMargin);
        return;
    }
    if (const BuildingRecord* building = Buildings.at(unit->CAP))
        show(prefix + QStringLiteral(" captured %1 Capture Points.  %2 remaining.").arg(unit->HP).arg(building->CAP),
             CaptureProgressMargin);
}

void frmGame::AddText() {}
