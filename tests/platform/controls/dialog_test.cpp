// Dialogs from templates, their keys and focus, buttons, statics and
// message boxes, driven by synthetic input.
#include <map>

#include "ctl_fixture.h"

namespace ctltest {
namespace {

constexpr int kAboutId = 108;
constexpr int kStatusText = 1010;

quelvo::ctl::DialogTemplate AboutTemplate()
{
    quelvo::ctl::DialogTemplate t;
    t.caption = "About";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    t.cx = 250;
    t.cy = 82;
    t.items = {
        {"BUTTON", "OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 193, 7, 50, 14},
        {"STATIC", "Current Operation:", kStatusText, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 16, 7, 173, 69},
    };
    return t;
}

struct AboutRun {
    std::string textSeen;
    RECT client{};
    RECT mapped{};
    bool ownerEnabledInside = true;
    HWND owner = nullptr;
};
AboutRun gAbout;

INT_PTR AboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        SetDlgItemTextA(dialog, kStatusText, "Quelvo\r\n\r\n\r\nIdle");
        char buf[64];
        GetDlgItemTextA(dialog, kStatusText, buf, sizeof buf);
        gAbout.textSeen = buf;
        GetClientRect(dialog, &gAbout.client);
        gAbout.mapped = RECT{0, 0, 250, 82};
        MapDialogRect(dialog, &gAbout.mapped);
        if (gAbout.owner) gAbout.ownerEnabledInside = IsWindowEnabled(gAbout.owner) != FALSE;
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public CtlTest {
protected:
    void SetUp() override
    {
        CtlTest::SetUp();
        gAbout = AboutRun{};
        quelvo::ctl::RegisterDialogTemplate(nullptr, kAboutId, AboutTemplate());
    }
};

TEST_F(DialogTest, AboutDialogAnswersEnterAndEscape)
{
    struct Case {
        int key;
        INT_PTR expected;
    } cases[] = {{VK_RETURN, IDOK}, {VK_ESCAPE, IDCANCEL}, {VK_SPACE, IDOK}};
    for (const Case& c : cases) {
        Screen().PressKey(c.key);  // waits in the queue for the dialog
        EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kAboutId), nullptr, AboutProc, 0), c.expected);
        EXPECT_EQ(gAbout.textSeen, "Quelvo\r\n\r\n\r\nIdle");
        EXPECT_EQ(gAbout.client.right, gAbout.mapped.right);
        EXPECT_EQ(gAbout.client.bottom, gAbout.mapped.bottom);
        EXPECT_GT(gAbout.mapped.right, 250);  // dialog units are wider than pixels
        EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    }
}

TEST_F(DialogTest, OwnerIsDisabledWhileTheDialogRuns)
{
    gAbout.owner = host_;
    bool enabledInIdle = true;
    H().idle.push_back([&] {
        enabledInIdle = IsWindowEnabled(host_) != FALSE;
        Screen().PressKey(VK_RETURN);
    });
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kAboutId), host_, AboutProc, 0), IDOK);
    EXPECT_FALSE(enabledInIdle);
    EXPECT_TRUE(IsWindowEnabled(host_));
    EXPECT_GE(H().Count(WM_ENTERIDLE), 1);
}

TEST_F(DialogTest, TemplatesThatCannotBeShownGiveMinusOne)
{
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, AboutProc, 0), -1);
    EXPECT_EQ(DialogBoxParamA(nullptr, "NoSuchDialog", nullptr, AboutProc, 0), -1);
    quelvo::ctl::DialogTemplate bad = AboutTemplate();
    bad.cx = -5;
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &bad, nullptr, AboutProc, 0), -1);
    quelvo::ctl::DialogTemplate unknownClass = AboutTemplate();
    unknownClass.items.push_back({"NoSuchClass", "", 5, WS_CHILD, 0, 0, 0, 10, 10});
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &unknownClass, nullptr, AboutProc, 0), -1);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, nullptr, nullptr, AboutProc, 0), -1);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    // Nobody could answer on the headless display of a program.
    quelvo::ctl::AllowModalOnHeadlessDisplay(false);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kAboutId), nullptr, AboutProc, 0), -1);
    EXPECT_EQ(MessageBoxA(host_, "text", "caption", MB_OK), 0);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "item");
    EXPECT_FALSE(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, host_, nullptr));
    DestroyMenu(menu);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    quelvo::ctl::AllowModalOnHeadlessDisplay(true);
    // Named templates are found whatever the case.
    quelvo::ctl::RegisterDialogTemplate(nullptr, "Settings", AboutTemplate());
    Screen().PressKey(VK_RETURN);
    EXPECT_EQ(DialogBoxParamA(nullptr, "SETTINGS", nullptr, AboutProc, 0), IDOK);
}

