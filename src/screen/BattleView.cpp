#include "screen/BattleView.h"

#include "battle/frmGame.h"

#include <QCloseEvent>
#include <QPainter>
#include <QTimer>

BattleView::BattleView(frmGame& game, QWidget* parent) : QWidget(parent), game_(game)
{
    setWindowTitle(QStringLiteral("Vesperfall"));
    setFixedSize(platform::Surface::Width, platform::Surface::Height);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    game_.services.display = this;
    game_.Form_Load();
}

void BattleView::refresh()
{
    update();
}

void BattleView::hideBattle()
{
    hide();
}

void BattleView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), game_.surface.image());
}

void BattleView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The battle starts once the window is up, off the event loop.
    QTimer::singleShot(0, this, [this] { game_.Form_Activate(); });
}

void BattleView::closeEvent(QCloseEvent* event)
{
    game_.Form_Unload();
    event->accept();
}
