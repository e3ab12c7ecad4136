#include "frontend/TestDriver.h"

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "frontend/Application.h"
#include "frontend/frmEndGame.h"
#include "frontend/frmIntro2.h"
#include "net/frmChat.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QTextEdit>

using namespace modStrat;

namespace {

constexpr int ConnectTimeoutMs = 5000;

QByteArray ok(const QString& value = QString()) { return "OK " + value.toUtf8(); }
QByteArray err(const char* why) { return QByteArray("ERR ") + why; }

QString widgetText(QWidget* w)
{
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* edit = qobject_cast<QTextEdit*>(w))
        return edit->toPlainText();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w))
        return edit->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->currentItem() ? list->currentItem()->text() : QString();
    return w->windowTitle();
}

QStringList widgetItems(QWidget* w)
{
    QStringList items;
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    }
    return items;
}

void sendKeyEvent(QWidget* w, QEvent::Type type, int key, const QString& text,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(type, key, modifiers, text);
    QCoreApplication::sendEvent(w, &event);
}

void sendKey(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendKeyEvent(w, QEvent::KeyPress, key, text, modifiers);
    sendKeyEvent(w, QEvent::KeyRelease, key, text, modifiers);
}

// Types as a person would, so the box's own edit handlers run.
void typeInto(QWidget* w, const QString& text)
{
    if (auto* box = qobject_cast<QLineEdit*>(w))
        box->clear();
    else if (auto* edit = qobject_cast<QTextEdit*>(w))
        edit->clear();
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(w))
        edit->clear();
    for (const QChar c : text)
        sendKey(w, 0, QString(c));
}

// "Right", "Return", "Num+9" (a keypad key), "Shift+Left".
std::optional<QKeyCombination> keyCode(const QString& name)
{
    const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (sequence.isEmpty())
        return std::nullopt;
    return sequence[0];
}

// "column,row" of the tile under a unit, or the cursor, standing at (x, y).
QString tileText(int x, int y)
{
    return QStringLiteral("%1,%2").arg((x - MapLeft) / TileSize).arg((y + UnitRaise - MapTop) / TileSize);
}

// What the battle's keys act on now, as the keyboard tells its modes apart.
QString battleMode(const frmGame& game)
{
    if (!game.InBattle)
        return QStringLiteral("none");
    if (CurrentPlayer != MyPlayer)
        return QStringLiteral("wait");
    if (game.MenuActive)
        return QStringLiteral("menu");
    if (game.DamageBarRunning)
        return QStringLiteral("bar");
    if (game.SceneSprites[1].Visible)
        return QStringLiteral("scene");
    if (game.ChoosingTarget)
        return QStringLiteral("target");
    if (SelectedUnit == None)
        return QStringLiteral("free");
    const bool stepping = game.UpHeld || game.DownHeld || game.LeftHeld || game.RightHeld || game.StepCounter != 0;
    return stepping ? QStringLiteral("step") : QStringLiteral("unit");
}

// The entries of the menu that has the keys: a unit's commands, or the build or main menu.
QString menuEntries(const frmGame& game)
{
    QStringList entries;
    const auto collect = [&](const auto& items) {
        for (const TextItem& item : items) {
            if (item.Visible)
                entries << item.Text;
        }
    };
    if (SelectedUnit == None)
        collect(game.CreateMenuItems);
    else
        collect(game.MenuItems);
    return entries.join(u'\t');
}

// The battle's state a test may read: where things are and what the keys act on.
std::optional<QString> battleValue(const frmGame& game, const QString& name, const QString& argument)
{
    if (name == u"Mode")
        return battleMode(game);
    if (name == u"Cursor")
        return tileText(game.CursorX, game.CursorY);
    if (name == u"Menu")
        return menuEntries(game);
    if (name == u"MenuHighlight")
        return QString::number(game.MenuHighlight);
    if (name == u"Cooldown")
        return QString::number(game.EndTurnCooldown);
    if (name == u"Unit") {
        const UnitRecord* unit = Units.at(argument.toInt());
        if (!unit)
            return std::nullopt;
        return unit->V ? tileText(unit->X, unit->Y) : QStringLiteral("-");
    }
    if (name == u"Messages") {
        QStringList shown;
        for (int slot = 1; slot <= 2; ++slot) {
            if (GameMessages[slot].Visible)
                shown << GameMessages[slot].Text;
        }
        return shown.join(u'\t');
    }
    return std::nullopt;
}

}  // namespace

TestDriver* TestDriver::installFromEnvironment(Application& app)
{
    const QString server = qEnvironmentVariable("VF_TEST_DRIVER");
    if (server.isEmpty())
        return nullptr;
    const QString folder = qEnvironmentVariable("VF_TEST_PROGRAM_DIR");
    if (!folder.isEmpty())
        platform::setProgramFolder(folder);
    // No box may wait for a person: each takes the answer the test queued, or the default.
    platform::dialogScript::enable();
    auto* socket = new QLocalSocket;
    socket->connectToServer(server);
    if (!socket->waitForConnected(ConnectTimeoutMs)) {
        qWarning("test driver: cannot reach %s", qPrintable(server));
        delete socket;
        return nullptr;
    }
    return new TestDriver(app, socket);
}

