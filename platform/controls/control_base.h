#pragma once
// What the control classes of this layer share: one C++ object per control
// window, found through the window's first extra slot, created on
// WM_NCCREATE and deleted after WM_NCDESTROY.

#include <memory>
#include <string>

#include "platform/controls/winctl.h"

namespace quelvo::ctl::detail {

class Control {
public:
    explicit Control(HWND hwnd) : hwnd_(hwnd) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    HWND Hwnd() const { return hwnd_; }

protected:
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcA(hwnd_, msg, wParam, lParam); }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)); }
    // WM_COMMAND with the control's id and `code` to the parent.
    void Notify(WORD code) const;
    // The WM_SETFONT font, or the default GUI font.
    HFONT Font() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
    // WM_SETFONT/WM_GETFONT; true when handled.
    bool FontMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The parent's answer to WM_CTLCOLORxxx, or the system brush of `fallback`.
    HBRUSH ColourBrush(UINT ctlColorMsg, HDC dc, int fallback) const;
    // Draws the whole control; WM_PAINT and WM_PRINTCLIENT come here.
    virtual void Paint(HDC) {}
    // WM_ERASEBKGND (nothing to erase: Paint covers the client), WM_PAINT
    // and WM_PRINTCLIENT; true when `msg` was one of them.
    bool PaintMessage(UINT msg, WPARAM wParam, LRESULT& result);
    // The default handling, then the whole control drawn again.
    LRESULT DefaultAndRedraw(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        LRESULT r = Default(msg, wParam, lParam);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return r;
    }
    // Height of a line of the control's font.
    int FontHeight() const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
};

inline constexpr int kControlSlot = 0;  // extra bytes of every control class
inline constexpr int kControlExtra = static_cast<int>(sizeof(LONG_PTR));

Control* Lookup(HWND hwnd);
// Takes the new object for hwnd; deletes it on WM_NCDESTROY.
void Attach(HWND hwnd, std::unique_ptr<Control> control, int slot = kControlSlot);
LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, int slot = kControlSlot);

template <class T>
LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) Attach(hwnd, std::make_unique<T>(hwnd));
    return Dispatch(hwnd, msg, wParam, lParam);
}

// Class procedures, registered by InitControls.
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ScrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboListProc(HWND, UINT, WPARAM, LPARAM);
LRESULT MenuWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT DialogClassProc(HWND, UINT, WPARAM, LPARAM);

inline constexpr const char* kMenuClass = "#32768";
inline constexpr const char* kDialogClass = "#32770";
inline constexpr const char* kComboListClass = "ComboLBox";

// Makes DefWindowProcA of every window draw and track the standard scroll
// bars of WS_HSCROLL / WS_VSCROLL (idempotent; InitControls and the scroll
// bar functions call it).
void InstallStandardScrollBars();

// Small shared helpers.
POINT PointFrom(LPARAM lParam);
bool KeyDown(int vk);  // from the message-time key state
RECT ScreenClientRect(HWND hwnd);
std::string WindowText(HWND hwnd);
// Number of UTF-8 code points in s; byte offset of code point `index`.
int CharCount(const std::string& s);
std::size_t ByteOffset(const std::string& s, int index);
int LineHeight(HDC dc);
int TextWidth(HDC dc, const std::string& s);
// Text with '&' marks drawn with the prefix underline.
void DrawLabel(HDC dc, const std::string& text, RECT rc, UINT format, bool enabled);
// Size of a bitmap; 0 x 0 for the small special values menus use.
SIZE BitmapSize(HBITMAP bitmap);
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
// The character after a single '&' in a label, lower-cased; 0 when none.
char Mnemonic(const std::string& label);
// Runs one queued message through the normal path; false on WM_QUIT (the
// quit message is posted again for the outer loop).
bool PumpOne(HWND idleOwner, UINT idleKind);
// Whether a modal loop can have a user (see AllowModalOnHeadlessDisplay).
bool ModalUiAvailable();
// Whether the caret is on screen at this moment of its blinking.
bool CaretDrawn();

}  // namespace quelvo::ctl::detail
