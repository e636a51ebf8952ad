#include "core/util/trace.h"

int PlantedShop() { return 0; }
