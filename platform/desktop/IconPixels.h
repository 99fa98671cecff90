#pragma once
// The pixels of an icon handle in the form the notification area takes.

#include "platform/desktop/StatusNotifierItem.h"
#include "platform/system/wintypes.h"

#include <optional>

namespace quelvo::desktop {

// Colour bitmap with its alpha, or with the AND mask as transparency when no
// pixel carries alpha; a monochrome icon (mask of double height)
// becomes black and white. Empty when the handle is no icon.
std::optional<IconImage> IconImageOf(HICON icon);

} // namespace quelvo::desktop
