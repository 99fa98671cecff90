#pragma once
// The menu and message fonts of the system metrics, owned for a scope.

#include "platform/windows/winuser.h"

namespace quelvo::ctl::detail {

class MenuFont {
public:
    enum class Kind { Menu, Message };
    explicit MenuFont(Kind kind = Kind::Menu, bool bold = false)
    {
        NONCLIENTMETRICSA m;
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) return;
        LOGFONTA lf = kind == Kind::Menu ? m.lfMenuFont : m.lfMessageFont;
        if (bold) lf.lfWeight = FW_BOLD;
        font_ = CreateFontIndirectA(&lf);
    }
    ~MenuFont()
    {
        if (font_) DeleteObject(font_);
    }
    MenuFont(const MenuFont&) = delete;
    MenuFont& operator=(const MenuFont&) = delete;
    HFONT Get() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

private:
    HFONT font_ = nullptr;
};

}  // namespace quelvo::ctl::detail
