#include "platform/Surface.h"