// A form with push buttons, check boxes and a radio group.
enum { kApply = 10, kCheck = 11, kThree = 12, kRadioA = 13, kRadioB = 14, kRadioC = 15, kLabel = 16, kPlain = 17 };

quelvo::ctl::DialogTemplate FormTemplate()
{
    quelvo::ctl::DialogTemplate t;
    t.caption = "Form";
    t.style |= DS_CENTER;
    t.cx = 200;
    t.cy = 140;
    DWORD child = WS_CHILD | WS_VISIBLE;
    t.items = {
        {"STATIC", "&Label", kLabel, child | SS_LEFT, 0, 5, 5, 40, 10},
        {"BUTTON", "&Check", kCheck, child | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 50, 5, 60, 12},
        {"BUTTON", "&Three", kThree, child | WS_TABSTOP | BS_AUTO3STATE, 0, 50, 20, 60, 12},
        {"BUTTON", "Radio &A", kRadioA, child | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 5, 40, 60, 12},
        {"BUTTON", "Radio &B", kRadioB, child | BS_AUTORADIOBUTTON, 0, 5, 55, 60, 12},
        {"BUTTON", "Radio &C", kRadioC, child | BS_AUTORADIOBUTTON, 0, 5, 70, 60, 12},
        {"BUTTON", "&Apply", kApply, child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, 5, 100, 50, 14},
        {"BUTTON", "Plain", kPlain, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 100, 50, 14},
        {"BUTTON", "OK", IDOK, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 90, 120, 50, 14},
        {"BUTTON", "Cancel", IDCANCEL, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 145, 120, 50, 14},
    };
    return t;
}

struct FormLog {
    std::vector<int> clicked;  // BN_CLICKED ids in order
    std::map<int, UINT> checks;
};
FormLog gForm;

INT_PTR FormProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        int id = LOWORD(wParam);
        gForm.clicked.push_back(id);
        if (id == IDOK || id == IDCANCEL) {
            for (int c : {kCheck, kThree, kRadioA, kRadioB, kRadioC}) gForm.checks[c] = IsDlgButtonChecked(dialog, c);
            EndDialog(dialog, id);
        }
        return TRUE;
    }
    return FALSE;
}

class FormTest : public CtlTest {
protected:
    void SetUp() override
    {
        CtlTest::SetUp();
        gForm = FormLog{};
        form_ = FormTemplate();
    }
    // Runs the form; after each action the focused control's id is noted.
    INT_PTR Run(const std::vector<std::function<void()>>& actions)
    {
        for (const auto& a : actions)
            H().idle.push_back([this, a] {
                focus_.push_back(GetDlgCtrlID(GetFocus()));
                a();
            });
        return DialogBoxIndirectParamA(nullptr, &form_, host_, FormProc, 0);
    }
    std::function<void()> Key(int vk)
    {
        return [this, vk] { Screen().PressKey(vk); };
    }
    std::function<void()> ShiftKey(int vk)
    {
        return [this, vk] {
            Screen().KeyDown(VK_SHIFT);
            Screen().PressKey(vk);
            Screen().KeyUp(VK_SHIFT);
        };
    }
    std::function<void()> Type(const char* text)
    {
        return [this, text] { Screen().TypeText(text); };
    }
    std::function<void()> ClickItem(int id)
    {
        return [this, id] {
            HWND item = GetDlgItem(FindWindowA("#32770", nullptr), id);
            RECT r;
            GetWindowRect(item, &r);
            Screen().Click(POINT{r.left + 3, (r.top + r.bottom) / 2});
            clock_.Advance(600);
        };
    }

    quelvo::ctl::DialogTemplate form_;
    std::vector<int> focus_;
};

TEST_F(FormTest, TabOrderAndFocusFromInitDialog)
{
    EXPECT_EQ(Run({Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), ShiftKey(VK_TAB), Key(VK_ESCAPE)}), IDCANCEL);
    // The first tab stop has the focus after WM_INITDIALOG returned TRUE;
    // the radio group is one stop; Tab wraps from Cancel.
    EXPECT_EQ(focus_, (std::vector<int>{kCheck, kThree, kRadioA, kApply, kPlain, kApply}));
}

