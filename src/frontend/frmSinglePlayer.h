#pragma once
// The single-player set-up: one human against the computer on the training map
// of the program folder. Only "Start" does anything; the other choices are shown only.

#include <QWidget>

class QListWidget;
class QPushButton;

class frmSinglePlayer : public QWidget {
    Q_OBJECT

public:
    static inline const QString TrainingMap = QStringLiteral("{T-1}-Basic Training.spw");

    explicit frmSinglePlayer(QWidget* parent = nullptr);

    void cmdStartCampaign_Click();

    QPushButton* const cmdStartCampaign;
    QListWidget* const lstMaps;

Q_SIGNALS:
    // The settings are made and the window closed: the battle may begin.
    void startRequested();
};
