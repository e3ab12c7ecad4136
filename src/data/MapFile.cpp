#include "data/MapFile.h"
