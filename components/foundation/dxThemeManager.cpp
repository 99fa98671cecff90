#include "components/foundation/dxThemeManager.h"

#include <algorithm>
#include <vector>

#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/system/winerror.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr const char* kClassNames[kThemedObjectTypeCount] = {
    "Button",  "Clock",    "ComboBox", "Edit",    "ExplorerBar", "Header",   "ListView",   "Menu",
    "Page",    "Progress", "Rebar",    "ScrollBar", "Spin",      "StartPanel", "Status",   "Tab",
    "TaskBand", "TaskBar", "ToolBar",  "ToolTip", "TrackBar",    "TrayNotify", "TreeView", "Window",
};

struct TdxThemeData {
    HTHEME Theme = nullptr;
    std::string ClassName;
};

struct Manager {
    bool themesActive = false;
    TdxThemeData themes[kThemedObjectTypeCount];
    HWND receiver = nullptr;
    bool started = false;
    std::vector<TdxThemeChangedNotificator*> notificators;
};

Manager& M()
{
    static Manager manager;
    return manager;
}

void ReceiverProc(TMessage& message)
{
    if (message.Msg != WM_THEMECHANGED) {
        message.Result = DefWindowProcA(M().receiver, message.Msg, message.WParam, message.LParam);
        return;
    }
    CloseAllThemes();
    M().themesActive = dxUxTheme::IsThemeActive() != FALSE;
    message.Result = 0;
    // By index: a handler may add or remove notificators.
    auto& list = M().notificators;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->OnThemeChanged) list[i]->OnThemeChanged();
}

}  // namespace

const char* ThemedObjectClassName(TdxThemedObjectType type) { return kClassNames[type]; }

bool AreVisualStylesAvailable(TdxThemedObjectTypes types)
{
    if (!M().themesActive || !dxUxTheme::IsThemeLibraryLoaded()) return false;
    for (int t = 0; t < kThemedObjectTypeCount; ++t) {
        const auto type = static_cast<TdxThemedObjectType>(t);
        if (types.Contains(type) && !OpenTheme(type)) return false;
    }
    return true;
}

bool AreVisualStylesAvailable(TdxThemedObjectType type) { return AreVisualStylesAvailable(TdxThemedObjectTypes{type}); }

HTHEME OpenTheme(TdxThemedObjectType type, const std::string& className)
{
    if (!AreVisualStylesAvailable()) return nullptr;
    TdxThemeData& entry = M().themes[type];
    if (entry.Theme) {
        if (className.empty() || UpperCase(className) == UpperCase(entry.ClassName)) return entry.Theme;
        CloseTheme(type);
    }
    const std::string name = !className.empty() ? className : !entry.ClassName.empty() ? entry.ClassName : kClassNames[type];
    entry.Theme = dxUxTheme::OpenThemeData(nullptr, name.c_str());
    entry.ClassName = entry.Theme ? name : std::string();
    return entry.Theme;
}

HRESULT CloseTheme(TdxThemedObjectType type)
{
    if (!AreVisualStylesAvailable()) return S_FALSE;
    TdxThemeData& entry = M().themes[type];
    if (!entry.Theme) return S_OK;
    const HRESULT result = dxUxTheme::CloseThemeData(entry.Theme);
    entry.Theme = nullptr;
    entry.ClassName.clear();
    return result;
}

void CloseAllThemes()
{
    for (TdxThemeData& entry : M().themes) {
        if (entry.Theme) dxUxTheme::CloseThemeData(entry.Theme);
        entry.Theme = nullptr;
    }
}

TClass TdxThemeChangedNotificator::StaticClass()
{
    return DefineClass<TdxThemeChangedNotificator, TObject>("TdxThemeChangedNotificator");
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator()
{
    if (M().started) M().notificators.push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() { std::erase(M().notificators, this); }

void dxThemeManagerInitialize()
{
    auto& m = M();
    if (m.started || !dxUxTheme::IsThemeLibraryLoaded()) return;
    m.started = true;
    m.themesActive = dxUxTheme::IsThemeActive() != FALSE;
    m.receiver = AllocateHWnd(ReceiverProc);
}

void dxThemeManagerFinalize()
{
    auto& m = M();
    if (m.started) {
        m.themesActive = false;
        DeallocateHWnd(m.receiver);
        m.receiver = nullptr;
        for (TdxThemeData& entry : m.themes)
            if (entry.Theme) dxUxTheme::CloseThemeData(entry.Theme);
        m.notificators.clear();
        m.started = false;
    }
    for (TdxThemeData& entry : m.themes) entry = TdxThemeData{};
}
