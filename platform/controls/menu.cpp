// Menus as data, popup menus tracked in a modal loop, keyboard accelerators.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/controls/control_base.h"
#include "platform/controls/menu_font.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/display.h"

namespace {

using namespace quelvo::ctl::detail;

constexpr DWORD kErrorInvalidMenu = 1401;
constexpr UINT kStateMask = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;
constexpr UINT kTypeMask = MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MFT_RADIOCHECK |
                           MF_RIGHTJUSTIFY;

struct MenuEntry {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU sub = nullptr;
    std::string text;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    HBITMAP bitmap = nullptr;
    ULONG_PTR data = 0;

    bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
    bool Enabled() const { return (state & MFS_GRAYED) == 0; }
};

struct MenuData {
    bool popup = false;
    std::vector<MenuEntry> items;
};

std::map<HMENU, std::unique_ptr<MenuData>>& Menus()
{
    static std::map<HMENU, std::unique_ptr<MenuData>> menus;
    return menus;
}

MenuData* Data(HMENU menu)
{
    auto it = Menus().find(menu);
    if (it == Menus().end()) {
        SetLastError(kErrorInvalidMenu);
        return nullptr;
    }
    return it->second.get();
}

HMENU NewMenu(bool popup)
{
    auto data = std::make_unique<MenuData>();
    data->popup = popup;
    auto handle = reinterpret_cast<HMENU>(data.get());
    Menus()[handle] = std::move(data);
    return handle;
}

struct Where {
    MenuData* menu = nullptr;
    std::size_t index = 0;
};

// By position in `menu`, or by command anywhere in it and its submenus.
std::optional<Where> Locate(HMENU menu, UINT item, bool byPosition, int depth = 0)
{
    MenuData* m = Data(menu);
    if (!m || depth > 32) return std::nullopt;
    if (byPosition) {
        if (item >= m->items.size()) return std::nullopt;
        return Where{m, item};
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        const MenuEntry& e = m->items[i];
        if (!e.sub && !e.Separator() && e.id == item) return Where{m, i};
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        if (!m->items[i].sub) continue;
        if (auto w = Locate(m->items[i].sub, item, false, depth + 1)) return w;
    }
    // A submenu can be named by its handle as command.
    for (std::size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].sub && reinterpret_cast<UINT_PTR>(m->items[i].sub) == item) return Where{m, i};
    return std::nullopt;
}

MenuEntry EntryFromFlags(UINT flags, UINT_PTR idOrSubmenu, LPCSTR item)
{
    MenuEntry e;
    e.type = flags & kTypeMask;
    e.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE);
    if (flags & MF_POPUP) {
        auto sub = reinterpret_cast<HMENU>(idOrSubmenu);
        if (Menus().count(sub)) {
            e.sub = sub;
            Menus()[sub]->popup = true;
        }
    } else {
        e.id = static_cast<UINT>(idOrSubmenu);
    }
    if (flags & MF_BITMAP) e.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(item));
    else if (flags & MF_OWNERDRAW) e.data = reinterpret_cast<ULONG_PTR>(item);
    else if (!(flags & MF_SEPARATOR) && item) e.text = item;
    if ((flags & MF_SEPARATOR) == 0 && (flags & (MF_BITMAP | MF_OWNERDRAW)) == 0 && !item && !(flags & MF_POPUP))
        e.type |= MFT_SEPARATOR;  // a string item without text is a separator
    return e;
}

void DestroyTree(HMENU menu, int depth = 0)
{
    auto it = Menus().find(menu);
    if (it == Menus().end() || depth > 32) return;
    std::unique_ptr<MenuData> data = std::move(it->second);
    Menus().erase(it);
    for (const MenuEntry& e : data->items)
        if (e.sub) DestroyTree(e.sub, depth + 1);
}

bool InsertEntry(HMENU menu, UINT position, bool byPosition, MenuEntry e)
{
    MenuData* m = Data(menu);
    if (!m) return false;
    if (e.sub == menu) return false;  // a menu cannot contain itself
    std::size_t at = m->items.size();
    if (byPosition) {
        if (position != static_cast<UINT>(-1)) at = std::min<std::size_t>(position, m->items.size());
    } else if (auto w = Locate(menu, position, false)) {
        m = w->menu;
        at = w->index;
    }
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(e));
    return true;
}

}  // namespace

