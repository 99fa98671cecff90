#pragma once
// Everything the programs call on the system side, by its Windows name.

#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/perfdata.h"
#include "platform/system/psapi.h"
#include "platform/system/registry.h"
#include "platform/system/shell.h"
#include "platform/system/toolhelp.h"
#include "platform/system/winbase.h"
#include "platform/system/window_directory.h"
#include "platform/system/winerror.h"
#include "platform/system/wintypes.h"
