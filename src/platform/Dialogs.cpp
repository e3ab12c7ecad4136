#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <map>
#include <vector>

namespace platform {

namespace {

std::map<int, ModalListener>& listeners()
{
    static std::map<int, ModalListener> all;
    return all;
}
int nextListenerId = 1;
int openBoxes = 0;

void notify(bool open)
{
    // Copy first: a listener may add or remove listeners while we call it.
    const auto snapshot = listeners();
    for (const auto& [id, listener] : snapshot) {
        if (listener)
            listener(open);
    }
}

// Holds the modal state for one box. Listeners hear only the outermost open
// and close, so a frame timer stopped for one box is not restarted while a
// box nested inside it closes and the outer one is still up.
class ModalScope {
public:
    ModalScope()
    {
        if (openBoxes++ == 0)
            notify(true);
    }
    ~ModalScope()
    {
        if (--openBoxes == 0)
            notify(false);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

// The real boxes on screen, innermost last, each with who asked for it.
std::vector<std::pair<QPointer<QDialog>, const BoxOwner*>> shownBoxes;

// Lists a box while its event loop runs; those loops end innermost first.
struct Listed {
    Listed(QDialog& box, const BoxOwner* owner) { shownBoxes.emplace_back(&box, owner); }
    ~Listed() { shownBoxes.pop_back(); }
    Listed(const Listed&) = delete;
    Listed& operator=(const Listed&) = delete;
};

struct Script {
    bool enabled = false;
    std::deque<MessageResult> messages;
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<QString>> fileNames;
    QStringList shown;
    QStringList information;
    QStringList fileFilters;
};

Script& script()
{
    static Script s;
    return s;
}

bool canShowWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

MessageResult defaultResult(MessageButtons buttons)
{
    return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::No;
}

MessageResult showMessage(const BoxOwner* owner, const QString& text, MessageButtons buttons, const QString& title,
                          MessageIcon icon)
{
    ModalScope modal;

    if (script().enabled) {
        Script& s = script();
        s.shown.append(text);
        if (icon == MessageIcon::Information)
            s.information.append(text);
        if (s.messages.empty())
            return defaultResult(buttons);
        const MessageResult result = s.messages.front();
        s.messages.pop_front();
        return result;
    }
    if (!canShowWidgets())
        return defaultResult(buttons);

    QMessageBox box;
    // Texts may come from the network or from files: never interpret markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(title);
    if (icon == MessageIcon::Information)
        box.setIcon(QMessageBox::Information);
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == MessageButtons::YesNoKeep ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const Listed listed(box, owner);
    const int clicked = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageResult::Ok;
    return clicked == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}

std::optional<QString> askInput(const BoxOwner* owner, const QString& prompt, const QString& title,
                                const QString& defaultText)
{
    ModalScope modal;

    if (script().enabled) {
        Script& s = script();
        s.shown.append(prompt);
        if (s.inputs.empty())
            return std::nullopt;
        const std::optional<QString> answer = s.inputs.front();
        s.inputs.pop_front();
        return answer;
    }
    if (!canShowWidgets())
        return std::nullopt;

    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    // The dialog offers no text format of its own; its only label is the prompt.
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(defaultText);
    const Listed listed(dialog, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> askFile(const BoxOwner* owner, const QString& title, const QString& folder,
                               const QString& filter)
{
    ModalScope modal;

    if (script().enabled) {
        Script& s = script();
        s.shown.append(title);
        s.fileFilters.append(filter);
        if (s.fileNames.empty())
            return std::nullopt;
        const std::optional<QString> answer = s.fileNames.front();
        s.fileNames.pop_front();
        return answer;
    }
    if (!canShowWidgets())
        return std::nullopt;

    QFileDialog dialog(nullptr, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const Listed listed(dialog, owner);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

MessageResult messageBox(const QString& text, MessageButtons buttons, const QString& title, MessageIcon icon)
{
    return showMessage(nullptr, text, buttons, title, icon);
}

MessageResult messageBox(const BoxOwner& owner, const QString& text, MessageButtons buttons, const QString& title,
                         MessageIcon icon)
{
    return showMessage(&owner, text, buttons, title, icon);
}

std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return askInput(nullptr, prompt, title, defaultText);
}

std::optional<QString> inputBox(const BoxOwner& owner, const QString& prompt, const QString& title,
                                const QString& defaultText)
{
    return askInput(&owner, prompt, title, defaultText);
}

std::optional<QString> openFileBox(const QString& title, const QString& folder, const QString& filter)
{
    return askFile(nullptr, title, folder, filter);
}

std::optional<QString> openFileBox(const BoxOwner& owner, const QString& title, const QString& folder,
                                   const QString& filter)
{
    return askFile(&owner, title, folder, filter);
}

int addModalListener(ModalListener listener)
{
    const int id = nextListenerId++;
    listeners().emplace(id, std::move(listener));
    return id;
}

void removeModalListener(int id)
{
    listeners().erase(id);
}

bool modalOpen()
{
    return openBoxes > 0;
}

bool closeBoxesOf(const BoxOwner& owner)
{
    // A box's event loop ends only after those of the boxes opened inside it.
    const auto first = std::find_if(shownBoxes.begin(), shownBoxes.end(),
                                    [&owner](const auto& shown) { return shown.second == &owner; });
    for (auto it = first; it != shownBoxes.end(); ++it) {
        if (it->first)
            it->first->reject();
    }
    return first != shownBoxes.end();
}

namespace dialogScript {

void enable() { script().enabled = true; }
void disable() { script().enabled = false; }
bool enabled() { return script().enabled; }

void pushMessageResult(MessageResult result) { script().messages.push_back(result); }
void pushInput(std::optional<QString> answer) { script().inputs.push_back(std::move(answer)); }
void pushFileName(std::optional<QString> path) { script().fileNames.push_back(std::move(path)); }

QStringList shown() { return script().shown; }
QStringList shownAsInformation() { return script().information; }

QStringList fileFilters() { return script().fileFilters; }

void clear()
{
    Script& s = script();
    s.messages.clear();
    s.inputs.clear();
    s.fileNames.clear();
    s.shown.clear();
    s.information.clear();
    s.fileFilters.clear();
}

}  // namespace dialogScript

}  // namespace platform
