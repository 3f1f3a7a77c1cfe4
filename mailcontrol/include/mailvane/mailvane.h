#pragma once
// Umbrella header of the mail control library.
#include "mailvane/ComError.h"
#include "mailvane/ComposedMessage.h"
#include "mailvane/IMailvaneEvents.h"
#include "mailvane/Mailvane.h"
#include "mailvane/Persistence.h"
#include "mailvane/PropertyInfo.h"
