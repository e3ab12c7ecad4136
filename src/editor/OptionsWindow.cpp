#include "editor/OptionsWindow.h"

#include "data/Records.h"
#include "editor/Palettes.h"
#include "editor/frmEditor.h"
#include "editor/frmOptions.h"
#include "screen/PictureStore.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>

namespace {

const char* const VictoryCaptions[4] = {"Capture HQ", "Destroy All Units", "Capture X Properties:",
                                        "Last X Days:"};

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* textBox(int maxLength, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    return box;
}

// A check box value: 0 clear, 1 checked, 2 grey.
Qt::CheckState checkState(std::int16_t value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

void showCheck(QCheckBox* box, std::int16_t value)
{
    const QSignalBlocker quiet(box);
    box->setTristate(value == 2);
    box->setCheckState(checkState(value));
}

// A check box that stores 0 or 1 in `field` when the user clicks it.
void bindCheck(QCheckBox* box, std::int16_t& field)
{
    QObject::connect(box, &QCheckBox::clicked, box, [box, &field](bool checked) {
        field = checked ? 1 : 0;
        showCheck(box, field);
    });
}

void bindText(QLineEdit* box, QString& field)
{
    QObject::connect(box, &QLineEdit::textChanged, box, [&field](const QString& text) { field = text; });
}

void showText(QLineEdit* box, const QString& text)
{
    const QSignalBlocker quiet(box);
    if (box->text() != text)
        box->setText(text);
}

// An owner option at its fixed place; the row's places are 64 pixels apart, so
// the caption is set small and close to its circle to fit between them.
QRadioButton* ownerOption(const QString& text, int left, QWidget* page)
{
    constexpr int CaptionPixels = 11;
    auto* option = new QRadioButton(text, page);
    QFont font = option->font();
    font.setPixelSize(CaptionPixels);
    option->setFont(font);
    option->setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
    option->adjustSize();
    option->move(left, palettes::OwnerRowTop);
    return option;
}

// A page with pictures at fixed places.
QWidget* fixedPage(QWidget* page, PaletteView*& palette)
{
    page->setFixedSize(OptionsWindow::PageWidth, OptionsWindow::PageHeight);
    palette = new PaletteView(page);
    palette->setGeometry(0, 0, OptionsWindow::PageWidth, OptionsWindow::PageHeight);
    return page;
}

std::vector<PaletteView::Item> itemsOf(const std::vector<PalettePlace>& places, const auto& pictures)
{
    std::vector<PaletteView::Item> items;
    for (const PalettePlace& place : places) {
        const bool known = place.code >= 0 && place.code < int(pictures.size());
        items.push_back({place, known ? pictures[size_t(place.code)] : QImage()});
    }
    return items;
}

}  // namespace

OptionsWindow::OptionsWindow(frmOptions& options, const PictureStore& pictures, QWidget* parent)
    : QMainWindow(parent), options_(options), pictures_(pictures)
{
    setWindowTitle(Caption);
    buildMenus();

    pages = new QStackedWidget(this);
    framOptions = buildGeneralPage();
    framPlatform = buildTilePage();
    const QString neutral = QStringLiteral("Neutral");
    const auto player = [](int p) { return QStringLiteral("Player %1").arg(p); };
    framUnits = buildOwnerPage(QStringLiteral("Units"), imgUnit, &frmOptions::imgPlayer_Click, opPlayer,
                               {player(1), player(2), player(3), player(4), neutral}, palettes::UnitOwnerLeft,
                               &frmOptions::opPlayer_Click);
    framBuildings = buildOwnerPage(QStringLiteral("Buildings"), imgBuilding, &frmOptions::imgBuilding_Click,
                                   opBPlayer, {neutral, player(1), player(2), player(3), player(4)},
                                   palettes::BuildingOwnerLeft, &frmOptions::opBPlayer_Click);
    framSinglePlayer = buildSinglePlayerPage();
    // In the order of frmOptions::Page.
    for (QWidget* page : {framOptions, framPlatform, framUnits, framBuildings, framSinglePlayer})
        pages->addWidget(page);
    setCentralWidget(pages);
    // Ctrl+X is Exit anywhere in this window, also while typing: the text boxes
    // give up their Cut for it (the context menu still cuts).
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(child) || qobject_cast<QPlainTextEdit*>(child))
            child->installEventFilter(this);
    }
    // As wide as the palette pages: the form pages stretch, the palettes leave no empty band.
    resize(PageWidth + 1, sizeHint().height());
    refresh();
}

void OptionsWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    const auto command = [this](QMenu* menu, const char* text, const QKeySequence& keys, auto handler) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
        return action;
    };
    mnuOpen = command(file, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), &frmOptions::mnuOpen_Click);
    mnuSave = command(file, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), &frmOptions::mnuSave_Click);
    mnuClear = command(file, "&Fill", QKeySequence(Qt::CTRL | Qt::Key_F), &frmOptions::mnuClear_Click);
    mnuNew = command(file, "&New", QKeySequence(Qt::CTRL | Qt::Key_N), &frmOptions::mnuNew_Click);
    mnuExit = command(file, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X), &frmOptions::mnuExit_Click);

    QMenu* select = menuBar()->addMenu(QStringLiteral("&Select"));
    mnuOptions = command(select, "&General Options", QKeySequence(), &frmOptions::mnuOptions_Click);
    mnuPlatform = command(select, "&Platform Tileset", QKeySequence(), &frmOptions::mnuPlatform_Click);
    mnuUnits = command(select, "&Units", QKeySequence(), &frmOptions::mnuUnits_Click);
    mnuBuildings = command(select, "&Buildings", QKeySequence(), &frmOptions::mnuBuildings_Click);
    mnuSinglePlayer = command(select, "&Single Player", QKeySequence(), &frmOptions::mnuSinglePlayer_Click);
}

QWidget* OptionsWindow::buildGeneralPage()
{
    auto* page = new QGroupBox(QStringLiteral("General Options"));
    mapfile::MapDocument& map = options_.editor.Map;

    txtSizeX = textBox(SizeLength, page);
    txtSizeY = textBox(SizeLength, page);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), page);
    connect(txtSizeX, &QLineEdit::textChanged, this, [this](const QString& text) { options_.txtSizeX = text; });
    connect(txtSizeY, &QLineEdit::textChanged, this, [this](const QString& text) { options_.txtSizeY = text; });
    connect(cmdApply, &QPushButton::clicked, this, [this] { run(&frmOptions::cmdApply_Click); });

    txtMapName = textBox(NameLength, page);
    bindText(txtMapName, map.Name);
    txtMapDesc = new QPlainTextEdit(page);
    connect(txtMapDesc, &QPlainTextEdit::textChanged, this, [this, &map] {
        QString text = txtMapDesc->toPlainText();
        if (text.size() > TextLength) {
            text.truncate(TextLength);
            const QSignalBlocker quiet(txtMapDesc);
            txtMapDesc->setPlainText(text);
            txtMapDesc->moveCursor(QTextCursor::End);
        }
        map.Desc = text;
    });

    hPlayers = new QScrollBar(Qt::Horizontal, page);
    hPlayers->setRange(2, MaxPlayers);
    lblPlayers = caption(QStringLiteral("2"), page);
    connect(hPlayers, &QScrollBar::valueChanged, this, [this, &map](int value) {
        map.Players = static_cast<std::int16_t>(value);
        lblPlayers->setText(QString::number(value));
    });

    auto* size = new QHBoxLayout;
    size->addWidget(caption(QStringLiteral("X"), page));
    size->addWidget(txtSizeX);
    size->addWidget(caption(QStringLiteral("Y"), page));
    size->addWidget(txtSizeY);
    size->addWidget(cmdApply);
    auto* players = new QHBoxLayout;
    players->addWidget(hPlayers, 1);
    players->addWidget(lblPlayers);

    auto* form = new QFormLayout(page);
    form->addRow(caption(QStringLiteral("Map Size In Tiles"), page), size);
    form->addRow(caption(QStringLiteral("Map Name:"), page), txtMapName);
    form->addRow(caption(QStringLiteral("Description:"), page), txtMapDesc);
    form->addRow(caption(QStringLiteral("Number of Players:"), page), players);
    return page;
}

