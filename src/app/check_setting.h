#pragma once
// Settings validation at start-up: the six server names, the fixed login and
// the store number from MSLOCL's MlMsno. Part of start-up, above the database
// layer it uses.

#include "core/globals.h"
#include "core/message_box.h"
#include "install/install.h"

namespace tanka {

// commandTimeout bounds the wait for a database another program has locked.
void checkSettings(Globals& g, const InstallContext& ctx, MessageBoxes& boxes, int commandTimeout);

} // namespace tanka