// ---- building menus ---------------------------------------------------------

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu)
{
    if (!Data(menu)) return FALSE;
    DestroyTree(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) { return Menus().count(menu) ? TRUE : FALSE; }

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item)
{
    return InsertEntry(menu, static_cast<UINT>(-1), true, EntryFromFlags(flags, idOrSubmenu, item)) ? TRUE : FALSE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item)
{
    return InsertEntry(menu, position, (flags & MF_BYPOSITION) != 0, EntryFromFlags(flags, idOrSubmenu, item)) ? TRUE
                                                                                                              : FALSE;
}

namespace {

bool ValidInfo(LPCMENUITEMINFOA info)
{
    return info && info->cbSize >= offsetof(MENUITEMINFOA, hbmpItem) && info->cbSize <= sizeof(MENUITEMINFOA);
}

void ApplyInfo(MenuEntry& e, LPCMENUITEMINFOA info)
{
    UINT mask = info->fMask;
    if (mask & MIIM_TYPE) {
        e.type = info->fType & kTypeMask;
        if (e.type & MFT_BITMAP) e.bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
        else if (e.type & MFT_OWNERDRAW) e.data = reinterpret_cast<ULONG_PTR>(info->dwTypeData);
        else if (!(e.type & MFT_SEPARATOR)) e.text = info->dwTypeData ? info->dwTypeData : "";
    }
    if (mask & MIIM_FTYPE) e.type = (e.type & ~kTypeMask) | (info->fType & kTypeMask);
    if (mask & MIIM_STRING) e.text = info->dwTypeData ? info->dwTypeData : "";
    if (mask & MIIM_STATE) e.state = info->fState & kStateMask;
    if (mask & MIIM_ID) e.id = info->wID;
    if (mask & MIIM_SUBMENU) {
        e.sub = Menus().count(info->hSubMenu) ? info->hSubMenu : nullptr;
        if (e.sub) Menus()[e.sub]->popup = true;
    }
    if (mask & MIIM_CHECKMARKS) {
        e.checked = info->hbmpChecked;
        e.unchecked = info->hbmpUnchecked;
    }
    if (mask & MIIM_DATA) e.data = info->dwItemData;
    if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA)) e.bitmap = info->hbmpItem;
}

}  // namespace

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (!ValidInfo(info)) {
        SetLastError(87);
        return FALSE;
    }
    MenuEntry e;
    ApplyInfo(e, info);
    return InsertEntry(menu, item, byPosition != FALSE, std::move(e)) ? TRUE : FALSE;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCSTR item)
{
    auto w = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!w) return FALSE;
    MenuEntry& old = w->menu->items[w->index];
    MenuEntry e = EntryFromFlags(flags, idOrSubmenu, item);
    if (old.sub && old.sub != e.sub) DestroyTree(old.sub);
    e.data = (flags & MF_OWNERDRAW) ? e.data : old.data;
    old = std::move(e);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    auto w = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!w) return FALSE;
    HMENU sub = w->menu->items[w->index].sub;
    w->menu->items.erase(w->menu->items.begin() + static_cast<std::ptrdiff_t>(w->index));
    if (sub) DestroyTree(sub);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    auto w = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!w) return FALSE;
    w->menu->items.erase(w->menu->items.begin() + static_cast<std::ptrdiff_t>(w->index));
    return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    auto w = Locate(menu, item, (check & MF_BYPOSITION) != 0);
    if (!w) return static_cast<DWORD>(-1);
    MenuEntry& e = w->menu->items[w->index];
    DWORD previous = e.state & MF_CHECKED;
    e.state = (e.state & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags)
{
    bool byPosition = (flags & MF_BYPOSITION) != 0;
    auto a = Locate(menu, first, byPosition);
    auto b = Locate(menu, last, byPosition);
    auto c = Locate(menu, check, byPosition);
    if (!a || !b || !c || a->menu != b->menu || c->menu != a->menu) return FALSE;
    for (std::size_t i = std::min(a->index, b->index); i <= std::max(a->index, b->index); ++i) {
        MenuEntry& e = a->menu->items[i];
        if (i == c->index) {
            e.state |= MF_CHECKED;
            e.type |= MFT_RADIOCHECK;
        } else {
            e.state &= ~MF_CHECKED;
        }
    }
    return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    auto w = Locate(menu, item, (enable & MF_BYPOSITION) != 0);
    if (!w) return -1;
    MenuEntry& e = w->menu->items[w->index];
    BOOL previous = static_cast<BOOL>(e.state & (MF_GRAYED | MF_DISABLED));
    e.state = (e.state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition)
{
    MenuData* m = Data(menu);
    if (!m) return FALSE;
    for (MenuEntry& e : m->items) e.state &= ~MF_DEFAULT;
    if (item == static_cast<UINT>(-1)) return TRUE;
    auto w = Locate(menu, item, byPosition != 0);
    if (!w || w->menu != m) return FALSE;
    m->items[w->index].state |= MF_DEFAULT;
    return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
    MenuData* m = Data(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    MenuData* m = Data(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
    const MenuEntry& e = m->items[static_cast<std::size_t>(position)];
    return e.sub ? static_cast<UINT>(-1) : e.id;
}

HMENU GetSubMenu(HMENU menu, int position)
{
    MenuData* m = Data(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return nullptr;
    return m->items[static_cast<std::size_t>(position)].sub;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    auto w = Locate(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!w) return static_cast<UINT>(-1);
    const MenuEntry& e = w->menu->items[w->index];
    UINT state = e.state | e.type;
    if (e.sub) {
        MenuData* sub = Data(e.sub);
        UINT count = sub ? static_cast<UINT>(std::min<std::size_t>(sub->items.size(), 255)) : 0;
        state = (count << 8) | (state & 0xFF) | MF_POPUP;
    }
    return state;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags)
{
    auto w = Locate(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!w) return 0;
    const std::string& text = w->menu->items[w->index].text;
    if (!buffer || size <= 0) return static_cast<int>(text.size());
    auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

namespace {

// The entry an item-information call names, after checking the structure.
MenuEntry* InfoTarget(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (!ValidInfo(info)) {
        SetLastError(87);
        return nullptr;
    }
    auto w = Locate(menu, item, byPosition != FALSE);
    return w ? &w->menu->items[w->index] : nullptr;
}

}  // namespace

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    MenuEntry* found = InfoTarget(menu, item, byPosition, info);
    if (!found) return FALSE;
    const MenuEntry& e = *found;
    UINT mask = info->fMask;
    auto copyText = [&](const std::string& text) {
        if (info->dwTypeData && info->cch > 0) {
            auto n = std::min<std::size_t>(text.size(), info->cch - 1);
            std::memcpy(info->dwTypeData, text.data(), n);
            info->dwTypeData[n] = '\0';
        }
        info->cch = static_cast<UINT>(text.size());
    };
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = e.type;
    if (mask & MIIM_TYPE) {
        if (e.type & MFT_BITMAP) info->dwTypeData = reinterpret_cast<LPSTR>(e.bitmap);
        else if (e.type & MFT_OWNERDRAW) info->dwTypeData = reinterpret_cast<LPSTR>(e.data);
        else if (!(e.type & MFT_SEPARATOR)) copyText(e.text);
        else info->cch = 0;
    }
    if (mask & MIIM_STRING) copyText(e.text);
    if (mask & MIIM_STATE) info->fState = e.state;
    if (mask & MIIM_ID) info->wID = e.sub ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(e.sub)) : e.id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = e.sub;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = e.checked;
        info->hbmpUnchecked = e.unchecked;
    }
    if (mask & MIIM_DATA) info->dwItemData = e.data;
    if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA)) info->hbmpItem = e.bitmap;
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    MenuEntry* found = InfoTarget(menu, item, byPosition, info);
    if (!found) return FALSE;
    MenuEntry& e = *found;
    HMENU oldSub = e.sub;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu == menu) return FALSE;
    ApplyInfo(e, info);
    if (oldSub && oldSub != e.sub) DestroyTree(oldSub);
    return TRUE;
}