TEST_F(FormTest, EnterPressesTheDefaultOrTheFocusedButton)
{
    EXPECT_EQ(Run({Key(VK_RETURN)}), IDOK);
    EXPECT_EQ(gForm.clicked, std::vector<int>{IDOK});

    gForm = FormLog{};
    focus_.clear();
    // Focus on "Plain" then Enter: the focused push button answers.
    EXPECT_EQ(Run({ClickItem(kPlain), Key(VK_RETURN), Key(VK_TAB), Key(VK_RETURN)}), IDOK);
    EXPECT_EQ(gForm.clicked, (std::vector<int>{kPlain, kPlain, IDOK}));
    // DM_SETDEFID moves the default.
    gForm = FormLog{};
    H().idle.push_back([] {
        HWND d = FindWindowA("#32770", nullptr);
        SendMessageA(d, DM_SETDEFID, IDCANCEL, 0);
        EXPECT_EQ(LOWORD(SendMessageA(d, DM_GETDEFID, 0, 0)), IDCANCEL);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        SetFocus(GetDlgItem(d, kCheck));
    });
    H().idle.push_back([this] { Screen().PressKey(VK_RETURN); });
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form_, host_, FormProc, 0), IDCANCEL);
}

TEST_F(FormTest, FocusedPushButtonLooksDefault)
{
    auto type = [](int id) {
        return GetWindowLongA(GetDlgItem(FindWindowA("#32770", nullptr), id), GWL_STYLE) & BS_TYPEMASK;
    };
    std::vector<std::pair<DWORD, DWORD>> seen;  // (Plain, OK) after each step
    auto note = [&] { seen.emplace_back(type(kPlain), type(IDOK)); };
    H().idle.push_back([&] {
        note();
        SetFocus(GetDlgItem(FindWindowA("#32770", nullptr), kPlain));
    });
    H().idle.push_back([&] {
        note();
        SetFocus(GetDlgItem(FindWindowA("#32770", nullptr), kCheck));
    });
    H().idle.push_back([&] {
        note();
        Screen().PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form_, host_, FormProc, 0), IDCANCEL);
    EXPECT_EQ(seen, (std::vector<std::pair<DWORD, DWORD>>{{BS_PUSHBUTTON, BS_DEFPUSHBUTTON},
                                                          {BS_DEFPUSHBUTTON, BS_PUSHBUTTON},
                                                          {BS_PUSHBUTTON, BS_DEFPUSHBUTTON}}));
}

