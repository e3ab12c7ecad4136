#include "frontend/RoomWindow.h"

#include "frontend/ChatBoxes.h"
#include "frontend/MapPreview.h"
#include "frontend/WindowLook.h"
#include "net/GameRoom.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr int Margin = 8;
constexpr int Gap = 6;
constexpr int LeftWidth = MapPreview::WindowPosition.x() - Margin - Gap;
// Right under the preview's border: the map's name and a description of up to
// three lines; then the chat across the bottom.
constexpr int HeaderTop =
    MapPreview::WindowPosition.y() + 2 * MapPreview::Border + MapPreview::BackgroundHeight + 3;
constexpr int ChatTop = 358;
constexpr int InputTop = 414;
constexpr int RowHeight = 28;
// Our widest maps run 32 cells across, on past the preview's border: the
// settings beside the preview start right of them, so no caption lies on the map.
constexpr int WidestMapColumns = 32;
constexpr int SettingsLeft =
    MapPreview::WindowPosition.x() + MapPreview::Border + WidestMapColumns * MapPreview::Cell + Gap;
constexpr int SettingsWidth = MapPreview::WindowSize.width() - SettingsLeft - Margin;
// Below the preview the buttons take a wider column.
constexpr int ButtonsLeft = 486;
constexpr int ButtonsWidth = MapPreview::WindowSize.width() - ButtonsLeft - Margin;
constexpr int ChatWidth = ButtonsLeft - Margin - Gap;
constexpr int SendWidth = 66;

QComboBox* editableBox(const QStringList& entries, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    // Enter in the box must not add what was typed to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
    return box;
}

}  // namespace

RoomWindow::RoomWindow(GameRoom& room, const PictureStore& pictures, const QString& name, const QString& banner,
                       int chatLength, QWidget* parent)
    : QWidget(parent),
      lblBanner(new QLabel(banner, this)),
      lstOps(new QListWidget(this)),
      txtChat(new QPlainTextEdit(this)),
      cmdSend(new QPushButton(QStringLiteral("&Send"), this)),
      cmbRace(editableBox(GameRoom::Races, this)),
      cmbTeam(editableBox(GameRoom::Teams, this)),
      lblCurrentMap(new QLabel(this)),
      preview(new MapPreview(pictures, this)),
      room_(room),
      chatInput_(new QLineEdit(this)),
      players_(new QWidget(this)),
      settings_(new QWidget(this)),
      header_(new QWidget(this)),
      log_(new LogLines(*txtChat))
{
    setObjectName(name);
    setFixedSize(MapPreview::WindowSize);
    setMouseTracking(true);
    windowlook::useLightText(*this);
    this->name(lblBanner, "lblBanner");
    this->name(lstOps, "lstOps");
    this->name(txtChat, "txtChat");
    this->name(cmdSend, "cmdSend");
    this->name(cmbRace, "cmbRace");
    this->name(cmbTeam, "cmbTeam");
    this->name(lblCurrentMap, "lblCurrentMap");

    lblBanner->setTextFormat(Qt::PlainText);
    lblBanner->setFont(windowlook::headingFont(28));
    lblBanner->setGeometry(Margin, 4, 420, 38);
    preview->move(MapPreview::WindowPosition);
    preview->lower();

    players_->setGeometry(Margin, MapPreview::WindowPosition.y(), LeftWidth, HeaderTop - Gap - MapPreview::WindowPosition.y());
    auto* playerColumn = new QVBoxLayout(players_);
    playerColumn->setContentsMargins(0, 0, 0, 0);
    playerColumn->setSpacing(3);
    playerColumn->addWidget(caption(QStringLiteral("Opponents:")));
    playerColumn->addWidget(lstOps, 1);
    playerColumn->addWidget(caption(QStringLiteral("* Designates Ready")));

    // An opponent's race, team and record: nothing fills them.
    auto* record = new QWidget(this);
    record->setGeometry(Margin, HeaderTop, LeftWidth, ChatTop - Gap - HeaderTop);
    auto* recordRows = new QFormLayout(record);
    recordRows->setContentsMargins(0, 0, 0, 0);
    recordRows->setVerticalSpacing(0);
    recordRows->addRow(caption(QStringLiteral("Race:")), caption(QString()));
    recordRows->addRow(caption(QStringLiteral("Team:")), caption(QString()));
    recordRows->addRow(caption(QStringLiteral("Wins/Losses/Draws:")), caption(QString()));

    settings_->setGeometry(SettingsLeft, MapPreview::WindowPosition.y(), SettingsWidth, HeaderTop - Gap - MapPreview::WindowPosition.y());
    auto* settings = new QVBoxLayout(settings_);
    settings->setContentsMargins(0, 0, 0, 0);
    settings->setSpacing(3);

    lblCurrentMap->setTextFormat(Qt::PlainText);
    lblCurrentMap->setWordWrap(true);
    header_->setGeometry(MapPreview::WindowPosition.x(), HeaderTop, MapPreview::WindowSize.width() - Margin - MapPreview::WindowPosition.x(),
                         ChatTop - Gap - HeaderTop);
    auto* header = new QFormLayout(header_);
    header->setContentsMargins(0, 0, 0, 0);
    header->setVerticalSpacing(0);
    header->addRow(caption(QStringLiteral("Current Map:")), lblCurrentMap);

    // Peer text is only ever set as plain text.
    txtChat->setReadOnly(true);
    txtChat->setGeometry(Margin, ChatTop, ChatWidth, InputTop - Gap / 2 - ChatTop);
    chatInput_->setMaxLength(chatLength);
    chatInput_->setGeometry(Margin, InputTop, ChatWidth - SendWidth - Gap, RowHeight);
    cmdSend->setGeometry(Margin + ChatWidth - SendWidth, InputTop, SendWidth, RowHeight);

    connect(chatInput_, &QLineEdit::returnPressed, this, &RoomWindow::sendChat);
    connect(cmdSend, &QPushButton::clicked, this, &RoomWindow::sendChat);
    // Typing, pasting or the room's own correction run the handlers; a pick from the list does not.
    connect(cmbRace->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString shown = room_.cmbRace_Change(text);
        if (cmbRace->currentText() != shown)
            cmbRace->setEditText(shown);
    });
    connect(cmbTeam->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { room_.cmbTeam_Change(text); });

    connect(&room_, &GameRoom::changed, this, &RoomWindow::refresh);
    // Appended, never rewritten: the cost of a line does not grow with the log.
    connect(&room_, &GameRoom::chatAdded, log_, [this](const QString& line) { log_->add(line); });
    connect(&room_, &GameRoom::chatReplaced, this, &RoomWindow::showChat);
    connect(&room_, &GameRoom::loaded, this, &RoomWindow::reset);
    connect(&room_, &GameRoom::showRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    // Hidden, never deleted: the room may be closed from inside a handler of this window.
    connect(&room_, &GameRoom::hideRequested, this, &QWidget::hide);
}