TestDriver::TestDriver(Application& app, QLocalSocket* socket) : QObject(&app), app_(app), socket_(socket)
{
    socket_->setParent(this);
    connect(socket_, &QLocalSocket::readyRead, this, &TestDriver::readCommands);
    // The test is over: so is the program.
    connect(socket_, &QLocalSocket::disconnected, qApp, &QCoreApplication::quit);
}

void TestDriver::readCommands()
{
    framer_.append(socket_->readAll());
    while (auto line = framer_.takeLine())
        socket_->write(platform::frameLine(execute(*line)));
}

QWidget* TestDriver::find(const QString& name)
{
    QWidget* hidden = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QList<QWidget*> candidates = top->findChildren<QWidget*>(name);
        if (top->objectName() == name)
            candidates.prepend(top);
        for (QWidget* w : candidates) {
            if (w->isVisible())
                return w;
            if (!hidden)
                hidden = w;
        }
    }
    return hidden;
}

QByteArray TestDriver::execute(const QByteArray& command)
{
    const QString line = QString::fromUtf8(command);
    const QString verb = line.section(u' ', 0, 0);
    const QString name = line.section(u' ', 1, 1);
    const QString rest = line.section(u' ', 2);

    // Message boxes and input boxes: queue the answer to the next one, or read what was shown.
    using platform::MessageResult;
    namespace script = platform::dialogScript;
    if (verb == u"answer") {
        if (name == u"yes")
            script::pushMessageResult(MessageResult::Yes);
        else if (name == u"no")
            script::pushMessageResult(MessageResult::No);
        else
            script::pushMessageResult(MessageResult::Ok);
        return ok();
    }
    if (verb == u"input") {
        script::pushInput(line.section(u' ', 1));
        return ok();
    }
    if (verb == u"cancel") {
        script::pushInput(std::nullopt);
        return ok();
    }
    if (verb == u"file") {
        script::pushFileName(line.section(u' ', 1));
        return ok();
    }
    if (verb == u"shown") {
        const QString texts = script::shown().join(u'\t');
        script::clear();
        return ok(QString(texts).replace(u'\n', u' ').remove(u'\r'));
    }

    // The battle and the program-wide game settings.
    if (verb == u"save")
        return app_.game().WriteSavedGame(line.section(u' ', 1)) ? ok() : err("not written");
    if (verb == u"get") {
        if (name == u"CurrentPlayer")
            return ok(QString::number(CurrentPlayer));
        if (name == u"MyPlayer")
            return ok(QString::number(MyPlayer));
        if (name == u"DayCount")
            return ok(QString::number(DayCount));
        if (name == u"GameNumber")
            return ok(GameNumber);
        if (name == u"Results")
            return ok(app_.results() && app_.results()->isVisible() ? app_.results()->lblBanner->text() : QString());
        if (const auto value = battleValue(app_.game(), name, rest))
            return ok(*value);
        return err("unknown value");
    }
    if (verb == u"port") {
        app_.startWindow().lobbyPort = quint16(name.toUInt());
        return ok();
    }
    if (verb == u"quit") {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return ok();
    }

    // Widgets, by object name.
    QWidget* w = find(name);
    if (verb == u"exists")
        return ok(w && w->isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
    if (!w)
        return err("no such widget");
    if (verb == u"enabled")
        return ok(w->isEnabled() ? QStringLiteral("1") : QStringLiteral("0"));
    if (verb == u"text")
        return ok(QString(widgetText(w)).replace(u'\n', u'\t').remove(u'\r'));
    if (verb == u"items")
        return ok(widgetItems(w).join(u'\t'));
    // A window closed as by its close box.
    if (verb == u"close") {
        w->close();
        return ok();
    }
    if (verb == u"type") {
        typeInto(w, rest);
        return ok();
    }
    if (verb == u"click") {
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (!button || !button->isEnabled() || !button->isVisible())
            return err("not a button that can be clicked");
        button->click();
        return ok();
    }
    if (verb == u"select") {
        if (auto* list = qobject_cast<QListWidget*>(w)) {
            const auto found = list->findItems(rest, Qt::MatchExactly);
            if (found.isEmpty())
                return err("no such item");
            list->setCurrentItem(found.first());
            Q_EMIT list->itemClicked(found.first());
            return ok();
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            const int index = combo->findText(rest);
            if (index < 0)
                return err("no such item");
            combo->setCurrentIndex(index);
            Q_EMIT combo->activated(index);
            return ok();
        }
        return err("not a list");
    }
    if (verb == u"key") {
        const auto key = keyCode(rest.section(u' ', 0, 0));
        if (!key)
            return err("unknown key");
        sendKey(w, key->key(), rest.section(u' ', 1), key->keyboardModifiers());
        return ok();
    }
    // A key held down, and let go: the battle moves a unit only while its arrow is held.
    if (verb == u"press" || verb == u"release") {
        const auto key = keyCode(rest);
        if (!key)
            return err("unknown key");
        sendKeyEvent(w, verb == u"press" ? QEvent::KeyPress : QEvent::KeyRelease, key->key(), QString(),
                     key->keyboardModifiers());
        return ok();
    }
    return err("unknown command");
}
