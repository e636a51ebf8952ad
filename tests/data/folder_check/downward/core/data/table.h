#pragma once

#include "core/util/trace.h"
