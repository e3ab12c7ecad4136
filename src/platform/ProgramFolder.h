#pragma once
#include <QString>

namespace platform {

// The folder that holds the executable, the maps, "Images", the pictures and the music.
QString programFolder();
// Tests point the program at a folder of their own.
void setProgramFolder(const QString& folder);

// `name` inside `folder`, matched without regard to case when no exact match
// exists (maps and pictures were named on systems that ignore case).
// Returns the exact-case path when nothing matches at all.
QString findFile(const QString& folder, const QString& name);

// Whether a name the user typed names a file right inside a folder: not empty,
// not "." or "..", no path separator and no control character.
bool isPlainFileName(const QString& name);

}  // namespace platform
