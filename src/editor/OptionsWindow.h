#pragma once
// The tool window on screen: the File and Select menus, the five pages with
// their controls and palettes. Each control writes to frmOptions or to the map
// being edited; refresh() shows them again. Holds no rules.

#include <QMainWindow>
#include <array>
#include <functional>

class PaletteView;
class PictureStore;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;
class QWidget;
class frmOptions;

class OptionsWindow : public QMainWindow {
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("Options Window");
    // Longest texts the boxes take.
    static constexpr int NameLength = 25;
    static constexpr int TextLength = 150;
    static constexpr int SizeLength = 2;
    static constexpr int NextLevelLength = 100;
    // A page as the palettes' places count it.
    static constexpr int PageWidth = 425;
    static constexpr int PageHeight = 347;

    OptionsWindow(frmOptions& options, const PictureStore& pictures, QWidget* parent = nullptr);

    // Every control shows the model again.
    void refresh();

    QAction* mnuOpen;
    QAction* mnuSave;
    QAction* mnuClear;
    QAction* mnuNew;
    QAction* mnuExit;
    QAction* mnuOptions;
    QAction* mnuPlatform;
    QAction* mnuUnits;
    QAction* mnuBuildings;
    QAction* mnuSinglePlayer;

    QStackedWidget* pages;
    QWidget* framOptions;
    QWidget* framPlatform;
    QWidget* framUnits;
    QWidget* framBuildings;
    QWidget* framSinglePlayer;

    QLineEdit* txtSizeX;
    QLineEdit* txtSizeY;
    QPushButton* cmdApply;
    QLineEdit* txtMapName;
    QPlainTextEdit* txtMapDesc;
    QScrollBar* hPlayers;
    QLabel* lblPlayers;

    PaletteView* picPlat;
    PaletteView* imgBuilding;
    PaletteView* imgUnit;
    std::array<QRadioButton*, 5> opBPlayer{};
    std::array<QRadioButton*, 5> opPlayer{};

    std::array<QCheckBox*, 3> chkEnemy{};
    std::array<QCheckBox*, 4> chkVictory{};
    QLineEdit* txtWinCapture;
    QLineEdit* txtWinDays;
    QLineEdit* txtVictory;
    QLineEdit* txtDefeat;
    QPlainTextEdit* txtBriefing;
    QScrollBar* hDayMsg;
    QLineEdit* txtDayMsg;
    QLineEdit* txtNextLevel;

Q_SIGNALS:
    // A command changed the map's tables or size: the canvas must show it.
    void mapChanged();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QWidget* buildGeneralPage();
    QWidget* buildTilePage();
    // A palette page with its row of five owner options.
    QWidget* buildOwnerPage(const QString& title, PaletteView*& palette, void (frmOptions::*pick)(int),
                            std::array<QRadioButton*, 5>& options, const std::array<QString, 5>& captions,
                            const int* lefts, void (frmOptions::*choose)(int));
    // A slot that hands a palette code or an option index to a handler of the model.
    std::function<void(int)> forward(void (frmOptions::*handler)(int));
    QWidget* buildSinglePlayerPage();
    // Runs a command of the model, then shows its outcome everywhere.
    template <typename Command>
    void run(Command command);
    void showPalettes();

    frmOptions& options_;
    const PictureStore& pictures_;
};
