// The "STATIC" class: text, icons, bitmaps, rectangles and etched lines.
#include "platform/controls/control_base.h"
#include "platform/graphics/winuserdraw.h"

namespace quelvo::ctl::detail {

namespace {

class Static : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD Type() const { return Style() & SS_TYPEMASK; }
    void Paint(HDC dc) override;
    HANDLE SetImage(HANDLE image);

    HANDLE image_ = nullptr;  // icon or bitmap, not owned
};

HANDLE Static::SetImage(HANDLE image)
{
    HANDLE old = image_;
    image_ = image;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return old;
}

LRESULT Static::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT fontResult = 0;
    if (FontMessage(msg, wParam, lParam, fontResult) || PaintMessage(msg, wParam, fontResult)) return fontResult;
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST: return (Style() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
        if (Style() & SS_NOTIFY) Notify(STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (Style() & SS_NOTIFY) Notify(STN_DBLCLK);
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE: return DefaultAndRedraw(msg, wParam, lParam);
    case STM_SETICON: return reinterpret_cast<LRESULT>(SetImage(reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON: return reinterpret_cast<LRESULT>(image_);
    case STM_SETIMAGE: return reinterpret_cast<LRESULT>(SetImage(reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(image_);
    default: break;
    }
    return Default(msg, wParam, lParam);
}

void Static::Paint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd_, &rc);
    DWORD style = Style();
    switch (Type()) {
    case SS_ETCHEDHORZ: DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(dc, &rc, EDGE_ETCHED, BF_LEFT); return;
    case SS_ETCHEDFRAME: DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT); return;
    case SS_BLACKRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case SS_GRAYRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW)); return;
    case SS_WHITERECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); return;
    case SS_OWNERDRAW: {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd_));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hwndItem = hwnd_;
        dis.hDC = dc;
        dis.rcItem = rc;
        SendMessageA(GetParent(hwnd_), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    default: break;
    }
    HBRUSH back = ColourBrush(WM_CTLCOLORSTATIC, dc, COLOR_BTNFACE);
    FillRect(dc, &rc, back);
    if (Type() == SS_ICON) {
        if (image_) DrawIconEx(dc, 0, 0, static_cast<HICON>(image_), 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    if (Type() == SS_BITMAP) {
        SIZE size = BitmapSize(static_cast<HBITMAP>(image_));
        bool centre = (style & SS_CENTERIMAGE) != 0;
        DrawBitmap(dc, static_cast<HBITMAP>(image_), centre ? (rc.right - size.cx) / 2 : 0,
                   centre ? (rc.bottom - size.cy) / 2 : 0);
        return;
    }
    UINT format = DT_EXPANDTABS;
    switch (Type()) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT | DT_SINGLELINE; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
    HGDIOBJ oldFont = SelectObject(dc, Font());
    DrawLabel(dc, WindowText(hwnd_), rc, format, IsWindowEnabled(hwnd_) != FALSE);
    SelectObject(dc, oldFont);
}

}  // namespace

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<Static>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail
