#include "platform/graphics/libraries.h"

#include "platform/graphics/uxtheme.h"
#include "platform/graphics/wingdi.h"
#include "platform/system/libraries.h"

#include <mutex>

namespace quelvo::gfx {

namespace {

template <class F>
void Add(const char* library, const char* name, F* function)
{
    sys::RegisterLibraryFunction(library, name, reinterpret_cast<FARPROC>(function));
}

// Linking this layer registers its libraries before main().
const bool kRegistered = (RegisterLibraries(), true);

} // namespace

void RegisterLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const char* ux = "UXTHEME.DLL";
        Add(ux, "CloseThemeData", &CloseThemeData);
        Add(ux, "DrawThemeBackground", &DrawThemeBackground);
        Add(ux, "DrawThemeEdge", &DrawThemeEdge);
        Add(ux, "DrawThemeParentBackground", &DrawThemeParentBackground);
        Add(ux, "DrawThemeText", &DrawThemeText);
        Add(ux, "GetCurrentThemeName", &GetCurrentThemeName);
        Add(ux, "GetThemeBackgroundContentRect", &GetThemeBackgroundContentRect);
        Add(ux, "GetThemeBackgroundExtent", &GetThemeBackgroundExtent);
        Add(ux, "GetThemeBackgroundRegion", &GetThemeBackgroundRegion);
        Add(ux, "GetThemeColor", &GetThemeColor);
        Add(ux, "GetThemeMargins", &GetThemeMargins);
        Add(ux, "GetThemePartSize", &GetThemePartSize);
        Add(ux, "GetThemeSysColor", &GetThemeSysColor);
        Add(ux, "IsAppThemed", &IsAppThemed);
        Add(ux, "IsThemeActive", &IsThemeActive);
        Add(ux, "IsThemeBackgroundPartiallyTransparent", &IsThemeBackgroundPartiallyTransparent);
        Add(ux, "IsThemePartDefined", &IsThemePartDefined);
        Add(ux, "OpenThemeData", &OpenThemeData);
        const char* img = "MSIMG32.DLL";
        Add(img, "AlphaBlend", &AlphaBlend);
        Add(img, "TransparentBlt", &TransparentBlt);
    });
    (void)kRegistered;
}

} // namespace quelvo::gfx
