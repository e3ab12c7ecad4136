#pragma once
// Rectangle copies as the battle screen makes them: always from the picture's
// top-left corner, a missing picture drawing nothing.

#include "platform/Surface.h"

#include <QImage>

namespace screen {

inline void blit(platform::Surface& surface, int x, int y, int width, int height, const QImage& picture,
                 platform::RasterOp op)
{
    if (!picture.isNull())
        surface.blit(x, y, picture, op, QRect(0, 0, width, height));
}

// A picture on black through its mask: the mask cuts the hole, the picture fills it.
inline void blitMasked(platform::Surface& surface, int x, int y, int width, int height, const QImage& mask,
                       const QImage& picture)
{
    blit(surface, x, y, width, height, mask, platform::RasterOp::And);
    blit(surface, x, y, width, height, picture, platform::RasterOp::Paint);
}

template <typename Array>
const QImage& element(const Array& pictures, int index)
{
    static const QImage none;
    return index >= 0 && index < int(pictures.size()) ? pictures[index] : none;
}

}  // namespace screen
