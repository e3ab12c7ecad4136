#include "frontend/Shortcuts.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace shortcuts {

namespace {

class MnemonicFilter final : public QObject {
public:
    explicit MnemonicFilter(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::AltModifier) || (key->modifiers() & Qt::ControlModifier))
            return false;
        // An enabled button took its keys before they came here.
        const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
        for (const QAbstractButton* button : window_.findChildren<QAbstractButton*>()) {
            if (!button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed)
                return true;
        }
        return false;
    }

private:
    QWidget& window_;
};

}  // namespace

void muteDisabledMnemonics(QWidget& window)
{
    auto* filter = new MnemonicFilter(window);
    for (QWidget* box : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(box) || qobject_cast<QTextEdit*>(box) || qobject_cast<QPlainTextEdit*>(box))
            box->installEventFilter(filter);
    }
}

}  // namespace shortcuts
