#pragma once
// How priority classes map to nice values on this platform.

#include "platform/system/winbase.h"

namespace quelvo::sys {

// Low 19, Below Normal 10, Normal 0, Above Normal -5, High -10,
// Realtime -20; 0 for anything else.
constexpr int NiceOfClass(DWORD priorityClass)
{
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return 19;
    case BELOW_NORMAL_PRIORITY_CLASS: return 10;
    case ABOVE_NORMAL_PRIORITY_CLASS: return -5;
    case HIGH_PRIORITY_CLASS: return -10;
    case REALTIME_PRIORITY_CLASS: return -20;
    default: return 0;
    }
}

// The nearest class: >= 15 Low, 5..14 Below Normal, -2..4 Normal,
// -7..-3 Above Normal, -15..-8 High, <= -16 Realtime.
constexpr DWORD ClassOfNice(long nice)
{
    if (nice >= 15) return IDLE_PRIORITY_CLASS;
    if (nice >= 5) return BELOW_NORMAL_PRIORITY_CLASS;
    if (nice >= -2) return NORMAL_PRIORITY_CLASS;
    if (nice >= -7) return ABOVE_NORMAL_PRIORITY_CLASS;
    if (nice >= -15) return HIGH_PRIORITY_CLASS;
    return REALTIME_PRIORITY_CLASS;
}

}  // namespace quelvo::sys
