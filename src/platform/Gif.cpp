#include "platform/Gif.h"
