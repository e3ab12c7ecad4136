#pragma once
#include <QImage>
#include <QString>

namespace platform {

// Loads a picture file (GIF) as RGB32 with transparent pixels made black, so it
// combines correctly under the AND/OR raster operations. A null image when the
// file is missing or unreadable.
QImage loadPicture(const QString& path);

}  // namespace platform
