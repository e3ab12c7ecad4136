#pragma once
// Real modal boxes in tests: answered from inside their own event loop.

#include "platform/Dialogs.h"

#include <QApplication>
#include <QTimer>

// Real boxes instead of scripted answers, for one scope; whenModal answers them.
struct RealBoxes {
    RealBoxes() { platform::dialogScript::disable(); }
    ~RealBoxes() { platform::dialogScript::enable(); }
};

// Runs `act` on the first modal widget of that kind to open for which `is`
// holds, from inside its event loop.
template <typename Widget, typename Is, typename Act>
void whenModalWhere(Is is, Act act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, is, act] {
        auto* w = qobject_cast<Widget*>(QApplication::activeModalWidget());
        if (w && is(w)) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

// Runs `act` on the first modal widget of that kind to open, from inside its event loop.
template <typename Widget, typename Act>
void whenModal(Act act)
{
    whenModalWhere<Widget>([](Widget*) { return true; }, act);
}
