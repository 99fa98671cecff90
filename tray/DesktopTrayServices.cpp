#include "tray/DesktopTrayServices.h"

#include <memory>
#include <set>

#include "platform/controls/winctl.h"
#include "platform/desktop/MenuReader.h"
#include "platform/desktop/shellapi.h"
#include "platform/desktop/traymenu.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/app_icons.h"
#include "tray/TrayArtwork.h"

namespace quelvo::tray {

namespace {

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

OwnedMenu BuildMenu(const std::vector<TrayMenuItem>& items)
{
    OwnedMenu menu(CreatePopupMenu());
    if (!menu)
        return menu;
    for (const TrayMenuItem& item : items) {
        if (item.IsSeparator())
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu.get(), MF_STRING | (item.checked ? MF_CHECKED : 0), item.id, item.text.c_str());
    }
    return menu;
}

// The About box while it is open: a second About brings it forward instead.
HWND gOpenAbout = nullptr;

INT_PTR TrackedAboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        gOpenAbout = dialog;
    else if (msg == WM_NCDESTROY && gOpenAbout == dialog)
        gOpenAbout = nullptr;
    return AboutDlgProc(dialog, msg, wParam, lParam);
}

}  // namespace

INT_PTR AboutDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* text = reinterpret_cast<const std::string*>(lParam);
        SetDlgItemTextA(dialog, kAboutText, text != nullptr ? text->c_str() : "");
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void RegisterAboutDialog(HINSTANCE instance)
{
    static std::set<HINSTANCE> registered;
    if (!registered.insert(instance).second)
        return;
    quelvo::ctl::DialogTemplate about;
    about.caption = "About";
    about.fontFace = "MS Shell Dlg";
    about.pointSize = 8;
    about.style |= DS_CENTER;
    about.cx = 250;
    about.cy = 82;
    about.items.push_back({"BUTTON", "OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 193, 7, 50, 14});
    about.items.push_back({"STATIC", "Current Operation:", kAboutText, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 16, 7, 173, 69});
    quelvo::ctl::RegisterDialogTemplate(instance, kAboutDialog, std::move(about));
}

BOOL DesktopTrayServices::NotifyIcon(DWORD message, NOTIFYICONDATAA& data)
{
    return Shell_NotifyIconA(message, &data);
}

HICON DesktopTrayServices::LoadTrayIcon(int id)
{
    const HICON icon = IconAtSize(id, kIconSize);
    if (icon == nullptr)
        return nullptr;
    std::vector<quelvo::desktop::IconImage> pictures;
    for (const int size : kIconSizes)
        pictures.push_back({size, size, TrayIconPixels(id, size)});
    quelvo::desktop::SetTrayIconPictures(icon, std::move(pictures));
    return icon;
}

HICON IconAtSize(int id, int size)
{
    const std::vector<std::uint32_t> pixels = TrayIconPixels(id, size);
    if (pixels.empty())
        return nullptr;
    // A set mask bit is a transparent pixel; rows of the mask are whole
    // 16-bit words.
    const int stride = (size + 15) / 16 * 2;
    std::vector<unsigned char> mask(static_cast<std::size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((pixels[y * size + x] >> 24) == 0)
                mask[y * stride + x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
    const OwnedBitmap color(CreateBitmap(size, size, 1, 32, pixels.data()));
    const OwnedBitmap monochrome(CreateBitmap(size, size, 1, 1, mask.data()));
    if (!color || !monochrome)
        return nullptr;
    ICONINFO info;
    info.fIcon = TRUE;
    info.hbmColor = color.get();
    info.hbmMask = monochrome.get();
    return CreateIconIndirect(&info);
}

void UseTrayProgramIcon()
{
    std::vector<HICON> icons;
    for (const int size : kIconSizes) {
        if (HICON icon = IconAtSize(kIconEnabled, size))
            icons.push_back(icon);
    }
    quelvo::win::SetApplicationIcons(icons);
    for (HICON icon : icons)
        DestroyIcon(icon);
}

void DesktopTrayServices::DestroyTrayIcon(HICON icon)
{
    quelvo::desktop::SetTrayIconPictures(icon, {});
    DestroyIcon(icon);
}

void DesktopTrayServices::TrackMenu(HWND owner, const std::vector<TrayMenuItem>& items)
{
    const OwnedMenu menu = BuildMenu(items);
    if (!menu)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(GetLastActivePopup(owner));
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
}

void DesktopTrayServices::PublishMenu(HWND owner, const std::vector<TrayMenuItem>& items)
{
    // Read back from a real menu, so panels see exactly what the popup shows.
    const OwnedMenu menu = BuildMenu(items);
    if (menu)
        quelvo::desktop::PublishTrayMenu(owner, quelvo::desktop::ReadMenu(menu.get()));
}

INT_PTR DesktopTrayServices::ShowAbout(HINSTANCE instance, const std::string& text)
{
    if (gOpenAbout != nullptr && IsWindow(gOpenAbout)) {
        if (IsIconic(gOpenAbout))
            ShowWindow(gOpenAbout, SW_RESTORE);
        SetForegroundWindow(gOpenAbout);
        return 0;
    }
    RegisterAboutDialog(instance);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(kAboutDialog), nullptr, &TrackedAboutProc,
                           reinterpret_cast<LPARAM>(&text));
}

}  // namespace quelvo::tray
