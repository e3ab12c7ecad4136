#include "platform/ProgramFolder.h"
