// Open and Save: the map being edited to and from a map file in the program folder.

#include "data/MapFile.h"
#include "data/Records.h"
#include "editor/frmEditor.h"
#include "editor/frmOptions.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>

using platform::MessageButtons;

namespace {

const QString Extension = QStringLiteral(".spw");

void tell(const QString& text)
{
    platform::messageBox(text, MessageButtons::Ok, frmOptions::Title);
}

// The file a typed name stands for; nullopt (after saying why) for Cancel,
// an empty name, or one that would reach outside the program folder.
std::optional<QString> askForFile(const QString& prompt)
{
    const auto name = platform::inputBox(prompt, frmOptions::Title);
    if (!name || name->isEmpty())
        return std::nullopt;
    if (!platform::isPlainFileName(*name)) {
        tell(frmOptions::BadName.arg(*name));
        return std::nullopt;
    }
    // The name the user typed is the one they would type again to open it.
    return platform::findFile(platform::programFolder(), *name + Extension);
}

QString typedName(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

}  // namespace

void frmOptions::mnuSave_Click()
{
    const mapfile::MapDocument& map = editor.Map;
    for (int p = 1; p <= map.Players; ++p) {
        if (map.EdHQ[p] == None) {
            tell(NoHeadquarters.arg(p));
            return;
        }
    }
    const auto path = askForFile(SavePrompt);
    if (!path)
        return;
    if (mapfile::write(*path, map))
        editor.MarkUnchanged();
    else
        tell(SaveFailed);
}

void frmOptions::mnuOpen_Click()
{
    const auto path = askForFile(OpenPrompt);
    if (!path)
        return;
    // Nothing changes until the whole file has been read and its size accepted.
    if (!QFileInfo(*path).isFile()) {
        tell(NotFound.arg(typedName(*path)));
        return;
    }
    auto map = mapfile::read(*path);
    if (!map) {
        tell(NoValidSize.arg(typedName(*path)));
        return;
    }
    if (!AcceptSize(map->MapWidth, map->MapHeight) || !MayDiscardMap())
        return;
    editor.Replace(std::move(*map));
    editor.MarkUnchanged();
    ShowMapSize();
}