void RoomWindow::name(QWidget* control, const char* member)
{
    control->setObjectName(objectName() + QLatin1Char('.') + QLatin1String(member));
}

QLabel* RoomWindow::caption(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QVBoxLayout* RoomWindow::playerColumn()
{
    return static_cast<QVBoxLayout*>(players_->layout());
}

QVBoxLayout* RoomWindow::settingsColumn()
{
    return static_cast<QVBoxLayout*>(settings_->layout());
}

void RoomWindow::addRaceAndTeam()
{
    QVBoxLayout* column = settingsColumn();
    // The column is narrow: a caption that does not fit goes on to a second line.
    for (const auto& [text, box] : {std::pair{QStringLiteral("Choose Your Race:"), cmbRace},
                                    std::pair{QStringLiteral("Choose Your Team:"), cmbTeam}}) {
        QLabel* label = caption(text);
        label->setWordWrap(true);
        column->addWidget(label);
        column->addWidget(box);
    }
}

QFormLayout* RoomWindow::headerRows()
{
    return static_cast<QFormLayout*>(header_->layout());
}

QRect RoomWindow::buttonArea()
{
    return {ButtonsLeft, ChatTop, ButtonsWidth, MapPreview::WindowSize.height() - Margin - ChatTop};
}

int RoomWindow::selectedRow() const
{
    const QList<QListWidgetItem*> selected = lstOps->selectedItems();
    return selected.isEmpty() ? -1 : lstOps->row(selected.constFirst());
}

void RoomWindow::sendChat()
{
    room_.cmdSend_Click(chatInput_->text());
    chatInput_->clear();
}

void RoomWindow::refresh()
{
    QStringList shown;
    for (int i = 0; i < lstOps->count(); ++i)
        shown.append(lstOps->item(i)->text());
    if (shown != room_.lstOps) {
        lstOps->clear();
        lstOps->addItems(room_.lstOps);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{chatInput_, cmdSend, cmbRace})
        control->setEnabled(room_.ControlsEnabled);
}

void RoomWindow::showChat()
{
    log_->drop();
    txtChat->setPlainText(room_.txtChat().text());
    modStrat::ScrollTextBoxToEnd(*txtChat);
}

void RoomWindow::reset()
{
    cmbRace->setEditText(GameRoom::Races.first());
    cmbTeam->setEditText(GameRoom::Teams.first());
    chatInput_->clear();
    lstOps->clear();
    showChat();
}

void RoomWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    windowlook::paintBackground(painter, rect());
}