TEST_F(FormTest, ButtonsByMouseSpaceArrowsAndMnemonics)
{
    struct Case {
        const char* name;
        std::vector<std::function<void()>> actions;
        std::map<int, UINT> checks;
    };
    std::vector<Case> cases = {
        {"click toggles", {ClickItem(kCheck), ClickItem(kCheck), ClickItem(kCheck), Key(VK_ESCAPE)},
         {{kCheck, 1}, {kThree, 0}, {kRadioA, 0}}},
        {"three states cycle", {ClickItem(kThree), ClickItem(kThree), Key(VK_ESCAPE)}, {{kThree, BST_INDETERMINATE}}},
        {"space on the focused box", {Key(VK_SPACE), Key(VK_ESCAPE)}, {{kCheck, 1}}},
        {"radio group is exclusive", {ClickItem(kRadioA), ClickItem(kRadioC), Key(VK_ESCAPE)},
         {{kRadioA, 0}, {kRadioB, 0}, {kRadioC, 1}}},
        {"arrows move and check within the group", {ClickItem(kRadioA), Key(VK_DOWN), Key(VK_ESCAPE)},
         {{kRadioA, 0}, {kRadioB, 1}}},
        {"mnemonic letters", {Type("tb"), Key(VK_ESCAPE)}, {{kThree, 1}, {kRadioB, 1}, {kCheck, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gForm = FormLog{};
        EXPECT_EQ(Run(c.actions), IDCANCEL);
        for (auto [id, v] : c.checks) EXPECT_EQ(gForm.checks[id], v) << id;
        H().idle.clear();
    }
}

// The keys a dialog answers for itself behave alike in the modal loop and
// in a modeless dialog whose program loop calls IsDialogMessageA.
TEST_F(FormTest, DialogKeysModalAndModeless)
{
    auto alt = [this](int vk) -> std::function<void()> {
        return [this, vk] {
            Screen().KeyDown(VK_MENU);
            Screen().PressKey(vk);
            Screen().KeyUp(VK_MENU);
        };
    };
    struct Case {
        const char* name;
        std::vector<std::function<void()>> actions;
        std::vector<int> clicked;
        int focus;  // 0 when the dialog ended before it could be seen
        std::map<int, UINT> checks;
    };
    std::vector<Case> cases = {
        {"alt and a letter presses a check box", {alt('T')}, {kThree}, kThree, {{kThree, 1}, {kCheck, 0}}},
        {"plain letters where the focus takes none", {Type("tb")}, {kThree, kRadioB}, kRadioB,
         {{kThree, 1}, {kRadioB, 1}}},
        {"mnemonics ignore case", {Type("T")}, {kThree}, kThree, {{kThree, 1}}},
        {"a letter shared by a box and a radio", {Type("c")}, {}, kRadioC, {{kCheck, 0}, {kRadioC, 0}}},
        {"a label hands the focus to the next stop", {Key(VK_TAB), Key(VK_TAB), alt('L')}, {}, kCheck, {{kCheck, 0}}},
        {"a shared mnemonic only moves the focus", {alt('A'), alt('A')}, {}, kApply, {{kRadioA, 0}}},
        {"letters no control carries do nothing", {Type("z9"), alt('Q')}, {}, kCheck, {{kCheck, 0}}},
        {"enter on a focused push button", {Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_RETURN)},
         {kPlain}, kPlain, {}},
        {"enter elsewhere presses the default", {Key(VK_TAB), Key(VK_RETURN)}, {IDOK}, 0, {{kThree, 0}}},
    };
    for (bool modeless : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (modeless ? " (modeless)" : " (modal)"));
            gForm = FormLog{};
            H().idle.clear();
            int focus = 0;
            std::map<int, UINT> checks;
            if (modeless) {
                HWND d = CreateDialogIndirectParamA(nullptr, &form_, host_, FormProc, 0);
                ASSERT_NE(d, nullptr);
                ShowWindow(d, SW_SHOW);
                SetActiveWindow(d);
                SetFocus(GetDlgItem(d, kCheck));
                for (const auto& action : c.actions) {
                    action();
                    // The program's own loop: the dialog sees its messages first.
                    MSG msg;
                    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        if (!IsDialogMessageA(d, &msg)) {
                            TranslateMessage(&msg);
                            DispatchMessageA(&msg);
                        }
                    }
                }
                if (c.focus) focus = GetDlgCtrlID(GetFocus());
                for (int id : {kCheck, kThree, kRadioA, kRadioB, kRadioC}) checks[id] = IsDlgButtonChecked(d, id);
                DestroyWindow(d);
            } else {
                std::vector<std::function<void()>> actions = c.actions;
                actions.push_back([&] {
                    focus = GetDlgCtrlID(GetFocus());
                    Screen().PressKey(VK_ESCAPE);
                });
                INT_PTR ended = Run(actions);
                EXPECT_EQ(ended, c.focus ? IDCANCEL : IDOK);
                if (ended == IDCANCEL) {
                    ASSERT_FALSE(gForm.clicked.empty());
                    gForm.clicked.pop_back();
                }
                checks = gForm.checks;
            }
            EXPECT_EQ(gForm.clicked, c.clicked);
            if (c.focus) {
                EXPECT_EQ(focus, c.focus);
            }
            for (auto [id, v] : c.checks) EXPECT_EQ(checks[id], v) << id;
        }
    }
}

