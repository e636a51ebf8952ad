#include "core/lang/language_db.h"

int PlantedCalc() { return 0; }
