#include "platform/windows/app_icons.h"

#include "platform/graphics/wingdi.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win {

namespace {

std::vector<HICON>& ApplicationIcons()
{
    static std::vector<HICON> icons;
    return icons;
}

std::vector<HICON> Present(std::initializer_list<HICON> icons)
{
    std::vector<HICON> out;
    for (HICON icon : icons) {
        if (icon != nullptr)
            out.push_back(icon);
    }
    return out;
}

}  // namespace

void SetApplicationIcons(const std::vector<HICON>& icons)
{
    for (HICON icon : ApplicationIcons())
        DestroyIcon(icon);
    ApplicationIcons().clear();
    for (HICON icon : icons) {
        if (HICON copy = CopyIcon(icon))
            ApplicationIcons().push_back(copy);
    }
    // Shown windows take them up.
    for (auto* w : detail::S().topLevels)
        detail::NotifyDisplay(w);
}

std::vector<HICON> WindowIcons(HWND hwnd)
{
    const detail::Window* w = detail::Find(hwnd);
    if (w == nullptr)
        return {};
    if (auto own = Present({w->bigIcon, w->smallIcon}); !own.empty())
        return own;
    if (w->cls) {
        if (auto fromClass = Present({w->cls->icon, w->cls->smallIcon}); !fromClass.empty())
            return fromClass;
    }
    return ApplicationIcons();
}

}  // namespace quelvo::win

namespace quelvo::win::detail {

LRESULT DefSetIcon(Window* w, WPARAM kind, HICON icon)
{
    if (kind != ICON_BIG && kind != ICON_SMALL)
        return 0;
    HICON& slot = kind == ICON_BIG ? w->bigIcon : w->smallIcon;
    HICON previous = slot;
    slot = icon;
    NotifyDisplay(TopLevelOf(w));
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT DefGetIcon(Window* w, WPARAM kind)
{
    switch (kind) {
    case ICON_BIG: return reinterpret_cast<LRESULT>(w->bigIcon);
    case ICON_SMALL: return reinterpret_cast<LRESULT>(w->smallIcon);
    case ICON_SMALL2: {
        // The small icon the desktop shows: the window's, else its class's.
        HICON icon = w->smallIcon != nullptr ? w->smallIcon : w->cls ? w->cls->smallIcon : nullptr;
        return reinterpret_cast<LRESULT>(icon);
    }
    default: return 0;
    }
}

}  // namespace quelvo::win::detail