TEST_F(FormTest, ItemHelpers)
{
    HWND d = CreateDialogIndirectParamA(nullptr, &form_, host_, FormProc, 0);
    ASSERT_NE(d, nullptr);
    struct IntCase {
        const char* text;
        BOOL isSigned;
        BOOL ok;
        UINT value;
    } cases[] = {
        {"42", FALSE, TRUE, 42},          {" -7 ", TRUE, TRUE, static_cast<UINT>(-7)}, {"-7", FALSE, FALSE, 0},
        {"12a", TRUE, FALSE, 0},          {"", TRUE, FALSE, 0},                        {"99999999999", FALSE, FALSE, 0},
        {"4294967295", FALSE, TRUE, 4294967295u}, {"2147483648", TRUE, FALSE, 0},
    };
    for (const IntCase& c : cases) {
        SetDlgItemTextA(d, kLabel, c.text);
        BOOL ok = 2;
        EXPECT_EQ(GetDlgItemInt(d, kLabel, &ok, c.isSigned), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    SetDlgItemInt(d, kLabel, static_cast<UINT>(-12), TRUE);
    char buf[8];
    EXPECT_EQ(GetDlgItemTextA(d, kLabel, buf, sizeof buf), 3u);
    EXPECT_STREQ(buf, "-12");
    EXPECT_EQ(GetDlgItemTextA(d, 4242, buf, sizeof buf), 0u);
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(CheckRadioButton(d, kRadioA, kRadioC, kRadioB));
    EXPECT_EQ(IsDlgButtonChecked(d, kRadioB), 1u);
    EXPECT_EQ(IsDlgButtonChecked(d, kRadioA), 0u);
    EXPECT_TRUE(CheckDlgButton(d, kThree, BST_INDETERMINATE));
    EXPECT_EQ(SendDlgItemMessageA(d, kThree, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(SendDlgItemMessageA(d, kCheck, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    EXPECT_EQ(SendDlgItemMessageA(d, IDOK, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendDlgItemMessageA(d, kLabel, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_NE(GetDialogBaseUnits(), 0);
    RECT r{0, 0, 4, 8};
    EXPECT_FALSE(MapDialogRect(host_, &r));  // not a dialog
    EXPECT_TRUE(EndDialog(d, 3));
    EXPECT_TRUE(IsWindow(d));  // a modeless dialog stays until destroyed
    DestroyWindow(d);
}

TEST_F(CtlTest, MessageBoxAnswers)
{
    struct Case {
        UINT type;
        std::vector<int> keys;  // letters typed as characters
        int expected;
    } cases[] = {
        {MB_OK, {VK_RETURN}, IDOK},
        {MB_OK | MB_ICONINFORMATION, {VK_ESCAPE}, IDOK},
        {MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {MB_OKCANCEL, {VK_TAB, VK_RETURN}, IDCANCEL},
        {MB_YESNO, {VK_RETURN}, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
        {MB_YESNO, {VK_ESCAPE, 'N'}, IDNO},  // Escape does nothing without Cancel
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {VK_RETURN}, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON4, {VK_RETURN}, IDCANCEL},  // beyond the last: the last
        {MB_YESNOCANCEL, {'Y'}, IDYES},
        {MB_RETRYCANCEL, {VK_RETURN}, IDRETRY},
        {MB_ABORTRETRYIGNORE, {'I'}, IDIGNORE},
    };
    for (const Case& c : cases) {
        for (int k : c.keys) {
            if (k >= 'A' && k <= 'Z') Screen().TypeText(std::string(1, static_cast<char>(k + 32)));
            else Screen().PressKey(k);
        }
        EXPECT_EQ(MessageBoxA(host_, "Something happened.\nAnother line.", "Quelvo", c.type), c.expected)
            << c.type;
        EXPECT_TRUE(IsWindowEnabled(host_));
    }
}

TEST_F(CtlTest, MessageBoxHasAnIconOnlyWhenAskedFor)
{
    struct Case {
        UINT icon;
        bool shown;
    } cases[] = {{MB_ICONERROR, true}, {MB_ICONWARNING, true}, {MB_ICONQUESTION, true}, {MB_ICONINFORMATION, true}, {0, false}};
    for (const Case& c : cases) {
        bool hasIcon = false;
        RECT icon{}, text{};
        H().idle.push_back([&] {
            HWND box = FindWindowA("#32770", nullptr);
            HWND i = GetDlgItem(box, 0xFFFE);
            hasIcon = i != nullptr;
            if (i) GetWindowRect(i, &icon);
            GetWindowRect(GetDlgItem(box, 0xFFFF), &text);
            Screen().PressKey(VK_RETURN);
        });
        EXPECT_EQ(MessageBoxA(host_, "Text", "Caption", MB_OK | c.icon), IDOK);
        EXPECT_EQ(hasIcon, c.shown) << c.icon;
        if (c.shown) {
            EXPECT_LE(icon.right, text.left);  // the text stands beside the icon
        }
    }
}

TEST_F(CtlTest, StaticPassesClicksUnlessNotify)
{
    HWND quiet = MakeChild("STATIC", "quiet", SS_LEFT, 10, 10, 80, 20, 21);
    HWND loud = MakeChild("STATIC", "loud", SS_LEFT | SS_NOTIFY, 10, 40, 80, 20, 22);
    ASSERT_TRUE(quiet && loud);
    Click(quiet, 5, 5);
    Click(loud, 5, 5);
    EXPECT_EQ(H().Commands(STN_CLICKED), std::vector<WORD>{22});
    EXPECT_EQ(SendMessageA(quiet, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    // The text is painted in the parent's colours for statics.
    H().log.clear();
    InvalidateRect(quiet, nullptr, TRUE);
    Pump();
    EXPECT_GE(H().Count(WM_CTLCOLORSTATIC), 1);
}

}  // namespace
}  // namespace ctltest