// ---- the popup menu -----------------------------------------------------------

namespace {

constexpr int kFrame = 3;
constexpr int kSeparatorHeight = 9;

quelvo::ctl::TrayMenuHandler& TrayHandler()
{
    static quelvo::ctl::TrayMenuHandler handler;
    return handler;
}

class Tracker;
Tracker* gTracker = nullptr;

struct Level {
    HMENU menu = nullptr;
    HWND wnd = nullptr;
    std::vector<RECT> rects;  // client coordinates of each item
    int selected = -1;
    int gutter = 0;
    SIZE size{};
};

class Tracker {
public:
    Tracker(HWND owner, UINT flags) : owner_(owner), flags_(flags), notify_(!(flags & TPM_NONOTIFY)) {}
    ~Tracker()
    {
        while (!levels_.empty()) CloseLevel();
        if (GetCapture() && !IsWindow(GetCapture())) ReleaseCapture();
    }
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    UINT Run(HMENU menu, int x, int y);
    void Paint(HWND wnd);
    void Cancel() { done_ = true; }
    bool ItemRect(HMENU menu, UINT position, RECT& out) const;

private:
    void OpenLevel(HMENU menu, int itemIndexInParent, POINT at, bool alignFromFlags);
    void CloseLevel();
    void CloseBeyond(std::size_t depth);
    void Measure(Level& level);
    void Select(std::size_t depth, int index);
    void OpenSelected(std::size_t depth, bool selectFirst);
    void Choose(const MenuEntry& e);
    void HandleMouse(const MSG& msg);
    void HandleKey(const MSG& msg);
    void Step(int delta);
    MenuEntry* Entry(const Level& level, int index) const;
    int HitLevel(POINT screen, int& item) const;
    bool AllowedButton(UINT msg) const;

