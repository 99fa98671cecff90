#pragma once
// The notification-area (tray) icon of a window, with its tooltip and
// balloons, shown through the desktop's notification-area and notification
// services on the session bus. Without those services the calls fail
// quietly (FALSE) and the program goes on working.
//
// The icon's mouse events arrive as the record's callback message
// (wParam = the icon's uID, lParam = the mouse message):
//   - a click on the icon (the protocol knows no double click) arrives as
//     WM_LBUTTONDBLCLK, since it opens what a double click opens;
//   - a request for the context menu, and a panel about to show the icon's
//     exported menu, arrive as WM_RBUTTONUP (see traymenu.h);
//   - a middle click arrives as WM_MBUTTONUP.
// When a notification-area host appears or is restarted, the registered
// message "TaskbarCreated" is posted to every top-level window of the
// process: the icons it showed are gone and must be added again.

#include "platform/system/wintypes.h"

inline constexpr DWORD NIM_ADD = 0x00000000;
inline constexpr DWORD NIM_MODIFY = 0x00000001;
inline constexpr DWORD NIM_DELETE = 0x00000002;

inline constexpr UINT NIF_MESSAGE = 0x00000001;
inline constexpr UINT NIF_ICON = 0x00000002;
inline constexpr UINT NIF_TIP = 0x00000004;
inline constexpr UINT NIF_INFO = 0x00000010;

inline constexpr DWORD NIIF_NONE = 0x00000000;
inline constexpr DWORD NIIF_INFO = 0x00000001;
inline constexpr DWORD NIIF_WARNING = 0x00000002;
inline constexpr DWORD NIIF_ERROR = 0x00000003;
inline constexpr DWORD NIIF_USER = 0x00000004;
inline constexpr DWORD NIIF_ICON_MASK = 0x0000000F;
inline constexpr DWORD NIIF_NOSOUND = 0x00000010;

// The record with balloon fields. cbSize is not consulted: every field of
// this layout is read. Texts need no terminating NUL; each is read up to
// the end of its array, and a text longer than what the desktop takes is
// cut between characters.
struct NOTIFYICONDATAA {
    DWORD cbSize = sizeof(NOTIFYICONDATAA);
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    CHAR szTip[128] = {};
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    CHAR szInfo[256] = {};
    UINT uTimeout = 0; // balloon time-out in ms; below 10000 counts as 10000
    CHAR szInfoTitle[64] = {};
    DWORD dwInfoFlags = 0;
};
using PNOTIFYICONDATAA = NOTIFYICONDATAA*;

// NIM_ADD: shows the icon of (hWnd, uID) with the fields uFlags names;
//   FALSE without a notification-area host, when hWnd is no window, or when
//   the icon is already shown. The record is kept even then, so that
//   balloons still reach the notification service and a later NIM_ADD
//   (after "TaskbarCreated") shows the icon.
// NIM_MODIFY: changes the fields uFlags names; NIF_INFO shows a balloon
//   (summary szInfoTitle, body szInfo, icon by dwInfoFlags) in place of the
//   icon's previous one, and an empty szInfo takes the balloon down. FALSE
//   when the icon was never added.
// NIM_DELETE: removes the icon and its balloon; FALSE when there was none.
// Any other message, or no record: FALSE.
BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);
