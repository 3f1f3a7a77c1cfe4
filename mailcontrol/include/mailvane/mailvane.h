#pragma once
// Umbrella header of the mail control library.
#include "mailvane/ComError.h"