    HWND owner_ = nullptr;
    UINT flags_ = 0;
    bool notify_ = true;
    bool done_ = false;
    UINT chosen_ = 0;
    std::vector<Level> levels_;
    MenuFont font_;
    MenuFont bold_{MenuFont::Kind::Menu, true};  // the default item
};

MenuEntry* Tracker::Entry(const Level& level, int index) const
{
    MenuData* m = Data(level.menu);
    if (!m || index < 0 || static_cast<std::size_t>(index) >= m->items.size()) return nullptr;
    return &m->items[static_cast<std::size_t>(index)];
}

void Tracker::Measure(Level& level)
{
    MenuData* m = Data(level.menu);
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font_.Get());
    int lineH = LineHeight(dc);
    int itemH = std::max(lineH + 6, GetSystemMetrics(SM_CYMENUCHECK) + 4);
    level.gutter = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    int labelW = 0, accelW = 0;
    std::vector<int> heights;
    std::vector<int> ownerWidths;
    for (std::size_t i = 0; m && i < m->items.size(); ++i) {
        MenuEntry& e = m->items[i];
        int h = itemH;
        int w = 0;
        if (e.Separator()) {
            h = kSeparatorHeight;
        } else if (e.type & MFT_OWNERDRAW) {
            MEASUREITEMSTRUCT mis;
            mis.CtlType = ODT_MENU;
            mis.itemID = e.id;
            mis.itemData = e.data;
            mis.itemHeight = static_cast<UINT>(itemH);
            SendMessageA(owner_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
            h = static_cast<int>(std::min<UINT>(mis.itemHeight, 1000));
            w = static_cast<int>(std::min<UINT>(mis.itemWidth, 4000));
        } else if (e.type & MFT_BITMAP) {
            SIZE b = BitmapSize(e.bitmap);
            h = std::max(itemH, static_cast<int>(b.cy) + 4);
            labelW = std::max(labelW, static_cast<int>(b.cx));
        } else {
            std::string label = e.text, accel;
            if (auto tab = label.find('\t'); tab != std::string::npos) {
                accel = label.substr(tab + 1);
                label.resize(tab);
            }
            RECT r{0, 0, 0, 0};
            SelectObject(dc, (e.state & MF_DEFAULT) ? bold_.Get() : font_.Get());
            DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &r, DT_SINGLELINE | DT_CALCRECT);
            labelW = std::max(labelW, static_cast<int>(r.right));
            accelW = std::max(accelW, TextWidth(dc, accel));
            // A picture beside the text widens the gutter.
            SIZE b = BitmapSize(e.bitmap);
            level.gutter = std::max(level.gutter, static_cast<int>(b.cx) + 6);
            h = std::max(h, static_cast<int>(b.cy) + 4);
        }
        heights.push_back(h);
        ownerWidths.push_back(w);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int width = level.gutter + labelW + (accelW ? accelW + 24 : 0) + 24;
    for (int w : ownerWidths) width = std::max(width, w + level.gutter);
    level.rects.clear();
    int y = kFrame;
    for (int h : heights) {
        level.rects.push_back(RECT{kFrame, y, kFrame + width, y + h});
        y += h;
    }
    level.size = SIZE{width + 2 * kFrame, y + kFrame};
}

void Tracker::OpenLevel(HMENU menu, int itemIndexInParent, POINT at, bool alignFromFlags)
{
    if (notify_)
        SendMessageA(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(static_cast<WORD>(std::max(itemIndexInParent, 0)), FALSE));
    if (!Data(menu)) return;
    Level level;
    level.menu = menu;
    Measure(level);
    SIZE screen = quelvo::win::Display().ScreenSize();
    int w = level.size.cx, h = level.size.cy;
    int x = at.x, y = at.y;
    if (alignFromFlags) {
        if (flags_ & TPM_RIGHTALIGN) x -= w;
        else if (flags_ & TPM_CENTERALIGN) x -= w / 2;
        if (flags_ & TPM_BOTTOMALIGN) y -= h;
        else if (flags_ & TPM_VCENTERALIGN) y -= h / 2;
        if (x + w > screen.cx) x = at.x - w;
        if (y + h > screen.cy) y = at.y - h;
    } else if (!levels_.empty()) {
        RECT parent;
        GetWindowRect(levels_.back().wnd, &parent);
        if (x + w > screen.cx) x = parent.left - w + kFrame;
        if (y + h > screen.cy) y = screen.cy - h;
    }
    x = std::clamp(x, 0, std::max(0, static_cast<int>(screen.cx) - w));
    y = std::clamp(y, 0, std::max(0, static_cast<int>(screen.cy) - h));
    level.wnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kMenuClass, "", WS_POPUP, x, y, w,
                                h, owner_, nullptr, nullptr, nullptr);
    if (!level.wnd) return;
    levels_.push_back(std::move(level));
    SetWindowPos(levels_.back().wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (levels_.size() == 1) SetCapture(levels_.front().wnd);
}

void Tracker::CloseLevel()
{
    Level level = std::move(levels_.back());
    levels_.pop_back();
    if (GetCapture() == level.wnd) ReleaseCapture();
    if (IsWindow(level.wnd)) DestroyWindow(level.wnd);
    if (!levels_.empty() && !done_ && GetCapture() != levels_.front().wnd) SetCapture(levels_.front().wnd);
}

void Tracker::CloseBeyond(std::size_t depth)
{
    while (levels_.size() > depth + 1) CloseLevel();
}

void Tracker::Select(std::size_t depth, int index)
{
    CloseBeyond(depth);
    Level& level = levels_[depth];
    if (level.selected == index) return;
    level.selected = index;
    InvalidateRect(level.wnd, nullptr, FALSE);
    if (!notify_) return;
    const MenuEntry* e = Entry(level, index);
    if (!e) return;
    UINT fl = (e->state & kStateMask) | (e->type & kTypeMask) | MF_HILITE | (e->sub ? MF_POPUP : 0);
    UINT item = e->sub ? static_cast<UINT>(index) : e->id;
    SendMessageA(owner_, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(item), static_cast<WORD>(fl)),
                 reinterpret_cast<LPARAM>(level.menu));
}

