#include "frontend/frmLocalGame.h"

#include "data/GameData.h"
#include "frontend/MapPreview.h"
#include "frontend/WindowLook.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace modStrat;

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

frmLocalGame::frmLocalGame(const PictureStore& pictures, QWidget* parent)
    : QWidget(parent),
      txtNickname(new QLineEdit(this)),
      chkComputer(new QCheckBox(QStringLiteral("Computer Player"), this)),
      cmbTeam(new QComboBox(this)),
      cmbRace(new QComboBox(this)),
      chkTime(new QCheckBox(QStringLiteral("Enable Time Limit"), this)),
      txtTime(new QLineEdit(QStringLiteral("60"), this)),
      cmdChooseMap(new QPushButton(QStringLiteral("&Browse"), this)),
      cmdStart(new QPushButton(QStringLiteral("Start &Game"), this)),
      lblCurrentMap(plainLabel(QStringLiteral("No Map Selected"), this)),
      lblDescription(plainLabel(QStringLiteral("No Description"), this)),
      preview(new MapPreview(pictures, this)),
      playersGroup_(new QButtonGroup(this)),
      curPlayerGroup_(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Vesperfall - Setup Local Game"));
    VF_NAMED(cmdChooseMap);
    VF_NAMED(cmdStart);
    // The preview has its place in a client area of this size; the rest is laid
    // out around it: the players on the left, the map's header below it.
    setFixedSize(MapPreview::WindowSize);
    preview->move(MapPreview::WindowPosition);
    preview->lower();

    auto* banner = plainLabel(QStringLiteral("Local Game"), this);
    QFont bannerFont = banner->font();
    bannerFont.setPixelSize(26);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    banner->setGeometry(12, 6, 400, 36);

    auto* countBox = new QGroupBox(QStringLiteral("Number of Players"), this);
    auto* countRow = new QHBoxLayout(countBox);
    for (int i = 0; i < 3; ++i) {
        opPlayers[i] = new QRadioButton(QString::number(i + 2), countBox);
        playersGroup_->addButton(opPlayers[i], i);
        countRow->addWidget(opPlayers[i]);
    }
    countRow->addStretch();

    auto* playerBox = new QGroupBox(QStringLiteral("Player Options"), this);
    auto* current = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        opCurPlayer[i] = new QRadioButton(QString::number(i + 1), playerBox);
        // Hidden players keep their place: the row does not shift with the count.
        QSizePolicy policy = opCurPlayer[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        opCurPlayer[i]->setSizePolicy(policy);
        curPlayerGroup_->addButton(opCurPlayer[i], i);
        current->addWidget(opCurPlayer[i]);
    }
    current->addStretch();
    cmbTeam->addItems({QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Green"), QStringLiteral("Yellow")});
    cmbRace->addItems({QStringLiteral("Empyreians"), QStringLiteral("Qorans")});
    auto* playerColumn = new QVBoxLayout(playerBox);
    playerColumn->setSpacing(3);
    playerColumn->addWidget(plainLabel(QStringLiteral("Current Player:"), playerBox));
    playerColumn->addLayout(current);
    playerColumn->addWidget(plainLabel(QStringLiteral("Nickname:"), playerBox));
    playerColumn->addWidget(txtNickname);
    playerColumn->addWidget(chkComputer);
    auto* teamRace = new QFormLayout;
    teamRace->addRow(plainLabel(QStringLiteral("Team:"), playerBox), cmbTeam);
    teamRace->addRow(plainLabel(QStringLiteral("Race:"), playerBox), cmbRace);
    playerColumn->addLayout(teamRace);

    txtTime->setEnabled(false);
    auto* seconds = new QHBoxLayout;
    seconds->addWidget(plainLabel(QStringLiteral("Seconds Per Turn:"), this));
    seconds->addWidget(txtTime);

    auto* left = new QWidget(this);
    left->setGeometry(8, 44, MapPreview::WindowPosition.x() - 14, 400);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->setSpacing(6);
    leftColumn->addWidget(countBox);
    leftColumn->addWidget(playerBox);
    leftColumn->addWidget(chkTime);
    leftColumn->addLayout(seconds);
    leftColumn->addStretch();

    // Below the border: our maps end above it, and a taller one runs on under these texts.
    const int headerTop = MapPreview::WindowPosition.y() + MapPreview::BackgroundHeight + 2 * MapPreview::Border + 8;
    auto* header = new QWidget(this);
    header->setGeometry(MapPreview::WindowPosition.x(), headerTop,
                        MapPreview::WindowSize.width() - MapPreview::WindowPosition.x() - 8, 104);
    lblCurrentMap->setWordWrap(true);
    lblDescription->setWordWrap(true);
    auto* headerGrid = new QGridLayout(header);
    headerGrid->setContentsMargins(0, 0, 0, 0);
    headerGrid->addWidget(plainLabel(QStringLiteral("Current Map:"), header), 0, 0, Qt::AlignTop);
    headerGrid->addWidget(lblCurrentMap, 0, 1, Qt::AlignTop);
    headerGrid->addWidget(plainLabel(QStringLiteral("Description:"), header), 1, 0, Qt::AlignTop);
    headerGrid->addWidget(lblDescription, 1, 1, Qt::AlignTop);
    headerGrid->setColumnStretch(1, 1);
    headerGrid->setRowStretch(1, 1);

    const int buttonTop = MapPreview::WindowSize.height() - 40;
    cmdChooseMap->setGeometry(MapPreview::WindowPosition.x(), buttonTop, 110, 30);
    cmdStart->setGeometry(MapPreview::WindowSize.width() - 8 - 110, buttonTop, 110, 30);

    connect(playersGroup_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            opPlayers_Click(id);
    });
    connect(curPlayerGroup_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            opCurPlayer_Click(id);
    });
    connect(txtNickname, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (PlayerRecord* player = Players.at(CurPlayer))
            player->Name = text;
    });
    connect(chkComputer, &QCheckBox::toggled, this, [this](bool on) {
        if (PlayerRecord* player = Players.at(CurPlayer))
            player->IsComputer = on;
    });
    connect(chkTime, &QCheckBox::toggled, txtTime, &QWidget::setEnabled);
    connect(cmdChooseMap, &QPushButton::clicked, this, &frmLocalGame::cmdChooseMap_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmLocalGame::cmdStart_Click);
    txtNickname->installEventFilter(this);

    Form_Load();
}

