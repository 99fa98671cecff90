#include "components/editor-catalogue/cxFilterControlStrs.h"

namespace {
int gStarts = 0;
}  // namespace

void cxFilterControlStrsInitialize() { ++gStarts; }

void cxFilterControlStrsFinalize()
{
    if (gStarts > 0) --gStarts;
}
