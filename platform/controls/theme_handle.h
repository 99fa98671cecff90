#pragma once
// A visual-styles theme opened for one paint; empty while styles are off or
// the class is unknown, in which case the classic look is drawn.

#include "platform/graphics/uxtheme.h"

namespace quelvo::ctl::detail {

class ThemeHandle {
public:
    ThemeHandle(HWND hwnd, LPCSTR classList) : theme_(OpenThemeData(hwnd, classList)) {}
    ~ThemeHandle()
    {
        if (theme_) CloseThemeData(theme_);
    }
    ThemeHandle(const ThemeHandle&) = delete;
    ThemeHandle& operator=(const ThemeHandle&) = delete;
    explicit operator bool() const { return theme_ != nullptr; }
    HTHEME Get() const { return theme_; }
    bool Draw(HDC dc, int part, int state, const RECT& rc) const
    {
        return theme_ && DrawThemeBackground(theme_, dc, part, state, &rc, nullptr) == 0;
    }

private:
    HTHEME theme_ = nullptr;
};

}  // namespace quelvo::ctl::detail
