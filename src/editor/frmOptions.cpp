// The tool window's pages, palettes, owner choices and whole-map commands.

#include "editor/frmOptions.h"

#include "data/GameTypes.h"
#include "data/Records.h"
#include "editor/frmEditor.h"
#include "platform/Dialogs.h"
#include "platform/Text.h"

#include <algorithm>

using platform::MessageButtons;
using platform::MessageResult;

namespace {

// New lays bare floor.
constexpr int NewMapTerrain = 0;

bool confirmed(const QString& question, const QString& caption)
{
    return platform::messageBox(question, MessageButtons::YesNo, caption) == MessageResult::Yes;
}

// A question whose Yes throws work away: a reflex Enter or Space keeps the work.
bool mayThrowAway(const QString& question, const QString& caption = frmOptions::Title)
{
    return platform::messageBox(question, MessageButtons::YesNoKeep, caption) == MessageResult::Yes;
}

bool mayLoseChanges()
{
    return mayThrowAway(frmOptions::UnsavedQuestion);
}

QString counted(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "1", "1 and 2", "1, 2 and 3".
QString listed(const QList<int>& numbers)
{
    QStringList parts;
    for (const int n : numbers)
        parts << QString::number(n);
    const QString last = parts.takeLast();
    return parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// What Apply would lose, as one question; empty when it loses nothing.
QString applyQuestion(bool painted, const OffGridPieces& off)
{
    QStringList lost;
    if (painted)
        lost << frmOptions::ResetClause;
    if (!off.empty()) {
        QStringList what;
        if (!off.units.isEmpty())
            what << counted(off.units.size(), "unit", "units");
        if (!off.buildings.isEmpty())
            what << counted(off.buildings.size(), "building", "buildings");
        QString headquarters;
        if (!off.headquarters.isEmpty()) {
            const QString whose = off.headquarters.size() == 1 ? QStringLiteral("player ") : QStringLiteral("players ");
            headquarters = frmOptions::ShrinkHeadquarters.arg(whose + listed(off.headquarters));
        }
        lost << frmOptions::ShrinkClause.arg(what.join(QStringLiteral(" and ")), headquarters);
    }
    return lost.isEmpty() ? QString() : frmOptions::ApplyQuestion.arg(lost.join(QStringLiteral(" and ")));
}

}  // namespace

void frmOptions::SwitchPage(Page to, std::uint8_t mode)
{
    page = to;
    editor.EdMode = mode;
    editor.EdSelected = 0;
}

void frmOptions::mnuOptions_Click() { SwitchPage(Page::GeneralOptions, EditMode::None); }

void frmOptions::mnuPlatform_Click()
{
    SwitchPage(Page::Platform, EditMode::Terrain);
    // Units would take the clicks meant for the tiles under them.
    editor.UnitsShown = false;
}

void frmOptions::mnuUnits_Click()
{
    SwitchPage(Page::Units, EditMode::Units);
    editor.UnitsShown = true;
}

void frmOptions::mnuBuildings_Click() { SwitchPage(Page::Buildings, EditMode::Buildings); }

void frmOptions::mnuSinglePlayer_Click() { SwitchPage(Page::SinglePlayer, EditMode::None); }

void frmOptions::picPlat_Click(int index)
{
    editor.EdSelected = static_cast<std::int16_t>(index);
    editor.EdMode = EditMode::Terrain;
}

void frmOptions::imgBuilding_Click(int index) { editor.EdSelected = static_cast<std::int16_t>(index); }

void frmOptions::imgPlayer_Click(int index) { editor.EdSelected = static_cast<std::int16_t>(index); }

void frmOptions::framPlatform_Click() { editor.EdSelected = 0; }

void frmOptions::opBPlayer_Click(int index)
{
    if (index >= 0 && index <= MaxPlayers)
        editor.EdPlayer = static_cast<std::uint8_t>(index);
}

void frmOptions::opPlayer_Click(int index)
{
    if (index >= 0 && index <= frmEditor::NeutralOwnerOption)
        editor.UnitOwnerOption = index;
}

bool frmOptions::AcceptSize(int columns, int rows)
{
    if (columns < 1 || columns > MaxSide || rows < 1 || rows > MaxSide) {
        platform::messageBox(BadSize, MessageButtons::Ok, Title);
        return false;
    }
    if (columns * rows > mapfile::EditorTileLimit) {
        platform::messageBox(TooManyTiles, MessageButtons::Ok, Title);
        return false;
    }
    if (columns * rows > mapfile::BattleTileLimit)
        platform::messageBox(NotPlayable, MessageButtons::Ok, Title);
    return true;
}

bool frmOptions::cmdApply_Click()
{
    // Checked before anything changes: a refused size leaves the map as it was.
    std::int16_t columns = 0;
    std::int16_t rows = 0;
    if (!platform::parseInt16(txtSizeX, columns) || !platform::parseInt16(txtSizeY, rows)) {
        platform::messageBox(BadSize, MessageButtons::Ok, Title);
        return false;
    }
    if (!AcceptSize(columns, rows))
        return false;
    // The new grid is blank, also when it grows, and pieces left off it are
    // freed for good: growing it again brings none back.
    const QString question = applyQuestion(editor.Painted(), editor.offGrid(columns, rows));
    if (!question.isEmpty() && !mayThrowAway(question)) {
        ShowMapSize();
        return false;
    }
    editor.Resize(columns, rows);
    return true;
}

void frmOptions::ShowMapSize()
{
    txtSizeX = QString::number(editor.Map.MapWidth);
    txtSizeY = QString::number(editor.Map.MapHeight);
}

void frmOptions::mnuNew_Click()
{
    if (!mayThrowAway(NewQuestion))
        return;
    editor.FillTiles(NewMapTerrain);
    editor.ClearPieces();
    editor.MarkUnchanged();
}

bool frmOptions::MayDiscardMap()
{
    if (editor.Modified() && !mayLoseChanges())
        return false;
    editor.MarkUnchanged();
    return true;
}

void frmOptions::mnuClear_Click()
{
    // Whatever palette the pick came from, it is taken as a terrain code.
    if (mayThrowAway(FillQuestion, FillCaption))
        editor.FillTiles(editor.EdSelected);
}

void frmOptions::mnuExit_Click()
{
    // With unsaved changes, losing them is the question; its Yes ends the program too.
    const bool yes = editor.Modified() ? mayLoseChanges() : confirmed(ExitQuestion, Title);
    if (yes && exitProgram)
        exitProgram();
}

void frmOptions::hDayMsg_Change(int day)
{
    hDayMsg = std::clamp(day, 1, DayCount);
}

void frmOptions::txtDayMsg_Change(const QString& text)
{
    editor.Map.DayMsg[size_t(hDayMsg - 1)] = text;
}

QString frmOptions::txtDayMsg() const
{
    return editor.Map.DayMsg[size_t(hDayMsg - 1)];
}
