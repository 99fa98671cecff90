#pragma once
// Messages of the layout-storage and style code, read through
// cxGetResourceString.

#include "components/foundation/cxClasses.h"

inline constexpr TcxResourceString scxCantCreateRegistryKey{64100, "Can't create the registry key: \\%s"};
inline constexpr TcxResourceString scxInvalidPropertyElement{64101, "Invalid property element: %s"};
inline constexpr TcxResourceString scxConverterCantCreateStyleRepository{64102, "Can't create the Style Repository"};
