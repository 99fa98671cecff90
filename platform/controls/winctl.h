#pragma once
// The standard controls layer: menus and popup menus, dialogs and message
// boxes, the standard scroll bars and the "SCROLLBAR", "BUTTON", "STATIC",
// "EDIT", "LISTBOX" and "COMBOBOX" classes, the caret and the clipboard.
//
// The control classes are registered by InitControls(), which every entry
// point of this layer calls on its own (dialogs, message boxes, menus); a
// program creating controls with CreateWindowExA directly calls it once
// first (and again after the window manager was reset).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ctldefs.h"
#include "platform/windows/winuser.h"

// ---- menus ---------------------------------------------------------------------
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);  // submenus go with it
BOOL IsMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item);
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);  // destroys a submenu
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);  // keeps a submenu
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);  // previous state, or -1
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);  // previous state, or -1
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
int GetMenuItemCount(HMENU menu);  // -1 for an invalid menu
UINT GetMenuItemID(HMENU menu, int position);  // -1 for a submenu or nothing
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);  // -1 when not found
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* reserved2);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL EndMenu();
// Screen rectangle of an item of a menu being shown by TrackPopupMenu.
BOOL GetMenuItemRect(HWND owner, HMENU menu, UINT position, LPRECT rect);

// Keyboard accelerators: a table of keys to commands; TranslateAcceleratorA
// turns a matching WM_KEYDOWN/WM_SYSKEYDOWN into WM_COMMAND (high word 1).
using HACCEL = struct HACCEL__*;
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg);

// ---- dialogs -------------------------------------------------------------------
// Templates named by a resource identifier are registered in code first.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG GetDialogBaseUnits();
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- scroll bars ---------------------------------------------------------------
// `bar` is SB_HORZ/SB_VERT for the standard bars of a window with
// WS_HSCROLL/WS_VSCROLL, SB_CTL for a "SCROLLBAR" control.
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info);

// ---- caret ---------------------------------------------------------------------
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT pt);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// ---- clipboard -------------------------------------------------------------------
// Its blocks are the system layer's global memory (platform/system/winbase.h).
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard owns the data afterwards (CF_TEXT/CF_DIB: a GlobalAlloc
// block; CF_BITMAP: a bitmap handle).
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
UINT RegisterClipboardFormatA(LPCSTR name);
HWND GetClipboardOwner();
int CountClipboardFormats();

// Registers the common control classes (quelvo::ctl::InitControls).
void InitCommonControls();

namespace quelvo::ctl {

// Registers the control classes when they are not (idempotent).
void InitControls();

// A program without a display of its own runs on the headless display,
// where nobody could answer a modal dialog, message box or popup menu:
// there DialogBoxParamA gives -1, MessageBoxA 0 and TrackPopupMenu FALSE
// (after the tray menu handler was asked). Tests that drive the headless
// display with synthetic input allow them here.
void AllowModalOnHeadlessDisplay(bool allow);

// A menu about to be shown by TrackPopupMenu for `owner` is offered to this
// handler first; when it answers true the menu was shown elsewhere (a
// desktop panel exporting a tray icon's menu) and TrackPopupMenu returns at
// once without a popup of its own (FALSE/0 with TPM_RETURNCMD, TRUE
// otherwise). When it answers false it may move `at`, where the popup
// opens (the place a panel asked for a tray icon's menu). Installed by a
// higher layer; an empty function removes it.
using TrayMenuHandler = std::function<bool(HMENU menu, HWND owner, POINT& at)>;
void SetTrayMenuHandler(TrayMenuHandler handler);

// Dialog templates found by DialogBoxParamA/CreateDialogParamA by
// (instance, identifier) or (instance, name).
void RegisterDialogTemplate(HINSTANCE instance, int id, DialogTemplate dialog);
void RegisterDialogTemplate(HINSTANCE instance, const std::string& name, DialogTemplate dialog);

// Where the clipboard's data lives besides this process. The headless
// display keeps it in the process; a desktop backend publishes text on
// SetClipboardData of CF_TEXT and supplies text when this process has none.
class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual void Published(const std::string& text) = 0;
    virtual bool Fetch(std::string& text) = 0;
    // Images travel as packed DIBs (header, colour table, rows). A backend
    // that carries only text keeps these defaults.
    virtual void PublishedImage(const std::vector<std::uint8_t>& dib) { (void)dib; }
    virtual bool HasImage() { return false; }
    virtual bool FetchImage(std::vector<std::uint8_t>& dib) { (void)dib; return false; }
    // This process emptied its clipboard or lost it to another program:
    // what was published before is no longer ours to offer.
    virtual void Emptied() {}
};
void SetClipboardBackend(std::unique_ptr<ClipboardBackend> backend);
// Another program took the desktop's clipboard: what this process holds is
// dropped (at CloseClipboard when it is open) and text is asked for anew.
// Text fetched from the desktop is in any case asked for again at every
// OpenClipboard, as the desktop may have changed it since.
void ClipboardTakenElsewhere();
// The clipboard's text (CF_TEXT) as a string, empty when none.
std::string ClipboardText();
// Empties the clipboard for `owner` and puts the text there; false when the
// clipboard is open elsewhere.
bool SetClipboardText(HWND owner, const std::string& text);

// Standard scroll bars in the non-client area. Once InitControls ran (or a
// scroll bar function was called), DefWindowProcA of every window with
// WS_HSCROLL/WS_VSCROLL draws them after the default frame and tracks
// presses on them. A window procedure that keeps non-client messages from
// DefWindowProcA passes them here first; true when the message was handled.
bool HandleScrollBarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace quelvo::ctl