void frmLocalGame::Form_Load()
{
    for (int p = 1; p <= MaxPlayers; ++p) {
        Players[p].Name = QStringLiteral("Player %1").arg(p);
        Players[p].AILevel = ComputerLevel;
    }
    opPlayers[0]->setChecked(true);   // two players; player 1 edited
    // Only a chosen map lets a battle start.
    cmdStart->setEnabled(false);
}

void frmLocalGame::opPlayers_Click(int index)
{
    NumPlayers = index + 2;
    for (int i = 0; i < 4; ++i)
        opCurPlayer[i]->setVisible(i < NumPlayers);
    // Player 1 is edited again, also when it already was.
    if (opCurPlayer[0]->isChecked())
        opCurPlayer_Click(0);
    else
        opCurPlayer[0]->setChecked(true);
}

void frmLocalGame::opCurPlayer_Click(int index)
{
    CurPlayer = index + 1;
    txtNickname->setText(Players[CurPlayer].Name);
    chkComputer->setChecked(Players[CurPlayer].IsComputer);
}

void frmLocalGame::txtNickname_MouseDown()
{
    // A default name goes at the first click, so a name can be typed at once.
    if (txtNickname->text().startsWith(QLatin1String("Player")))
        txtNickname->clear();
}

bool frmLocalGame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtNickname && event->type() == QEvent::MouseButtonPress)
        txtNickname_MouseDown();
    return QWidget::eventFilter(watched, event);
}

void frmLocalGame::cmdChooseMap_Click()
{
    const auto file = platform::openFileBox(QStringLiteral("Select Map"), platform::programFolder(),
                                            QStringLiteral("V:FL Level (*.spw)"));
    if (!file || file->isEmpty())
        return;

    const MapPreviewInfo info = preview->showMap(*file);
    mapFile = *file;
    // A map without a PLAYERS number takes no players, rather than the last map's count.
    MapPlayers = info.players.value_or(0);
    lblCurrentMap->setText(info.caption(*file));
    lblDescription->setText(info.description);
    cmdStart->setEnabled(info.drawable);
}

void frmLocalGame::cmdStart_Click()
{
    if (MapPlayers < NumPlayers) {
        platform::messageBox(TooManyPlayers);
        return;
    }
    std::int32_t limit = NoTimeLimit;
    if (chkTime->isChecked()) {
        // Text that is no whole number, or a turn of no time, would leave the battle a stale or broken clock.
        std::int16_t seconds = 0;
        if (!platform::parseInt16(txtTime->text(), seconds) || seconds < 1) {
            platform::messageBox(BadSeconds);
            return;
        }
        limit = seconds;
    }
    TimeLimit = limit;
    MapPath = mapFile;
    IsOfflineGame = true;
    PlayerCount = NumPlayers;
    StartGamePending = true;
    close();
    emit startRequested();
}
