// Texts on the battle window: the info box, the clock, floating messages and
// the current-player line.

#include "battle/frmGame.h"
#include "platform/Text.h"

using namespace modStrat;

namespace {

constexpr int InfoBoxFirstLine = 3;
constexpr int InfoBoxLastLine = 15;
constexpr int CurrentPlayerLineOffset = 200;  // from the right edge
const QString MovesLeftPrefix = QStringLiteral("Moves Left: ");

platform::FontSpec fontOf(const TextItem& item)
{
    return {item.FontName, item.Size, item.Bold, item.Italic, item.Underline};
}

void drawItem(platform::Surface& surface, const TextItem& item)
{
    surface.drawText(item.X, item.Y, item.Text, fontOf(item), platform::colorFromBgrText(item.Color));
}

}  // namespace

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
            drawItem(surface, text);
        }
        if (i <= GameMessages.Size && GameMessages[i].Visible) {
            TextItem& message = GameMessages[i];
            if (--message.Life <= 0)
                message.Visible = false;
            drawItem(surface, message);
        }
    }

    CurrentPlayerText.Text = QStringLiteral("Current Player: ") + Players[CurrentPlayer].Name;
    const platform::FontSpec font{CurrentPlayerText.FontName, CurrentPlayerText.Size, false, false, false};
    surface.drawText(surface.width() - CurrentPlayerLineOffset, CurrentPlayerText.Y, CurrentPlayerText.Text, font,
                     platform::colorFromBgrText(CurrentPlayerText.Color));
}
