#include "frontend/JoinRoomWindow.h"

#include "frontend/MapPreview.h"
#include "net/frmJoin.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

JoinRoomWindow::JoinRoomWindow(frmJoin& room, const PictureStore& pictures, QWidget* parent)
    : RoomWindow(room, pictures, QStringLiteral("frmJoin"), QStringLiteral("Joined Game"), frmJoin::ChatLength,
                 parent),
      txtMsg(chatInput()),
      chkReady(new QCheckBox(QStringLiteral("Ready"), this)),
      lblTimeLimit(caption(QString())),
      lblTimeSec(caption(QString())),
      room_(room)
{
    setWindowTitle(QStringLiteral("Joined Game"));
    name(txtMsg, "txtMsg");
    name(chkReady, "chkReady");
    name(lblTimeLimit, "lblTimeLimit");
    name(lblTimeSec, "lblTimeSec");

    QVBoxLayout* players = playerColumn();
    players->addSpacing(6);
    players->addWidget(caption(QStringLiteral("Time Options:")));
    auto* time = new QFormLayout;
    time->setContentsMargins(0, 0, 0, 0);
    time->setVerticalSpacing(0);
    time->addRow(caption(QStringLiteral("Time Limit:")), lblTimeLimit);
    time->addRow(caption(QStringLiteral("Seconds Per Turn:")), lblTimeSec);
    players->addLayout(time);
    QVBoxLayout* settings = settingsColumn();
    addRaceAndTeam();
    settings->addStretch();
    settings->addWidget(chkReady);

    // A click, not a change: the box going back to unticked at a new room sends nothing.
    connect(chkReady, &QCheckBox::clicked, &room_, &frmJoin::chkReady_Click);
    connect(&room_, &frmJoin::previewRequested, this, &JoinRoomWindow::showPreview);
    reset();
}

void JoinRoomWindow::refresh()
{
    RoomWindow::refresh();
    lblCurrentMap->setText(room_.lblCurrentMap);
    lblTimeLimit->setText(room_.lblTimeLimit);
    lblTimeSec->setText(room_.lblTimeSec);
    chkReady->setEnabled(room_.ControlsEnabled);
}

void JoinRoomWindow::reset()
{
    RoomWindow::reset();
    chkReady->setChecked(false);
    refresh();
}

void JoinRoomWindow::showPreview(const QString& path)
{
    if (path.isEmpty())
        preview->clearMap();
    else
        preview->showMap(path);
}

void JoinRoomWindow::mouseMoveEvent(QMouseEvent* event)
{
    room_.Form_MouseMove();
    RoomWindow::mouseMoveEvent(event);
}

void JoinRoomWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    room_.Form_Unload();
}
