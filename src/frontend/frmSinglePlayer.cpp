#include "frontend/frmSinglePlayer.h"

#include "data/GameData.h"
#include "platform/ProgramFolder.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace modStrat;

frmSinglePlayer::frmSinglePlayer(QWidget* parent)
    : QWidget(parent),
      cmdStartCampaign(new QPushButton(QStringLiteral("&Start"), this)),
      lstMaps(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Vesperfall - Single Player"));

    auto* modes = new QHBoxLayout;
    const QStringList modeNames{QStringLiteral("Campaign"), QStringLiteral("Challenge"), QStringLiteral("Load Saved")};
    for (const QString& name : modeNames) {
        auto* option = new QRadioButton(name, this);
        option->setChecked(name == modeNames.first());
        modes->addWidget(option);
    }
    modes->addStretch();

    auto* campaign = new QGroupBox(QStringLiteral("Campaign"), this);
    auto* campaignLayout = new QVBoxLayout(campaign);
    campaignLayout->addWidget(new QLabel(QStringLiteral("Choose A Map:"), campaign));
    campaignLayout->addWidget(cmdStartCampaign, 0, Qt::AlignLeft);
    campaignLayout->addStretch();

    auto* challenge = new QGroupBox(QStringLiteral("Challenge"), this);
    // A group of their own, apart from the mode options.
    auto* raceBox = new QWidget(challenge);
    auto* raceLayout = new QHBoxLayout(raceBox);
    raceLayout->setContentsMargins(0, 0, 0, 0);
    for (const QString& name : {QStringLiteral("Empyrians"), QStringLiteral("Qorrans")}) {
        auto* option = new QRadioButton(name, raceBox);
        option->setChecked(raceLayout->isEmpty());
        raceLayout->addWidget(option);
    }
    raceLayout->addStretch();
    auto* challengeLayout = new QVBoxLayout(challenge);
    challengeLayout->addWidget(new QLabel(QStringLiteral("Select Your Race:"), challenge));
    challengeLayout->addWidget(raceBox);
    challengeLayout->addWidget(new QLabel(QStringLiteral("Select A Map:"), challenge));
    challengeLayout->addWidget(lstMaps);

    auto* frames = new QHBoxLayout;
    frames->addWidget(campaign);
    frames->addWidget(challenge);

    auto* root = new QVBoxLayout(this);
    root->addLayout(modes);
    root->addLayout(frames);

    connect(cmdStartCampaign, &QPushButton::clicked, this, &frmSinglePlayer::cmdStartCampaign_Click);
}

void frmSinglePlayer::cmdStartCampaign_Click()
{
    static constexpr bool computer[MaxPlayers + 1] = {false, false, true, true, true};
    static constexpr int level[MaxPlayers + 1] = {0, 4, 1, 2, 3};
    for (int p = 1; p <= MaxPlayers; ++p) {
        Players[p].Name = QStringLiteral("Computer %1").arg(p);
        Players[p].IsComputer = computer[p];
        Players[p].AILevel = level[p];
    }
    IsOfflineGame = true;
    PlayerCount = 2;
    MyPlayer = 1;
    TimeLimit = NoTimeLimit;
    MapPath = platform::programFolder() + QLatin1Char('/') + TrainingMap;
    StartGamePending = true;
    close();
    emit startRequested();
}