std::function<void(int)> OptionsWindow::forward(void (frmOptions::*handler)(int))
{
    return [this, handler](int value) { run([handler, value](frmOptions& o) { (o.*handler)(value); }); };
}

QWidget* OptionsWindow::buildTilePage()
{
    QWidget* page = fixedPage(new QFrame, picPlat);
    picPlat->setItems(itemsOf(palettes::tiles(), pictures_.picPlat));
    connect(picPlat, &PaletteView::picked, this, forward(&frmOptions::picPlat_Click));
    connect(picPlat, &PaletteView::backgroundClicked, this, [this] { run(&frmOptions::framPlatform_Click); });
    return page;
}

QWidget* OptionsWindow::buildOwnerPage(const QString& title, PaletteView*& palette, void (frmOptions::*pick)(int),
                                       std::array<QRadioButton*, 5>& options, const std::array<QString, 5>& captions,
                                       const int* lefts, void (frmOptions::*choose)(int))
{
    QWidget* page = fixedPage(new QGroupBox(title), palette);
    connect(palette, &PaletteView::picked, this, forward(pick));
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < 5; ++i) {
        options[size_t(i)] = ownerOption(captions[size_t(i)], lefts[i], page);
        group->addButton(options[size_t(i)], i);
    }
    connect(group, &QButtonGroup::idClicked, this, forward(choose));
    return page;
}

QWidget* OptionsWindow::buildSinglePlayerPage()
{
    auto* page = new QGroupBox(QStringLiteral("Single Player Options"));
    mapfile::MapDocument& map = options_.editor.Map;

    auto* enemies = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        chkEnemy[size_t(i)] = new QCheckBox(QStringLiteral("Player %1").arg(i + 2), page);
        bindCheck(chkEnemy[size_t(i)], map.Enemy[size_t(i)]);
        enemies->addWidget(chkEnemy[size_t(i)]);
    }

    std::int16_t* const victoryFields[4] = {&map.WinHQCapture, &map.WinDestroyAllUnits, &map.WinBuildingCapture,
                                            &map.WinSurvival};
    for (int i = 0; i < 4; ++i) {
        chkVictory[size_t(i)] = new QCheckBox(QString::fromLatin1(VictoryCaptions[i]), page);
        bindCheck(chkVictory[size_t(i)], *victoryFields[i]);
    }
    txtWinCapture = textBox(SizeLength, page);
    bindText(txtWinCapture, map.WinBuildingsNeeded);
    txtWinDays = textBox(SizeLength, page);
    bindText(txtWinDays, map.WinDays);
    auto* victory = new QGridLayout;
    victory->addWidget(chkVictory[0], 0, 0);
    victory->addWidget(chkVictory[1], 0, 1, 1, 2);
    victory->addWidget(chkVictory[2], 1, 0);
    victory->addWidget(txtWinCapture, 1, 1);
    victory->addWidget(chkVictory[3], 2, 0);
    victory->addWidget(txtWinDays, 2, 1);

    txtVictory = textBox(TextLength, page);
    bindText(txtVictory, map.VictoryMsg);
    txtDefeat = textBox(TextLength, page);
    bindText(txtDefeat, map.DefeatMsg);
    // The briefing and the next level live only in their boxes.
    txtBriefing = new QPlainTextEdit(page);
    txtBriefing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtBriefing->setMaximumHeight(48);
    txtNextLevel = textBox(NextLevelLength, page);

    hDayMsg = new QScrollBar(Qt::Horizontal, page);
    hDayMsg->setRange(1, frmOptions::DayCount);
    txtDayMsg = textBox(TextLength, page);
    connect(hDayMsg, &QScrollBar::valueChanged, this, [this](int day) {
        options_.hDayMsg_Change(day);
        txtDayMsg->setText(options_.txtDayMsg());
    });
    connect(txtDayMsg, &QLineEdit::textChanged, this,
            [this](const QString& text) { options_.txtDayMsg_Change(text); });

    auto* form = new QFormLayout;
    form->addRow(caption(QStringLiteral("Victory Message:"), page), txtVictory);
    form->addRow(caption(QStringLiteral("Defeat Message:"), page), txtDefeat);
    form->addRow(caption(QStringLiteral("Briefing:"), page), txtBriefing);
    form->addRow(caption(QStringLiteral("Day By Day Messages:"), page), new QWidget(page));
    form->addRow(caption(QStringLiteral("Day:"), page), hDayMsg);
    form->addRow(caption(QStringLiteral("Message:"), page), txtDayMsg);
    form->addRow(caption(QStringLiteral("Next Level To Load (no ext.):"), page), txtNextLevel);

    auto* column = new QVBoxLayout(page);
    column->addWidget(caption(QStringLiteral("Check If Player is Enemy (Unchecked are Allies)"), page));
    column->addLayout(enemies);
    column->addWidget(caption(QStringLiteral("Victory Conditions:"), page));
    column->addLayout(victory);
    column->addLayout(form);
    return page;
}

