#include "frontend/frmEndGame.h"

#include "data/GameData.h"
#include "frontend/WindowLook.h"
#include "platform/Surface.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
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

frmEndGame::frmEndGame(QWidget* parent)
    : QWidget(parent),
      lblBanner(plainLabel(QStringLiteral("Victory!"), this)),
      lblDays(plainLabel(QStringLiteral("0"), this)),
      cmdSaveReplay(new QPushButton(QStringLiteral("&Save Replay"), this)),
      cmdContinue(new QPushButton(QStringLiteral("&Continue"), this))
{
    setWindowTitle(QStringLiteral("Vesperfall - Game Results"));
    windowlook::useLightText(*this);
    // Texts in Arial, the banner in Impact (set below).
    setFont(platform::resolveFont({QStringLiteral("Arial"), TextPoints}));
    setMinimumSize(650, 450);

    lblBanner->setFont(windowlook::headingFont(64));
    lblBanner->setAlignment(Qt::AlignCenter);
    QPalette bannerPalette = lblBanner->palette();
    bannerPalette.setColor(QPalette::WindowText, QColor(255, 214, 90));
    lblBanner->setPalette(bannerPalette);

    auto* length = new QHBoxLayout;
    length->addStretch();
    length->addWidget(plainLabel(QStringLiteral("The Game Lasted"), this));
    length->addWidget(lblDays);
    length->addWidget(plainLabel(QStringLiteral("Turns"), this));
    length->addStretch();

    auto* table = new QGridLayout;
    table->setHorizontalSpacing(28);
    table->setVerticalSpacing(6);
    const QStringList heads{QStringLiteral("Player:"), QStringLiteral("Units Destroyed:"), QStringLiteral("Units Lost:"),
                            QStringLiteral("Units Produced:")};
    for (int column = 0; column < heads.size(); ++column) {
        auto* head = plainLabel(heads[column], this);
        QFont bold = head->font();
        bold.setBold(true);
        head->setFont(bold);
        table->addWidget(head, 0, column);
    }
    for (int row = 0; row < 4; ++row) {
        lblPlayer[row] = plainLabel(QStringLiteral("null"), this);
        lblPlayer[row]->setWordWrap(true);
        lblPlayer[row]->setMinimumWidth(200);
        lblDestroyed[row] = plainLabel(QStringLiteral("0"), this);
        lblLost[row] = plainLabel(QStringLiteral("0"), this);
        lblProduced[row] = plainLabel(QStringLiteral("0"), this);
        table->addWidget(lblPlayer[row], row + 1, 0);
        table->addWidget(lblDestroyed[row], row + 1, 1);
        table->addWidget(lblLost[row], row + 1, 2);
        table->addWidget(lblProduced[row], row + 1, 3);
    }
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(table);
    centred->addStretch();

    auto* rating = plainLabel(QStringLiteral("Rating Points Gained: 0"), this);
    rating->setAlignment(Qt::AlignCenter);

    // Replays are not recorded: the button is there and may be pressed, to no effect.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSaveReplay);
    buttons->addStretch();
    buttons->addWidget(cmdContinue);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(28, 20, 28, 20);
    root->setSpacing(14);
    root->addWidget(lblBanner);
    root->addLayout(length);
    root->addSpacing(8);
    root->addLayout(centred);
    root->addStretch();
    root->addWidget(rating);
    root->addLayout(buttons);

    connect(cmdContinue, &QPushButton::clicked, this, &frmEndGame::cmdContinue_Click);
}

void frmEndGame::Form_Activate()
{
    for (int row = 0; row < 4; ++row) {
        const int player = row + 1;
        lblPlayer[row]->setText(Players[player].Name);
        lblDestroyed[row]->setText(QString::number(UnitsDestroyed[player]));
        lblLost[row]->setText(QString::number(UnitsLost[player]));
        lblProduced[row]->setText(QString::number(UnitsProduced[player]));
    }
    lblDays->setText(QString::number(DayCount));

    // Only a network game is known to the server; in a game of computers alone no player is ours.
    if (!IsOfflineGame && PlayerLost.valid(MyPlayer) && !PlayerLost[MyPlayer])
        emit gameOver();
}

void frmEndGame::cmdContinue_Click()
{
    close();
    if (IsOfflineGame)
        emit continueToStart();
    else
        emit continueToLobby();
}

void frmEndGame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Once per showing: a window restored from the task bar tells the server nothing new.
    if (!event->spontaneous())
        Form_Activate();
}

void frmEndGame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    windowlook::paintBackground(painter, rect());
}
