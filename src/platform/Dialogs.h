#pragma once
// Modal message and input boxes. While one is open no battle frame may run, so
// listeners (the frame drivers) hear when a box opens and closes. Tests answer
// boxes by script instead of showing them.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

namespace platform {

// Who asked for a box. A battle or a room holds one and names it with each box
// it asks, so its boxes can close with it whichever window is active when they
// open; boxes that name none belong to no game.
class BoxOwner {
public:
    BoxOwner() = default;
    BoxOwner(const BoxOwner&) = delete;
    BoxOwner& operator=(const BoxOwner&) = delete;
};

// YesNoKeep is for a question whose Yes throws work away: Enter and Space answer No.
enum class MessageButtons { Ok, YesNo, YesNoKeep };
enum class MessageResult { Ok, Yes, No };
enum class MessageIcon { None, Information };

MessageResult messageBox(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                         const QString& title = QString(), MessageIcon icon = MessageIcon::None);
MessageResult messageBox(const BoxOwner& owner, const QString& text, MessageButtons buttons = MessageButtons::Ok,
                         const QString& title = QString(), MessageIcon icon = MessageIcon::None);
// nullopt when the user cancels.
std::optional<QString> inputBox(const QString& prompt, const QString& title = QString(),
                                const QString& defaultText = QString());
std::optional<QString> inputBox(const BoxOwner& owner, const QString& prompt, const QString& title = QString(),
                                const QString& defaultText = QString());
// A file-open dialog starting in `folder`; `filter` as "Maps (*.spw)". The chosen
// file's full path, or nullopt when the user cancels.
std::optional<QString> openFileBox(const QString& title, const QString& folder, const QString& filter);
std::optional<QString> openFileBox(const BoxOwner& owner, const QString& title, const QString& folder,
                                   const QString& filter);

// Called with true before a box opens and with false after it closes. A box
// opened while another is up adds no calls: listeners hear the outermost pair.
using ModalListener = std::function<void(bool open)>;
int addModalListener(ModalListener listener);
void removeModalListener(int id);
bool modalOpen();

// Closes, as Cancel or No would, the boxes `owner` asked for and any box opened
// after the first of them (one opened over it); each returns that answer once
// its caller runs again. True while such a box has not yet returned.
bool closeBoxesOf(const BoxOwner& owner);

// Scripted answers. Once enabled, no box is shown: each call takes the next
// queued answer (Ok / No / cancel when none is queued) and records its text.
namespace dialogScript {
void enable();
void disable();
bool enabled();
void pushMessageResult(MessageResult result);
void pushInput(std::optional<QString> answer);
// The next file-open dialog's answer (cancel when none is queued); it records its title.
void pushFileName(std::optional<QString> path);
// The filters of the file-open dialogs asked for since the last clear.
QStringList fileFilters();
// Texts of the boxes asked for since the last clear, message boxes and input prompts alike.
QStringList shown();
// Of those, the message boxes that carry the information icon.
QStringList shownAsInformation();
void clear();
}  // namespace dialogScript

}  // namespace platform