void Tracker::OpenSelected(std::size_t depth, bool selectFirst)
{
    Level& level = levels_[depth];
    MenuEntry* e = Entry(level, level.selected);
    if (!e || !e->sub || !e->Enabled()) return;
    if (levels_.size() > depth + 1 && levels_[depth + 1].menu == e->sub) return;
    CloseBeyond(depth);
    RECT item = level.rects[static_cast<std::size_t>(level.selected)];
    RECT win;
    GetWindowRect(level.wnd, &win);
    OpenLevel(e->sub, level.selected, POINT{win.right - kFrame, win.top + item.top - kFrame}, false);
    if (selectFirst && levels_.size() > depth + 1) Step(1);
}

void Tracker::Choose(const MenuEntry& e)
{
    if (!e.Enabled() || e.Separator() || e.sub) return;
    chosen_ = e.id;
    done_ = true;
}

int Tracker::HitLevel(POINT screen, int& item) const
{
    for (std::size_t d = levels_.size(); d-- > 0;) {
        RECT win;
        GetWindowRect(levels_[d].wnd, &win);
        if (!PtInRect(&win, screen)) continue;
        POINT local{screen.x - win.left, screen.y - win.top};
        item = -1;
        for (std::size_t i = 0; i < levels_[d].rects.size(); ++i)
            if (PtInRect(&levels_[d].rects[i], local)) item = static_cast<int>(i);
        return static_cast<int>(d);
    }
    return -1;
}

