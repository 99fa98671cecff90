#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/libraries.h"
#include "platform/system/winerror.h"
#include "platform/windows/loop.h"

using namespace hostlib;

namespace {

// A theme layer that records what the unit asks of it.
struct Recording {
    bool active = true;
    int next = 100;
    std::vector<std::string> opened;
    std::vector<HTHEME> closed;
    std::vector<std::string> refused{"Clock"};
};
Recording& Rec()
{
    static Recording rec;
    return rec;
}

HTHEME FakeOpen(HWND, LPCSTR name)
{
    for (const auto& r : Rec().refused)
        if (r == name) return nullptr;
    Rec().opened.push_back(name);
    return reinterpret_cast<HTHEME>(static_cast<std::intptr_t>(++Rec().next));
}
HRESULT FakeClose(HTHEME theme)
{
    Rec().closed.push_back(theme);
    return 0;
}
BOOL FakeActive() { return Rec().active ? TRUE : FALSE; }
HRESULT FakeParentBackground(HWND, HDC dc, const RECT*)
{
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    return 0;
}

template <class F>
void Bind(const char* name, F* f)
{
    quelvo::sys::RegisterLibraryFunction("UXTHEME.DLL", name, reinterpret_cast<FARPROC>(f));
}

class ThemeManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        Rec() = Recording{};
        Bind("OpenThemeData", &FakeOpen);
        Bind("CloseThemeData", &FakeClose);
        Bind("IsThemeActive", &FakeActive);
        Bind("DrawThemeParentBackground", &FakeParentBackground);
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
    }
    void TearDown() override
    {
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        Bind("OpenThemeData", &::OpenThemeData);
        Bind("CloseThemeData", &::CloseThemeData);
        Bind("IsThemeActive", &::IsThemeActive);
        Bind("DrawThemeParentBackground", &::DrawThemeParentBackground);
        quelvo::win::ResetWindowManager();
    }
    // A switch of the program's theme, as the window layer broadcasts it.
    void ThemeChange()
    {
        quelvo::gfx::SetThemeActive(false);
        quelvo::gfx::SetThemeActive(true);
    }
};

TEST_F(ThemeManager, NamesMatchIgnoringCaseAndAnotherNameReopens)
{
    ASSERT_TRUE(dxUxTheme::IsThemeLibraryLoaded());
    EXPECT_TRUE(dxUxTheme::IsWindowsXPOrLater());
    HTHEME button = OpenTheme(totButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(OpenTheme(totButton, "BUTTON"), button);
    EXPECT_EQ(Rec().opened, (std::vector<std::string>{"Button"}));
    HTHEME edit = OpenTheme(totButton, "Edit");
    EXPECT_NE(edit, button);
    EXPECT_EQ(Rec().closed, (std::vector<HTHEME>{button}));
    EXPECT_EQ(CloseTheme(totButton), 0);
    EXPECT_EQ(CloseTheme(totButton), S_OK);
    EXPECT_EQ(OpenTheme(totTreeview), reinterpret_cast<HTHEME>(103));
    EXPECT_EQ(Rec().opened.back(), "TreeView");
    EXPECT_STREQ(ThemedObjectClassName(totWindow), "Window");
}

TEST_F(ThemeManager, ACustomNameSurvivesAThemeChange)
{
    HTHEME first = OpenTheme(totHeader, "ListView");
    ThemeChange();
    EXPECT_EQ(Rec().closed, (std::vector<HTHEME>{first}));
    Rec().opened.clear();
    EXPECT_NE(OpenTheme(totHeader), nullptr);
    EXPECT_EQ(Rec().opened, (std::vector<std::string>{"ListView"}));
    // CloseAllThemes keeps the name as well.
    CloseAllThemes();
    OpenTheme(totHeader);
    EXPECT_EQ(Rec().opened.back(), "ListView");
}

TEST_F(ThemeManager, InactiveThemesGiveNothing)
{
    Rec().active = false;
    ThemeChange();
    EXPECT_EQ(OpenTheme(totButton), nullptr);
    EXPECT_FALSE(AreVisualStylesAvailable());
    EXPECT_FALSE(AreVisualStylesAvailable(totButton));
    EXPECT_EQ(CloseTheme(totButton), S_FALSE);
    Rec().active = true;
    ThemeChange();
    EXPECT_NE(OpenTheme(totButton), nullptr);
}

TEST_F(ThemeManager, ASetFailsWhenOneTypeFails)
{
    EXPECT_TRUE(AreVisualStylesAvailable());
    EXPECT_TRUE(AreVisualStylesAvailable(TdxThemedObjectTypes{totButton, totEdit}));
    EXPECT_FALSE(AreVisualStylesAvailable(TdxThemedObjectTypes{totButton, totClock}));
    EXPECT_FALSE(AreVisualStylesAvailable(totClock));
}

TEST_F(ThemeManager, NotificatorsHearChangesInRegistrationOrder)
{
    std::vector<int> heard;
    std::vector<std::unique_ptr<TdxThemeChangedNotificator>> list;
    for (int i = 0; i < 3; ++i) {
        list.push_back(std::make_unique<TdxThemeChangedNotificator>());
        if (i != 1) list.back()->OnThemeChanged = TdxThemeChangedEvent::FromFunction([&heard, i] { heard.push_back(i); });
    }
    quelvo::gfx::SetThemeActive(false);
    EXPECT_EQ(heard, (std::vector<int>{0, 2}));
    list[0].reset();
    quelvo::gfx::SetThemeName("luna.msstyles", "Metallic");
    quelvo::gfx::SetThemeName("Flat.theme", "Normal");
    quelvo::gfx::SetThemeActive(true);
    EXPECT_EQ(heard, (std::vector<int>{0, 2, 2, 2, 2}));
}

TEST_F(ThemeManager, UnboundNamesAnswerNotImplemented)
{
    int value = 7;
    EXPECT_EQ(dxUxTheme::GetThemeInt(nullptr, 1, 1, 1, &value), static_cast<HRESULT>(0x80004001));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(dxUxTheme::GetThemeSysSize(nullptr, 1), 0);
    EXPECT_EQ(dxUxTheme::IsThemeDialogTextureEnabled(nullptr), FALSE);
    EXPECT_EQ(dxUxTheme::GetWindowTheme(nullptr), nullptr);
    dxUxTheme::SetThemeAppProperties(3);
}

TEST_F(ThemeManager, ParentBackgroundKeepsTheSelectedFont)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(dxUxTheme::DrawThemeParentBackground(nullptr, dc, &r), 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(ThemeManagerWithoutLibrary, NothingOpensAndNotificatorsRegisterNowhere)
{
    dxThemeManagerInitialize();  // the library was never bound
    EXPECT_FALSE(dxUxTheme::IsThemeLibraryLoaded());
    EXPECT_EQ(OpenTheme(totButton), nullptr);
    EXPECT_FALSE(AreVisualStylesAvailable(totButton));
    bool heard = false;
    TdxThemeChangedNotificator notificator;
    notificator.OnThemeChanged = TdxThemeChangedEvent::FromFunction([&] { heard = true; });
    quelvo::gfx::SetThemeActive(false);
    quelvo::gfx::SetThemeActive(true);
    EXPECT_FALSE(heard);
    dxThemeManagerFinalize();
}

}  // namespace
