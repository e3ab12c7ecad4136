#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include "ModalKit.h"
#include "platform/Dialogs.h"

using namespace platform;

namespace {

// Records every listener call, and whether a box counted as open at that moment.
struct Recorder {
    QList<bool> calls;
    QList<bool> openDuringCall;
    int id = addModalListener([this](bool open) {
        calls.append(open);
        openDuringCall.append(modalOpen());
    });
    ~Recorder() { removeModalListener(id); }
};

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dialogScript::enable();
        dialogScript::clear();
    }

    void scriptedAnswersInOrderThenDefaults()
    {
        dialogScript::pushMessageResult(MessageResult::Yes);
        dialogScript::pushMessageResult(MessageResult::No);
        QCOMPARE(messageBox("<b>a</b>", MessageButtons::YesNo), MessageResult::Yes);
        QCOMPARE(messageBox("b", MessageButtons::YesNo), MessageResult::No);
        QCOMPARE(messageBox("c", MessageButtons::YesNo), MessageResult::No);
        QCOMPARE(messageBox("d"), MessageResult::Ok);
        dialogScript::pushInput(QStringLiteral("Alba"));
        dialogScript::pushInput(QString());
        QCOMPARE(inputBox("name?"), std::optional<QString>(QStringLiteral("Alba")));
        QCOMPARE(inputBox("again?"), std::optional<QString>(QString()));  // empty, not cancelled
        QCOMPARE(inputBox("more?", "title", "default"), std::nullopt);
        QCOMPARE(dialogScript::shown(), QStringList({"<b>a</b>", "b", "c", "d", "name?", "again?", "more?"}));

        dialogScript::pushMessageResult(MessageResult::Yes);
        dialogScript::clear();
        QVERIFY(dialogScript::shown().isEmpty());
        QCOMPARE(messageBox("q", MessageButtons::YesNo), MessageResult::No);
    }

    void listenersHearTheOutermostBox()
    {
        Recorder rec;
        QVERIFY(!modalOpen());
        messageBox("hello");
        QCOMPARE(rec.calls, QList<bool>({true, false}));
        QCOMPARE(rec.openDuringCall, QList<bool>({true, false}));

        // A box opened while another is up (here from the open notification) adds no calls.
        bool nestedOpen = false;
        bool nestedDone = false;
        const int id = addModalListener([&](bool open) {
            if (open && !nestedDone) {
                nestedDone = true;
                inputBox("inner");
                nestedOpen = modalOpen();
            }
        });
        messageBox("outer");
        removeModalListener(id);
        removeModalListener(id);  // twice is harmless
        QVERIFY(nestedOpen);  // the outer box still counts after the inner one closed
        QCOMPARE(rec.calls, QList<bool>({true, false, true, false}));
        QVERIFY(!modalOpen());

        // A listener may remove itself while it is called.
        int self = 0;
        int selfCalls = 0;
        self = addModalListener([&](bool) {
            ++selfCalls;
            removeModalListener(self);
        });
        messageBox("x");
        messageBox("y");
        QCOMPARE(selfCalls, 1);
        QCOMPARE(rec.calls.size(), 8);
    }

    // Text from the network or a file never turns into markup.
    void realBoxesShowPlainText()
    {
        dialogScript::disable();
        Recorder rec;
        bool plain = false;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            plain = box->textFormat() == Qt::PlainText && box->text() == "<b>net</b>" && modalOpen();
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(messageBox("<b>net</b>", MessageButtons::YesNo, "T"), MessageResult::Yes);
        QVERIFY(plain);
        QCOMPARE(rec.calls, QList<bool>({true, false}));

        QString startText;
        whenModal<QInputDialog>([&](QInputDialog* dlg) {
            const auto labels = dlg->findChildren<QLabel*>();
            plain = !labels.isEmpty() && labels.first()->textFormat() == Qt::PlainText;
            startText = dlg->textValue();
            dlg->setTextValue(QStringLiteral("typed"));
            dlg->accept();
        });
        QCOMPARE(inputBox("<i>prompt</i>", "T", "start"), std::optional<QString>(QStringLiteral("typed")));
        QVERIFY(plain);
        QCOMPARE(startText, QStringLiteral("start"));
        whenModal<QInputDialog>([](QInputDialog* dlg) { dlg->reject(); });
        QCOMPARE(inputBox("prompt"), std::nullopt);
        QVERIFY(dialogScript::shown().isEmpty());  // only scripted boxes are recorded
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
