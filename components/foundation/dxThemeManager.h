#pragma once
// One open theme handle per kind of themed object, whether visual styles
// are on, and a hidden window that hears theme changes (WM_THEMECHANGED),
// closes the cached handles and tells the registered notificators.

#include <string>

#include "components/foundation/dxUxTheme.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/properties.h"

enum TdxThemedObjectType {
    totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListView, totMenu,
    totPage, totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab,
    totTaskBand, totTaskBar, totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeview, totWindow,
};
inline constexpr int kThemedObjectTypeCount = totWindow + 1;
using TdxThemedObjectTypes = hostlib::TSet<TdxThemedObjectType>;

// The class name OpenTheme uses for a type unless told otherwise.
const char* ThemedObjectClassName(TdxThemedObjectType type);

// Visual styles are on, the library is loaded and the type's theme opens.
bool AreVisualStylesAvailable(TdxThemedObjectType type);
// For the empty set: visual styles are on and the library is loaded.
bool AreVisualStylesAvailable(TdxThemedObjectTypes types = {});
// The cached handle (opened with className, else the name it was opened
// with before, else the type's class name); 0 without visual styles.
HTHEME OpenTheme(TdxThemedObjectType type, const std::string& className = "");
// S_FALSE without visual styles, S_OK when nothing is open.
HRESULT CloseTheme(TdxThemedObjectType type);
// Closes every handle; the class names stay for reopening.
void CloseAllThemes();

using TdxThemeChangedEvent = hostlib::Event<>;

// Hears theme changes from construction to destruction.
class TdxThemeChangedNotificator : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TdxThemeChangedNotificator();
    ~TdxThemeChangedNotificator() override;

    TdxThemeChangedEvent OnThemeChanged;
};

// Unit start-up (after dxUxTheme) and shut-down.
void dxThemeManagerInitialize();
void dxThemeManagerFinalize();
