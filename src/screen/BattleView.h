#pragma once
// The battle window on screen: shows the battle's surface, turns key events into
// the battle's key codes, and holds the one-line chat box. Holds no rules.

#include "battle/BattleServices.h"

#include <QWidget>

class QLineEdit;
class frmGame;

class BattleView : public QWidget, public BattleDisplay {
    Q_OBJECT

public:
    explicit BattleView(frmGame& game, QWidget* parent = nullptr);

    void refresh() override;
    void hideBattle() override;

    // The battle's code of a key: the classic virtual-key code, 0 for keys the battle ignores.
    static int keyCodeOf(int qtKey);

Q_SIGNALS:
    // The window's activation ran: a pending battle has started or was refused.
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int shiftMask(const QKeyEvent* event) const;
    void syncChatBox();

    frmGame& game_;
    QLineEdit* chat_ = nullptr;
    bool shiftDown_ = false;
};
