#pragma once
// A joined player's game room on screen. Holds no rules: it shows frmJoin and
// passes the user's input to it.

#include "frontend/RoomWindow.h"

class QCheckBox;
class frmJoin;

class JoinRoomWindow : public RoomWindow {
    Q_OBJECT

public:
    JoinRoomWindow(frmJoin& room, const PictureStore& pictures, QWidget* parent = nullptr);

    QLineEdit* const txtMsg;
    QCheckBox* const chkReady;
    QLabel* const lblTimeLimit;
    QLabel* const lblTimeSec;

protected:
    void refresh() override;
    void reset() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showPreview(const QString& path);

    frmJoin& room_;
};
