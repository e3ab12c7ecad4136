#include "screen/BattleView.h"

#include "battle/frmGame.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int ShiftBit = 1;
constexpr int CtrlBit = 2;
constexpr int AltBit = 4;
constexpr int EnterCode = 13;
constexpr int EscapeCode = 27;

}  // namespace

BattleView::BattleView(frmGame& game, QWidget* parent) : QWidget(parent), game_(game)
{
    setWindowTitle(QStringLiteral("Vesperfall"));
    // The names a test driver finds the battle and its chat line by.
    setObjectName(QStringLiteral("frmGame"));
    setFixedSize(platform::Surface::Width, platform::Surface::Height);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    chat_ = new QLineEdit(this);
    chat_->setGeometry(75, game_.surface.height() - 99 - 30, 400, 24);
    chat_->setMaxLength(200);
    chat_->setObjectName(QStringLiteral("txtMsg"));
    chat_->hide();
    chat_->installEventFilter(this);

    game_.services.display = this;
    game_.Form_Load();
}

int BattleView::keyCodeOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return EnterCode;
    case Qt::Key_Escape:
        return EscapeCode;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    default:
        return 0;
    }
}

int BattleView::shiftMask(const QKeyEvent* event) const
{
    // Shift is tracked from its own key: the modifier flags on its press and release differ between systems.
    int mask = shiftDown_ ? ShiftBit : 0;
    if (event->modifiers() & Qt::ControlModifier)
        mask |= CtrlBit;
    if (event->modifiers() & Qt::AltModifier)
        mask |= AltBit;
    return mask;
}

void BattleView::refresh()
{
    syncChatBox();
    update();
}

void BattleView::hideBattle()
{
    hide();
}

void BattleView::syncChatBox()
{
    if (game_.txtMsgVisible && !chat_->isVisible()) {
        chat_->setText(game_.txtMsgText);
        chat_->show();
        chat_->setFocus();
    } else if (!game_.txtMsgVisible && chat_->isVisible()) {
        chat_->hide();
        setFocus();
    }
}

void BattleView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), game_.surface.image());
    if (game_.SceneHoldersShown) {
        // The attack scene's four pictures, small, in the top right corner.
        constexpr int thumbWidth = 96;
        constexpr int thumbHeight = 94;
        for (int i = 0; i < 4; ++i) {
            const QRect box(width() - (4 - i) * (thumbWidth + 4), 4, thumbWidth, thumbHeight);
            painter.fillRect(box, Qt::darkGray);
            if (!game_.picBG[i].isNull())
                painter.drawImage(box, game_.picBG[i]);
        }
    }
}

void BattleView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The battle starts once the window is up, off the event loop.
    QTimer::singleShot(0, this, [this] {
        game_.Form_Activate();
        emit activated();
    });
}

void BattleView::closeEvent(QCloseEvent* event)
{
    game_.Form_QueryUnload();
    event->accept();
}

void BattleView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift)
        shiftDown_ = true;
    const int code = keyCodeOf(event->key());
    if (code == 0 && event->key() != Qt::Key_Shift) {
        QWidget::keyPressEvent(event);
        return;
    }
    game_.Form_KeyDown(code, shiftMask(event));
    syncChatBox();
    update();
}

void BattleView::keyReleaseEvent(QKeyEvent* event)
{
    // Held keys repeat as release and press pairs; only the real release counts.
    if (event->isAutoRepeat())
        return;
    if (event->key() == Qt::Key_Shift)
        shiftDown_ = false;
    game_.Form_KeyUp(keyCodeOf(event->key()), shiftMask(event));
}

void BattleView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // A key released while another window had the focus is never reported.
    shiftDown_ = false;
    if (game_.StepCounter == 0)
        game_.RightHeld = game_.UpHeld = game_.LeftHeld = game_.DownHeld = false;
}

bool BattleView::eventFilter(QObject* watched, QEvent* event)
{
    // While the chat box has the focus it alone takes the keys.
    if (watched == chat_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = keyCodeOf(key->key());
        if (code == EnterCode || code == EscapeCode) {
            game_.txtMsgText = chat_->text();
            game_.txtMsg_KeyDown(code, shiftMask(key));
            chat_->clear();
            syncChatBox();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
