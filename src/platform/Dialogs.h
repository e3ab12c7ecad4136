#pragma once
// Modal message and input boxes. While one is open no battle frame may run, so
// listeners (the frame drivers) hear when a box opens and closes. Tests answer
// boxes by script instead of showing them.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// YesNoKeep is for a question whose Yes throws work away: Enter and Space answer No.
enum class MessageButtons { Ok, YesNo, YesNoKeep };
enum class MessageResult { Ok, Yes, No };
enum class MessageIcon { None, Information };

MessageResult messageBox(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                         const QString& title = QString(), MessageIcon icon = MessageIcon::None);
// nullopt when the user cancels.
std::optional<QString> inputBox(const QString& prompt, const QString& title = QString(),
                                const QString& defaultText = QString());
// A file-open dialog starting in `folder`; `filter` as "Maps (*.spw)". The chosen
// file's full path, or nullopt when the user cancels.
std::optional<QString> openFileBox(const QString& title, const QString& folder, const QString& filter);

// Called with true before a box opens and with false after it closes. A box
// opened while another is up adds no calls: listeners hear the outermost pair.
using ModalListener = std::function<void(bool open)>;
int addModalListener(ModalListener listener);
void removeModalListener(int id);
bool modalOpen();

// Closes, as Cancel or No would, the boxes opened over `window` (the active
// window when each opened) and any box opened after them; each returns that
// answer once its caller runs again. True while such a box has not yet returned.
bool closeBoxesOver(const QWidget* window);

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
