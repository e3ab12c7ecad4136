#pragma once
// The battle window on screen: shows the battle's surface and passes window
// events to the battle. Holds no rules.

#include "battle/BattleServices.h"

#include <QWidget>

class frmGame;

class BattleView : public QWidget, public BattleDisplay {
    Q_OBJECT

public:
    explicit BattleView(frmGame& game, QWidget* parent = nullptr);

    void refresh() override;
    void hideBattle() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmGame& game_;
};