bool Tracker::AllowedButton(UINT msg) const
{
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP) return true;
    return (flags_ & TPM_RIGHTBUTTON) &&
           (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_NCRBUTTONDOWN || msg == WM_NCRBUTTONUP);
}

void Tracker::HandleMouse(const MSG& msg)
{
    POINT pt = PointFrom(msg.lParam);
    bool nonClient = msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK;
    if (!nonClient) ClientToScreen(msg.hwnd, &pt);
    int item = -1;
    int depth = HitLevel(pt, item);
    UINT m = msg.message;
    bool down = m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_NCLBUTTONDOWN ||
                m == WM_NCRBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK;
    bool up = m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_NCLBUTTONUP || m == WM_NCRBUTTONUP;
    if (depth < 0) {
        if (down) done_ = true;  // a click outside every popup closes the menu
        return;
    }
    auto d = static_cast<std::size_t>(depth);
    if (m == WM_MOUSEMOVE || m == WM_NCMOUSEMOVE || down) {
        if (item >= 0) {
            Select(d, item);
            OpenSelected(d, false);
        }
        return;
    }
    if (up && AllowedButton(m) && item >= 0) {
        if (MenuEntry* e = Entry(levels_[d], item)) Choose(*e);
    }
}

void Tracker::Step(int delta)
{
    Level& level = levels_.back();
    MenuData* m = Data(level.menu);
    if (!m || m->items.empty()) return;
    int n = static_cast<int>(m->items.size());
    int i = level.selected;
    for (int tries = 0; tries < n; ++tries) {
        i = (i < 0) ? (delta > 0 ? 0 : n - 1) : (i + delta + n) % n;
        if (!m->items[static_cast<std::size_t>(i)].Separator()) {
            Select(levels_.size() - 1, i);
            return;
        }
    }
}

void Tracker::HandleKey(const MSG& msg)
{
    std::size_t depth = levels_.size() - 1;
    Level& level = levels_.back();
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        switch (static_cast<int>(msg.wParam)) {
        case VK_DOWN: Step(1); break;
        case VK_UP: Step(-1); break;
        case VK_HOME:
            level.selected = -1;
            Step(1);
            break;
        case VK_END:
            level.selected = -1;
            Step(-1);
            break;
        case VK_RIGHT: OpenSelected(depth, true); break;
        case VK_LEFT:
            if (depth > 0) CloseLevel();
            break;
        case VK_ESCAPE:
            if (depth > 0) CloseLevel();
            else done_ = true;
            break;
        case VK_MENU:
        case VK_F10: done_ = true; break;
        case VK_RETURN:
            if (MenuEntry* e = Entry(level, level.selected)) {
                if (e->sub) OpenSelected(depth, true);
                else Choose(*e);
            } else {
                done_ = true;
            }
            break;
        default: break;
        }
        return;
    }
    if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return;
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(msg.wParam & 0xFF)));
    MenuData* m = Data(level.menu);
    if (!m || c == '\r' || c == 27) return;
    std::vector<int> matches;
    for (std::size_t i = 0; i < m->items.size(); ++i)
        if (!m->items[i].Separator() && Mnemonic(m->items[i].text) == c) matches.push_back(static_cast<int>(i));
    if (matches.empty()) {
        LRESULT r = SendMessageA(owner_, WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(msg.wParam), MF_POPUP),
                                 reinterpret_cast<LPARAM>(level.menu));
        int index = static_cast<int>(LOWORD(r));
        switch (HIWORD(r)) {
        case MNC_CLOSE: done_ = true; break;
        case MNC_SELECT:
            if (Entry(level, index)) Select(depth, index);
            break;
        case MNC_EXECUTE:
            if (MenuEntry* e = Entry(level, index)) {
                Select(depth, index);
                if (e->sub) OpenSelected(depth, true);
                else Choose(*e);
            }
            break;
        default: MessageBeep(0); break;
        }
        return;
    }
    if (matches.size() == 1) {
        Select(depth, matches.front());
        MenuEntry* e = Entry(level, matches.front());
        if (e->sub) OpenSelected(depth, true);
        else Choose(*e);
        return;
    }
    auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
    Select(depth, next == matches.end() ? matches.front() : *next);
}

