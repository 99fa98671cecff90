#include "components/foundation/dxThemeConsts.h"
