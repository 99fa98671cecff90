#include "components/foundation/cxLibraryStrs.h"
