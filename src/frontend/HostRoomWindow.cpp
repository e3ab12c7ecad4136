#include "frontend/HostRoomWindow.h"

#include "frontend/MapPreview.h"
#include "net/frmHost.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr int ButtonHeight = 28;

}  // namespace

HostRoomWindow::HostRoomWindow(frmHost& room, const PictureStore& pictures, QWidget* parent)
    : RoomWindow(room, pictures, QStringLiteral("frmHost"), QStringLiteral("Hosted Game"), frmHost::ChatLength,
                 parent),
      txtChatMsg(chatInput()),
      chkTime(new QCheckBox(QStringLiteral("Enable Time Limit"), this)),
      txtTime(new QLineEdit(this)),
      cmdChooseMap(new QPushButton(QStringLiteral("&Browse"), this)),
      cmdStart(new QPushButton(QStringLiteral("Start &Game"), this)),
      cmdBoot(new QPushButton(QStringLiteral("Boot &Opponent"), this)),
      cmdSendMap(new QPushButton(QStringLiteral("Send &Map"), this)),
      lblMapDesc(caption(QString())),
      room_(room)
{
    setWindowTitle(QStringLiteral("Host Game"));
    name(txtChatMsg, "txtChatMsg");
    name(chkTime, "chkTime");
    name(txtTime, "txtTime");
    name(cmdChooseMap, "cmdChooseMap");
    name(cmdStart, "cmdStart");
    name(cmdBoot, "cmdBoot");
    name(cmdSendMap, "cmdSendMap");
    name(lblMapDesc, "lblMapDesc");

    txtTime->setMaxLength(frmHost::SecondsLength);
    txtTime->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtTime));
    QVBoxLayout* time = playerColumn();
    time->addSpacing(6);
    time->addWidget(chkTime);
    auto* seconds = new QHBoxLayout;
    seconds->addWidget(caption(QStringLiteral("Seconds Per Turn:")));
    seconds->addWidget(txtTime);
    time->addLayout(seconds);
    QVBoxLayout* settings = settingsColumn();
    addRaceAndTeam();
    settings->addStretch();
    settings->addWidget(cmdBoot);

    lblMapDesc->setWordWrap(true);
    headerRows()->addRow(caption(QStringLiteral("Description:")), lblMapDesc);

    const QRect buttons = buttonArea();
    cmdChooseMap->setGeometry(buttons.left(), buttons.bottom() + 1 - 2 * ButtonHeight - 6, buttons.width(),
                              ButtonHeight);
    cmdStart->setGeometry(buttons.left(), buttons.bottom() + 1 - ButtonHeight, buttons.width(), ButtonHeight);
    cmdSendMap->setGeometry(buttons.left(), buttons.top(), buttons.width(), ButtonHeight);
    // Announcing the map again is done by Browse; this button is never shown.
    cmdSendMap->hide();
    lblBanner->installEventFilter(this);

    connect(chkTime, &QCheckBox::clicked, &room_, &frmHost::chkTime_Click);
    connect(txtTime, &QLineEdit::textEdited, &room_, &frmHost::txtTime_Change);
    connect(cmdBoot, &QPushButton::clicked, this, [this] { room_.cmdBoot_Click(selectedRow()); });
    connect(cmdSendMap, &QPushButton::clicked, &room_, &frmHost::cmdSendMap_Click);
    connect(cmdChooseMap, &QPushButton::clicked, this, &HostRoomWindow::cmdChooseMap_Click);
    connect(cmdStart, &QPushButton::clicked, &room_, &frmHost::cmdStart_Click);
    reset();
}

void HostRoomWindow::refresh()
{
    RoomWindow::refresh();
    txtTime->setEnabled(room_.txtTimeEnabled);
    for (QWidget* control : std::initializer_list<QWidget*>{cmdBoot, cmdSendMap, cmdStart, cmdChooseMap})
        control->setEnabled(room_.ControlsEnabled);
}

void HostRoomWindow::reset()
{
    RoomWindow::reset();
    chkTime->setChecked(room_.chkTime);
    txtTime->setText(room_.txtTime);
    lblCurrentMap->setText(QStringLiteral("No Map Selected"));
    lblMapDesc->clear();
    preview->clearMap();
    refresh();
}

void HostRoomWindow::cmdChooseMap_Click()
{
    const auto file = platform::openFileBox(room_.boxOwner, QStringLiteral("Select Map"), platform::programFolder(),
                                            QStringLiteral("Vesperfall Map File (*.spw)"));
    if (!file || file->isEmpty())
        return;
    const MapPreviewInfo info = preview->showMap(*file);
    lblCurrentMap->setText(info.caption(*file));
    lblMapDesc->setText(info.description);
    room_.cmdChooseMap_Click(*file, info.found && info.drawable);
}

bool HostRoomWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        room_.Form_Activate();
    return RoomWindow::event(event);
}

void HostRoomWindow::mouseMoveEvent(QMouseEvent* event)
{
    room_.Form_Activate();
    RoomWindow::mouseMoveEvent(event);
}

bool HostRoomWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblBanner && event->type() == QEvent::MouseButtonRelease)
        room_.lblBanner_Click();
    return RoomWindow::eventFilter(watched, event);
}

void HostRoomWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    room_.Form_Unload();
}
