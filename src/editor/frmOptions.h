#pragma once
// The map editor's tool window: its pages and the placement mode they set, the
// palette picks, the owner choices, the map size, New, Fill, Exit, the day
// messages, and Open and Save. Plain rules; OptionsWindow shows them.

#include <QString>
#include <cstdint>
#include <functional>

class frmEditor;

class frmOptions {
public:
    enum class Page { GeneralOptions, Platform, Units, Buildings, SinglePlayer };

    // A side of the map, and the most tiles, the size boxes accept.
    static constexpr int MaxSide = 99;
    static constexpr int DayCount = 5;

    static inline const QString Title = QStringLiteral("Vesperfall");
    static inline const QString BadSize = QStringLiteral("The map size must be two whole numbers from 1 to 99.");
    static inline const QString TooManyTiles = QStringLiteral("A map can have at most 750 tiles.");
    static inline const QString NotPlayable =
        QStringLiteral("A battle holds at most 600 tiles: this map can be edited and saved, but not played.");
    static inline const QString NewQuestion = QStringLiteral("Are you sure you want to create a new map?");
    static inline const QString FillQuestion =
        QStringLiteral("The map will fill with the currently selected map tile.  Is this okay?");
    static inline const QString FillCaption = QStringLiteral("Confirmation");
    static inline const QString ExitQuestion = QStringLiteral("Are you sure you want to exit Vesperfall?");
    static inline const QString UnsavedQuestion =
        QStringLiteral("The map has changes that are not saved.  Are you sure you want to lose them?");
    // "Apply will reset every tile to the blank tile and remove 2 units and 1
    // building outside the new size, including the Headquarters of player 2.  Is this okay?"
    static inline const QString ApplyQuestion = QStringLiteral("Apply will %1.  Is this okay?");
    static inline const QString ResetClause = QStringLiteral("reset every tile to the blank tile");
    static inline const QString ShrinkClause = QStringLiteral("remove %1 outside the new size%2");
    static inline const QString ShrinkHeadquarters = QStringLiteral(", including the Headquarters of %1");
    static inline const QString NoHeadquarters = QStringLiteral("Player %1 has no Headquarters.");
    static inline const QString SavePrompt =
        QStringLiteral("Enter the name to save without any extenstions.  Example: LEVEL101");
    static inline const QString OpenPrompt =
        QStringLiteral("Enter the name of the file to open without any extensions.  Example: LEVEL101");
    static inline const QString BadName = QStringLiteral("A map cannot be called \"%1\".");
    static inline const QString SaveFailed = QStringLiteral("The map could not be saved.");
    static inline const QString NotFound = QStringLiteral("The map \"%1\" was not found.");
    static inline const QString NoValidSize = QStringLiteral("The map \"%1\" has no size the editor can hold.");

    explicit frmOptions(frmEditor& editor) : editor(editor) {}

    // The "&Select" menu: each page sets its mode and clears the pick.
    void mnuOptions_Click();
    void mnuPlatform_Click();
    void mnuUnits_Click();
    void mnuBuildings_Click();
    void mnuSinglePlayer_Click();

    // Palette picks and owner choices.
    void picPlat_Click(int index);
    void imgBuilding_Click(int index);
    void imgPlayer_Click(int index);
    void framPlatform_Click();
    void opBPlayer_Click(int index);
    void opPlayer_Click(int index);

    // A new grid of blank tiles in the size of the size boxes; false (and
    // nothing changed) when refused. Asks first when painted tiles or pieces
    // would be lost; a No puts the map's own size back in the boxes.
    bool cmdApply_Click();
    void mnuNew_Click();
    void mnuClear_Click();
    // Asks, about unsaved changes when the map has any, then ends the program
    // through exitProgram.
    void mnuExit_Click();
    void hDayMsg_Change(int day);
    void txtDayMsg_Change(const QString& text);
    // The message of the day the day bar shows.
    QString txtDayMsg() const;

    void mnuSave_Click();
    void mnuOpen_Click();

    // The size boxes show the map's size.
    void ShowMapSize();
    // True when the map being edited may be thrown away: it has no unsaved
    // changes, or the user said Yes to losing them.
    bool MayDiscardMap();

    frmEditor& editor;
    Page page = Page::GeneralOptions;
    QString txtSizeX = QStringLiteral("25");
    QString txtSizeY = QStringLiteral("16");
    int hDayMsg = 1;
    std::function<void()> exitProgram;

private:
    void SwitchPage(Page to, std::uint8_t mode);
    // Refuses a size the editor cannot hold and warns of one a battle cannot.
    static bool AcceptSize(int columns, int rows);
};
