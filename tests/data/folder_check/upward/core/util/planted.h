#pragma once

// A byte helper that wrongly reaches up into the tables.
#include "core/data/custom_table.h"
