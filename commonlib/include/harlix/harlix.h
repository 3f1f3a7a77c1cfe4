#pragma once
// Umbrella header of the Harlix common functions library.
#include "harlix/ComError.h"
#include "harlix/RegSettings.h"
