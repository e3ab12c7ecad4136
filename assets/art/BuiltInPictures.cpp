#include "art/BuiltInPictures.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE declares the resource's initialiser where it stands, so this
// must be in the global namespace (not an unnamed one).
static void registerPictures()
{
    Q_INIT_RESOURCE(pictures);
}

void initBuiltInPictures()
{
    static std::once_flag once;
    std::call_once(once, registerPictures);
}