UINT Tracker::Run(HMENU menu, int x, int y)
{
    if (notify_) SendMessageA(owner_, WM_ENTERMENULOOP, TRUE, 0);
    OpenLevel(menu, 0, POINT{x, y}, true);
    while (!done_ && !levels_.empty()) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            UpdateWindow(levels_.back().wnd);
            if (IsWindow(owner_))
                SendMessageA(owner_, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(levels_.back().wnd));
            if (done_) break;
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
            (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
            if (msg.message != WM_MOUSEWHEEL) HandleMouse(msg);
        } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) TranslateMessage(&msg);
            HandleKey(msg);
        } else {
            DispatchMessageA(&msg);
        }
        if (!IsWindow(owner_)) done_ = true;
        if (!levels_.empty() && GetCapture() != levels_.front().wnd) done_ = true;  // capture taken away
    }
    done_ = true;
    while (!levels_.empty()) CloseLevel();
    if (notify_ && IsWindow(owner_)) {
        SendMessageA(owner_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageA(owner_, WM_EXITMENULOOP, TRUE, 0);
    }
    return chosen_;
}

bool Tracker::ItemRect(HMENU menu, UINT position, RECT& out) const
{
    for (const Level& level : levels_) {
        if (level.menu != menu || position >= level.rects.size()) continue;
        RECT win;
        GetWindowRect(level.wnd, &win);
        out = level.rects[position];
        OffsetRect(&out, win.left, win.top);
        return true;
    }
    return false;
}

