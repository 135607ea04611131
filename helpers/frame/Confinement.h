// The sandbox as the helpers use it (platform/confine): the settings can require it, and the
// one notice of an unconfined run goes to the shared log, once until the sandbox works again.
#pragma once

#include "platform/confine/Confine.h"

namespace vellora::helper {

// Required when the general section's RequireConfinement is 1, otherwise Auto.
confine::Mode ConfinementMode();

// Sends the sandbox layer's notice to the shared log (call once, early in main).
void ReportUnconfinedToLog();

}  // namespace vellora::helper