template <typename Command>
void OptionsWindow::run(Command command)
{
    std::invoke(command, options_);
    refresh();
    emit mapChanged();
}

void OptionsWindow::showPalettes()
{
    const frmEditor& editor = options_.editor;
    imgBuilding->setItems(itemsOf(palettes::buildings(editor.EdPlayer), pictures_.imgBuilding));
    // Players 1 and 3 face right, 2 and 4 left; "Neutral" shows no unit.
    const int player = editor.UnitOwnerOption + 1;
    if (player >= 1 && player <= MaxPlayers) {
        const auto& sprites = (player % 2 ? pictures_.imgPlayerRight : pictures_.imgPlayerLeft)[size_t(player)];
        std::vector<PaletteView::Item> items = itemsOf(palettes::units(), sprites);
        // The store makes sprites of unit types only; element 0 is their template.
        for (PaletteView::Item& item : items) {
            if (item.place.code == 0 && item.picture.isNull())
                item.picture = palettes::unitTemplate();
        }
        imgUnit->setItems(std::move(items));
    } else {
        imgUnit->setItems({});
    }
}

void OptionsWindow::refresh()
{
    const frmEditor& editor = options_.editor;
    const mapfile::MapDocument& map = editor.Map;
    pages->setCurrentIndex(int(options_.page));

    showText(txtSizeX, options_.txtSizeX);
    showText(txtSizeY, options_.txtSizeY);
    showText(txtMapName, map.Name);
    if (txtMapDesc->toPlainText() != map.Desc) {
        const QSignalBlocker quiet(txtMapDesc);
        txtMapDesc->setPlainText(map.Desc);
    }
    {
        const QSignalBlocker quiet(hPlayers);
        hPlayers->setValue(map.Players);
    }
    lblPlayers->setText(QString::number(hPlayers->value()));

    for (int i = 0; i < 3; ++i)
        showCheck(chkEnemy[size_t(i)], map.Enemy[size_t(i)]);
    const std::int16_t victory[4] = {map.WinHQCapture, map.WinDestroyAllUnits, map.WinBuildingCapture,
                                     map.WinSurvival};
    for (int i = 0; i < 4; ++i)
        showCheck(chkVictory[size_t(i)], victory[i]);
    showText(txtWinCapture, map.WinBuildingsNeeded);
    showText(txtWinDays, map.WinDays);
    showText(txtVictory, map.VictoryMsg);
    showText(txtDefeat, map.DefeatMsg);
    {
        const QSignalBlocker quiet(hDayMsg);
        hDayMsg->setValue(options_.hDayMsg);
    }
    // Also after Open: the box must never hold another map's message.
    showText(txtDayMsg, options_.txtDayMsg());

    opBPlayer[size_t(editor.EdPlayer)]->setChecked(true);
    opPlayer[size_t(editor.UnitOwnerOption)]->setChecked(true);
    showPalettes();
}

bool OptionsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Left unaccepted, the key goes on to the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride
        && QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) == mnuExit->shortcut()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void OptionsWindow::closeEvent(QCloseEvent* event)
{
    // The window only hides; the editor keeps its state for the next opening.
    event->accept();
    emit closed();
}
