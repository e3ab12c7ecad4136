#pragma once
// The host's game room on screen. Holds no rules: it shows frmHost and passes
// the user's input to it.

#include "frontend/RoomWindow.h"

class QCheckBox;
class frmHost;

class HostRoomWindow : public RoomWindow {
    Q_OBJECT

public:
    HostRoomWindow(frmHost& room, const PictureStore& pictures, QWidget* parent = nullptr);

    QLineEdit* const txtChatMsg;
    QCheckBox* const chkTime;
    QLineEdit* const txtTime;
    QPushButton* const cmdChooseMap;
    QPushButton* const cmdStart;
    QPushButton* const cmdBoot;
    QPushButton* const cmdSendMap;
    QLabel* const lblMapDesc;

protected:
    void refresh() override;
    void reset() override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdChooseMap_Click();

    frmHost& room_;
};
