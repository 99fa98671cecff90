#pragma once
// Part and state numbers of the visual-styles documentation. Our theme
// layer declares them beside its calls; this unit names the set painters
// include.

#include "platform/graphics/uxtheme.h"
