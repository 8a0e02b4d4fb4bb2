#pragma once

// Everything the window and the command line use of the settings file: its place, its keys
// and defaults, the load, the reset and the key writes of the window's handlers.
#include "fs/status.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "settings/settings_paths.h"
#include "settings/settings_snapshot.h"
#include "settings/settings_writes.h"
