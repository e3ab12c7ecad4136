#include "platform/Ini.h"