void Tracker::Paint(HWND wnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    auto it = std::find_if(levels_.begin(), levels_.end(), [&](const Level& l) { return l.wnd == wnd; });
    if (it == levels_.end() || !dc) {
        EndPaint(wnd, &ps);
        return;
    }
    const Level& level = *it;
    RECT client{0, 0, level.size.cx, level.size.cy};
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    RECT frame = client;
    DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    HGDIOBJ oldFont = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    MenuData* m = Data(level.menu);
    for (std::size_t i = 0; m && i < m->items.size() && i < level.rects.size(); ++i) {
        const MenuEntry& e = m->items[i];
        RECT r = level.rects[i];
        bool selected = static_cast<int>(i) == level.selected;
        if (e.Separator()) {
            RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, (r.top + r.bottom) / 2 + 1};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        if (e.type & MFT_OWNERDRAW) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_MENU;
            dis.itemID = e.id;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (selected ? ODS_SELECTED : 0) | ((e.state & MF_CHECKED) ? ODS_CHECKED : 0) |
                            ((e.state & MF_GRAYED) ? ODS_GRAYED : 0) | ((e.state & MF_DISABLED) ? ODS_DISABLED : 0);
            dis.hwndItem = reinterpret_cast<HWND>(level.menu);
            dis.hDC = dc;
            dis.rcItem = r;
            dis.itemData = e.data;
            int saved = SaveDC(dc);
            SendMessageA(owner_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
            RestoreDC(dc, saved);
            continue;
        }
        if (selected) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        if (e.type & MFT_BITMAP) {
            SIZE b = BitmapSize(e.bitmap);
            DrawBitmap(dc, e.bitmap, r.left + level.gutter, r.top + (r.bottom - r.top - b.cy) / 2);
            continue;
        }
        // The check mark, or the item's own pictures for either state.
        HBITMAP mark = (e.state & MF_CHECKED) ? e.checked : e.unchecked;
        if (!mark && !(e.state & MF_CHECKED)) mark = e.bitmap;
        if (SIZE b = BitmapSize(mark); b.cx > 0) {
            DrawBitmap(dc, mark, r.left + 3, r.top + (r.bottom - r.top - b.cy) / 2);
        } else if (e.state & MF_CHECKED) {
            int s = GetSystemMetrics(SM_CXMENUCHECK);
            RECT box{r.left + 3, r.top + (r.bottom - r.top - s) / 2, r.left + 3 + s, r.top + (r.bottom - r.top - s) / 2 + s};
            DrawFrameControl(dc, &box, DFC_MENU, (e.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        }
        SelectObject(dc, (e.state & MF_DEFAULT) ? bold_.Get() : font_.Get());
        std::string label = e.text, accel;
        if (auto tab = label.find('\t'); tab != std::string::npos) {
            accel = label.substr(tab + 1);
            label.resize(tab);
        }
        RECT text{r.left + level.gutter, r.top, r.right - 16, r.bottom};
        bool enabled = e.Enabled() || selected;
        if (!e.Enabled() && selected) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawLabel(dc, label, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT, enabled);
        if (!accel.empty()) DrawLabel(dc, accel, text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX, enabled);
        if (e.sub) {
            int s = GetSystemMetrics(SM_CXMENUCHECK);
            RECT arrow{r.right - s - 2, r.top + (r.bottom - r.top - s) / 2, r.right - 2, r.top + (r.bottom - r.top - s) / 2 + s};
            DrawFrameControl(dc, &arrow, DFC_MENU, DFCS_MENUARROW);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(wnd, &ps);
}

}  // namespace

namespace quelvo::ctl::detail {

LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        if (gTracker) {
            gTracker->Paint(hwnd);
            return 0;
        }
        break;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_CAPTURECHANGED:
        if (gTracker && !IsWindow(reinterpret_cast<HWND>(lParam))) break;
        break;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS*)
{
    quelvo::ctl::InitControls();
    MenuData* m = Data(menu);
    if (!m) return FALSE;
    if (!IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT at{x, y};
    if (TrayHandler() && TrayHandler()(menu, owner, at)) return (flags & TPM_RETURNCMD) ? 0 : TRUE;
    if (gTracker || m->items.empty() || !ModalUiAvailable()) return FALSE;
    Tracker tracker(owner, flags);
    gTracker = &tracker;
    UINT chosen = tracker.Run(menu, at.x, at.y);
    gTracker = nullptr;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen && IsWindow(owner)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL GetMenuItemRect(HWND, HMENU menu, UINT position, LPRECT rect)
{
    if (!gTracker || !rect) return FALSE;
    return gTracker->ItemRect(menu, position, *rect) ? TRUE : FALSE;
}

BOOL EndMenu()
{
    if (!gTracker) return FALSE;
    gTracker->Cancel();
    return TRUE;
}

namespace quelvo::ctl {

void SetTrayMenuHandler(TrayMenuHandler handler) { TrayHandler() = std::move(handler); }

}  // namespace quelvo::ctl

// ---- accelerators ----------------------------------------------------------------

struct HACCEL__ {
    std::vector<ACCEL> entries;
};

namespace {
std::map<HACCEL, std::unique_ptr<HACCEL__>>& Tables()
{
    static std::map<HACCEL, std::unique_ptr<HACCEL__>> tables;
    return tables;
}
}  // namespace

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count)
{
    if (!entries || count <= 0 || count > 32767) {
        SetLastError(87);
        return nullptr;
    }
    auto table = std::make_unique<HACCEL__>();
    table->entries.assign(entries, entries + count);
    HACCEL handle = table.get();
    Tables()[handle] = std::move(table);
    return handle;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return Tables().erase(table) ? TRUE : FALSE; }

int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg)
{
    auto it = Tables().find(table);
    if (it == Tables().end() || !msg || !IsWindow(hwnd)) return 0;
    bool keyMsg = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyMsg && !charMsg) return 0;
    bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU);
    for (const ACCEL& a : it->second->entries) {
        bool virt = (a.fVirt & FVIRTKEY) != 0;
        if (virt != keyMsg) continue;
        if (virt) {
            if (msg->wParam != a.key) continue;
            if (((a.fVirt & FSHIFT) != 0) != shift || ((a.fVirt & FCONTROL) != 0) != ctrl ||
                ((a.fVirt & FALT) != 0) != alt)
                continue;
        } else if (msg->wParam != a.key) {
            continue;
        }
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
