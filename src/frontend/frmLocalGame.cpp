#include "frontend/frmLocalGame.h"

#include "data/GameData.h"
#include "frontend/MapPreview.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
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

    auto* banner = plainLabel(QStringLiteral("Local Game"), this);
    QFont bannerFont = banner->font();
    bannerFont.setPixelSize(26);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);

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
        // Hidden players keep their place: the window does not change size with the count.
        QSizePolicy policy = opCurPlayer[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        opCurPlayer[i]->setSizePolicy(policy);
        curPlayerGroup_->addButton(opCurPlayer[i], i);
        current->addWidget(opCurPlayer[i]);
    }
    current->addStretch();
    cmbTeam->addItems({QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Green"), QStringLiteral("Yellow")});
    cmbRace->addItems({QStringLiteral("Empyreians"), QStringLiteral("Qorans")});
    auto* playerForm = new QFormLayout(playerBox);
    playerForm->addRow(plainLabel(QStringLiteral("Current Player:"), playerBox), current);
    playerForm->addRow(plainLabel(QStringLiteral("Nickname:"), playerBox), txtNickname);
    playerForm->addRow(QString(), chkComputer);
    playerForm->addRow(plainLabel(QStringLiteral("Team:"), playerBox), cmbTeam);
    playerForm->addRow(plainLabel(QStringLiteral("Race:"), playerBox), cmbRace);

    txtTime->setEnabled(false);
    txtTime->setMaximumWidth(80);
    auto* seconds = new QHBoxLayout;
    seconds->addWidget(plainLabel(QStringLiteral("Seconds Per Turn:"), this));
    seconds->addWidget(txtTime);
    seconds->addStretch();

    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    left->addWidget(countBox);
    left->addWidget(playerBox);
    left->addSpacing(6);
    left->addWidget(chkTime);
    left->addLayout(seconds);
    left->addStretch();

    lblCurrentMap->setWordWrap(true);
    lblDescription->setWordWrap(true);
    // Room for a description of three lines before the preview moves down.
    lblDescription->setMinimumHeight(3 * fontMetrics().lineSpacing());
    auto* header = new QGridLayout;
    header->addWidget(plainLabel(QStringLiteral("Current Map:"), this), 0, 0, Qt::AlignTop);
    header->addWidget(lblCurrentMap, 0, 1, Qt::AlignTop);
    header->addWidget(plainLabel(QStringLiteral("Description:"), this), 1, 0, Qt::AlignTop);
    header->addWidget(lblDescription, 1, 1, Qt::AlignTop);
    header->setColumnStretch(1, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(header);
    right->addWidget(preview);
    right->addWidget(cmdChooseMap, 0, Qt::AlignRight);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->setSpacing(20);
    columns->addLayout(left);
    columns->addLayout(right);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdStart);

    auto* root = new QVBoxLayout(this);
    root->addWidget(banner);
    root->addLayout(columns);
    root->addLayout(buttons);

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
                                            QStringLiteral("Vesperfall Map File (*.spw)"));
    if (!file || file->isEmpty())
        return;

    const MapPreviewInfo info = preview->showMap(*file);
    mapFile = *file;
    // A map without a PLAYERS number takes no players, rather than the last map's count.
    MapPlayers = info.players.value_or(0);
    // A map without a name goes by its file name.
    QString name = info.name.isEmpty() ? QFileInfo(*file).fileName() : info.name;
    if (!info.found)
        name += QStringLiteral(" (not found)");
    else if (!info.drawable)
        name += QStringLiteral(" (no playable size)");
    lblCurrentMap->setText(name);
    lblDescription->setText(info.description);
    cmdStart->setEnabled(info.drawable);
    // Wrapped texts may need more height than the window has; a window never grows by itself for them.
    layout()->activate();
    if (const int needed = layout()->totalHeightForWidth(width()); needed > height())
        resize(width(), needed);
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
