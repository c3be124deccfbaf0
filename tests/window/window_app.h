#pragma once

#include <fx.h>

// The toolkit application shared by every window test of this process, already connected to the
// display.
FXApp* testApplication();
