// Standard controls on the headless screen: when their change events fire,
// the mask edit's keys and the track bar's keys and mouse.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/visual/actnlist.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/listbox.h"
#include "platform/hostlib/stdctrls/richedit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/winuser.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class StdCtrlsTest : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        form = NewForm(320, 200);
        edit = Add<TEdit>(form, "Edit1", 10, 10, 100, 21);
        mask = Add<TMaskEdit>(form, "Mask1", 10, 40, 40, 21);
        mask->SetEditMask("!99;1;0");
        mask->SetMaxLength(2);
        check = Add<TCheckBox>(form, "Check1", 10, 70, 100, 17);
        track = Add<TTrackBar>(form, "Track1", 10, 100, 200, 45);
        track->SetMax(100);
        form->Show();
        Pump();
        auto count = [this](const char* name) { return TNotifyEvent::FromFunction([this, name](TObject*) { events.push_back(name); }); };
        edit->OnChange = count("edit");
        mask->OnChange = count("mask");
        check->OnClick = count("check");
        track->OnChange = count("track");
    }

    void Type(TWinControl* c, const std::string& text)
    {
        c->SetFocus();
        Pump();
        Screen().TypeText(text);
        Pump();
    }

    // Select all, paste: the text replaced in one change.
    void PasteOver(TCustomEdit* c, const std::string& text)
    {
        Clipboard()->SetAsText(text);
        c->SelectAll();
        c->PasteFromClipboard();
        Pump();
    }

    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TMaskEdit* mask = nullptr;
    TCheckBox* check = nullptr;
    TTrackBar* track = nullptr;
    std::vector<std::string> events;
};

}  // namespace

TEST_F(StdCtrlsTest, WhenChangeEventsFire)
{
    struct Step {
        const char* what;
        std::function<void()> run;
        std::vector<std::string> events;
        std::function<bool()> check;
    };
    const std::vector<Step> steps = {
        {"edit text set", [&] { edit->SetText("abc"); }, {"edit"}, [&] { return edit->Text() == "abc"; }},
        {"edit same text", [&] { edit->SetText("abc"); }, {}, [&] { return edit->Text() == "abc"; }},
        {"edit typing", [&] {
             edit->SetText("");
             events.clear();
             Type(edit, "xy");
         }, {"edit", "edit"}, [&] { return edit->Text() == "xy"; }},
        {"mask text set", [&] { mask->SetText("8"); }, {"mask"}, [&] { return mask->Text() == "08"; }},
        {"mask same shown text", [&] { mask->SetText("08"); }, {}, [&] { return mask->Text() == "08"; }},
        {"mask emptied", [&] { mask->SetText(""); }, {"mask"}, [&] { return mask->Text() == "00"; }},
        {"mask typing", [&] { Type(mask, "7"); }, {"mask"}, [&] { return mask->Text() == "07"; }},
        {"mask refused letter", [&] { Type(mask, "q"); }, {}, [&] { return mask->Text() == "07"; }},
        {"mask pasted as shown", [&] { PasteOver(mask, "42"); }, {"mask"}, [&] { return mask->Text() == "42"; }},
        {"mask pasted short", [&] { PasteOver(mask, "5"); }, {"mask"}, [&] { return mask->Text() == "05"; }},
        {"check set", [&] { check->SetChecked(true); }, {"check"}, [&] { return check->Checked(); }},
        {"check same", [&] { check->SetChecked(true); }, {}, [&] { return check->Checked(); }},
        {"check click", [&] { ClickAt(check); }, {"check"}, [&] { return !check->Checked(); }},
        {"track set", [&] { track->SetPosition(40); }, {"track"}, [&] { return track->Position() == 40; }},
        {"track same", [&] { track->SetPosition(40); }, {}, [&] { return track->Position() == 40; }},
        {"track clamped", [&] { track->SetPosition(500); }, {"track"}, [&] { return track->Position() == 100; }},
        {"track clamped again", [&] { track->SetPosition(101); }, {}, [&] { return track->Position() == 100; }},
        {"track max lowered", [&] { track->SetMax(60); }, {"track"}, [&] { return track->Position() == 60; }},
    };
    for (const Step& s : steps) {
        events.clear();
        s.run();
        EXPECT_EQ(events, s.events) << s.what;
        EXPECT_TRUE(s.check()) << s.what;
    }
}

TEST_F(StdCtrlsTest, MaskEditKeys)
{
    struct Case {
        const char* start;
        const char* typed;  // '<' is Backspace
        const char* shown;
    };
    const Case cases[] = {
        {"", "8", "08"},     {"", "123", "12"}, {"", "a9b", "09"}, {"45", "<", "04"},
        {"45", "<<<", "00"}, {"", "70", "70"},
    };
    for (const Case& c : cases) {
        mask->SetText(c.start);
        mask->SetFocus();
        Pump();
        mask->SetSelStart(2);  // caret at the end
        for (const char* p = c.typed; *p; ++p) {
            if (*p == '<') Screen().PressKey(VK_BACK);
            else Screen().TypeText(std::string(1, *p));
        }
        Pump();
        EXPECT_EQ(mask->Text(), c.shown) << c.start << " + " << c.typed;
    }
    // Typing over the selected text replaces it.
    mask->SetText("45");
    mask->SelectAll();
    Screen().TypeText("3");
    Pump();
    EXPECT_EQ(mask->Text(), "03");
    // Delete removes the character after the caret.
    mask->SetText("45");
    mask->SetSelStart(0);
    Key(VK_DELETE);
    EXPECT_EQ(mask->Text(), "05");
}

TEST_F(StdCtrlsTest, TrackBarKeysAndMouse)
{
    track->SetPageSize(10);
    track->SetPosition(50);
    track->SetFocus();
    Pump();
    struct Case {
        int vk;
        int position;
    };
    const Case cases[] = {{VK_RIGHT, 51}, {VK_LEFT, 50}, {VK_UP, 49}, {VK_DOWN, 50}, {VK_NEXT, 60}, {VK_PRIOR, 50},
                          {VK_END, 100},  {VK_RIGHT, 100}, {VK_HOME, 0}, {VK_LEFT, 0}, {VK_PRIOR, 0}};
    for (const Case& c : cases) {
        Key(c.vk);
        EXPECT_EQ(track->Position(), c.position) << c.vk;
    }
    events.clear();
    // A click right of the thumb pages towards it.
    ClickAt(track, 150, 10);
    EXPECT_EQ(track->Position(), 10);
    // Dragging the thumb to the far end.
    const RECT thumb = track->ThumbRect();
    const POINT from = track->ClientToScreen(POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    Screen().ButtonDown(from);
    Screen().MoveMouse(track->ClientToScreen(POINT{400, from.y}));
    Screen().ButtonUp(track->ClientToScreen(POINT{400, from.y}));
    Pump();
    EXPECT_EQ(track->Position(), 100);
    EXPECT_EQ(events.front(), "track");
}

// ---- drawn controls and the combo box ------------------------------------------------------

namespace {

class ExtCtrlsTest : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        RegisterStandardControls();
        form = NewForm(400, 300);
        pages = Add<TPageControl>(form, "Pages", 0, 0, 400, 200);
        for (const char* caption : {"Processes", "Configuration", "Log"}) {
            auto* sheet = CreateObject<TTabSheet>(form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
        }
        combo = Add<TComboBox>(form, "Combo", 10, 210, 150, 21);
        combo->SetStyle(csDropDownList);
        for (const char* item : {"Configuration", "3rd Party Tool", "Toggle Enable"}) combo->Items()->Add(item);
        status = Add<TStatusBar>(form, "Status", 0, 0, 0, 19);
        status->SetSimplePanel(true);
        form->Show();
        Pump();
        pages->OnChanging = TTabChangingEvent::FromFunction([this](TObject*, bool& allow) {
            events.push_back("changing " + std::to_string(pages->ActivePageIndex()));
            allow = allowChange;
        });
        pages->OnChange = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("change " + std::to_string(pages->ActivePageIndex())); });
        combo->OnChange = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("combo " + std::to_string(combo->ItemIndex())); });
    }

    void ClickTab(int index)
    {
        const RECT r = pages->TabRect(index);
        ClickAt(pages, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    TComboBox* combo = nullptr;
    TStatusBar* status = nullptr;
    std::vector<std::string> events;
    bool allowChange = true;
};

}  // namespace

TEST_F(ExtCtrlsTest, PageAndComboEvents)
{
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePageIndex(), 0);  // the first page shows by default
    struct Step {
        const char* what;
        std::function<void()> run;
        std::vector<std::string> events;
        int activePage;
        int comboIndex;
    };
    const std::vector<Step> steps = {
        {"program picks a page", [&] { pages->SetActivePageIndex(1); }, {}, 1, -1},
        {"program picks no page", [&] { pages->SetActivePageIndex(7); }, {}, -1, -1},
        {"program picks page 0", [&] { pages->SetActivePageIndex(0); }, {}, 0, -1},
        {"user clicks a tab", [&] { ClickTab(2); }, {"changing 0", "change 2"}, 2, -1},
        {"user clicks the shown tab", [&] { ClickTab(2); }, {}, 2, -1},
        {"refused change", [&] {
             allowChange = false;
             ClickTab(1);
             allowChange = true;
         }, {"changing 2"}, 2, -1},
        {"hiding the shown tab moves on quietly", [&] { pages->Pages(2)->SetTabVisible(false); }, {}, 0, -1},
        {"program sets the combo", [&] { combo->SetItemIndex(1); }, {}, 0, 1},
        {"combo outside the list", [&] { combo->SetItemIndex(5); }, {}, 0, -1},
        {"user picks in the combo", [&] {
             combo->SetItemIndex(0);
             combo->SetFocus();
             Pump();
             Key(VK_DOWN);
         }, {"combo 1"}, 0, 1},
    };
    for (const Step& s : steps) {
        events.clear();
        s.run();
        EXPECT_EQ(events, s.events) << s.what;
        EXPECT_EQ(pages->ActivePageIndex(), s.activePage) << s.what;
        EXPECT_EQ(combo->ItemIndex(), s.comboIndex) << s.what;
    }
    // Only the shown page is visible, and it fills the display area.
    for (int i = 0; i < pages->PageCount(); ++i) EXPECT_EQ(pages->Pages(i)->Visible(), i == pages->ActivePageIndex()) << i;
    const RECT display = pages->DisplayRect();
    EXPECT_EQ(pages->Pages(0)->Width(), display.right - display.left);
    EXPECT_GT(pages->Pages(0)->Top(), 0);
}

TEST_F(ExtCtrlsTest, StatusBarLabelAndGroupBox)
{
    status->SetSimpleText("CPU Smoothing at 80   ");
    EXPECT_EQ(status->SimpleText(), "CPU Smoothing at 80   ");
    EXPECT_EQ(status->Align(), alBottom);
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    status->Panels()->Add()->SetText("one");
    EXPECT_EQ(status->Panels()->Count(), 1);

    auto* group = Add<TGroupBox>(form, "Group", 200, 210, 150, 80);
    group->SetCaption(" System Options ");
    auto* inside = Add<TEdit>(group, "Inside", 0, 0, 50, 21);
    inside->SetAlign(alTop);
    Pump();
    EXPECT_GT(inside->Top(), 0);  // children start below the caption

    auto* label = Add<TLabel>(form, "Label", 10, 240, 10, 10);
    label->SetCaption("&Tool Menu Caption");
    Pump();
    EXPECT_GT(label->Width(), 40);  // sized to the caption
    EXPECT_GT(label->Height(), 5);
    auto* target = Add<TEdit>(form, "Target", 10, 260, 80, 21);
    label->SetFocusControl(target);
    combo->SetFocus();
    Pump();
    KeyWith(VK_MENU, 'T');
    EXPECT_TRUE(target->Focused());
    target->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
}

// ---- buttons ----------------------------------------------------------------------------------

TEST(ButtonLayoutTest, GlyphAndCaptionPlaces)
{
    const RECT client{0, 0, 75, 25};
    struct Case {
        TButtonLayout layout;
        int margin;
        RECT glyph;
        RECT text;
    };
    const Case cases[] = {
        {blGlyphLeft, -1, {12, 4, 28, 20}, {32, 6, 62, 19}},   {blGlyphRight, -1, {46, 4, 62, 20}, {12, 6, 42, 19}},
        {blGlyphLeft, 2, {2, 4, 18, 20}, {22, 6, 52, 19}},     {blGlyphTop, -1, {29, -4, 45, 12}, {22, 16, 52, 29}},
        {blGlyphBottom, 0, {29, 17, 45, 33}, {22, 0, 52, 13}},
    };
    for (const Case& c : cases) {
        const TButtonParts parts = LayoutButton(client, SIZE{16, 16}, SIZE{30, 13}, c.layout, c.margin, 4);
        EXPECT_TRUE(EqualRect(&parts.Glyph, &c.glyph)) << c.layout << " " << parts.Glyph.left << "," << parts.Glyph.top;
        EXPECT_TRUE(EqualRect(&parts.Text, &c.text)) << c.layout << " " << parts.Text.left << "," << parts.Text.top;
    }
    // Without a glyph the caption is centred alone.
    const TButtonParts alone = LayoutButton(client, SIZE{0, 0}, SIZE{30, 13}, blGlyphLeft, -1, 4);
    EXPECT_EQ(alone.Text.left, 22);
}

TEST_F(StdCtrlsTest, ButtonsClickAndCloseModalForms)
{
    struct KindCase {
        TBitBtnKind kind;
        const char* caption;
        TModalResult result;
        bool isDefault;
        bool isCancel;
    };
    for (const KindCase& k : {KindCase{bkOK, "OK", mrOk, true, false}, KindCase{bkCancel, "Cancel", mrCancel, false, true},
                              KindCase{bkHelp, "&Help", mrNone, false, false}, KindCase{bkYes, "&Yes", mrYes, true, false},
                              KindCase{bkNo, "&No", mrNo, false, true}}) {
        auto* b = CreateObject<TBitBtn>(form);
        b->SetKind(k.kind);
        EXPECT_EQ(b->Caption(), k.caption);
        EXPECT_EQ(b->ModalResult(), k.result);
        EXPECT_EQ(b->Default(), k.isDefault);
        EXPECT_EQ(b->Cancel(), k.isCancel);
        b->Free();
    }

    auto* ok = Add<TBitBtn>(form, "Ok", 220, 10, 75, 25);
    ok->SetKind(bkOK);
    auto* help = Add<TBitBtn>(form, "Help", 220, 130, 75, 25);
    help->SetKind(bkHelp);
    // Each drawn button gets its own draw requests.
    Pump();
    EXPECT_NE(GetDlgCtrlID(ok->Handle()), GetDlgCtrlID(help->Handle()));
    auto* cancel = Add<TButton>(form, "Cancel", 220, 40, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* speed = Add<TSpeedButton>(form, "Browse", 220, 70, 23, 22);
    int okClicks = 0, cancelClicks = 0, speedClicks = 0;
    ok->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++okClicks; });
    cancel->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++cancelClicks; });
    speed->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++speedClicks; });
    Pump();

    ClickAt(ok);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);
    edit->SetFocus();
    Pump();
    Key(VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    form->SetModalResult(mrNone);
    Key(VK_RETURN);
    EXPECT_EQ(okClicks, 2);
    ClickAt(speed);
    EXPECT_EQ(speedClicks, 1);
    EXPECT_FALSE(speed->Down());  // no group: never stays down

    // Grouped speed buttons: one down at a time.
    auto* a = Add<TSpeedButton>(form, "A", 250, 70, 23, 22);
    auto* b = Add<TSpeedButton>(form, "B", 275, 70, 23, 22);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    Pump();
    ClickAt(a);
    EXPECT_TRUE(a->Down());
    ClickAt(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    ClickAt(b);
    EXPECT_TRUE(b->Down());  // the last one stays down without AllowAllUp
}

// ---- log view -----------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, RichEditShowsLogFiles)
{
    auto* log = Add<TRichEdit>(form, "Log", 10, 150, 200, 40);
    log->SetReadOnly(true);
    Pump();
    const std::string path = "/tmp/quelvo-richedit-test.log";
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
    };
    std::string many;
    for (int i = 1; i <= 40; ++i) many += "line " + std::to_string(i) + "\n";
    const std::vector<Case> cases = {
        {"LF", "one\ntwo\n", {"one", "two"}},
        {"CR LF", "one\r\ntwo\r\nthree", {"one", "two", "three"}},
        {"CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"invalid UTF-8", "ok \xff\xfe end\n\xc3\xa9t\xc3", {"ok \xEF\xBF\xBD\xEF\xBF\xBD end", "\xC3\xA9t\xEF\xBF\xBD"}},
        {"empty", "", {}},
        {"long", many, {}},
    };
    for (const Case& c : cases) {
        {
            std::ofstream out(path, std::ios::binary);
            out << c.bytes;
        }
        log->Lines()->LoadFromFile(path);
        if (std::string(c.what) != "long") {
            std::vector<std::string> lines;
            for (int i = 0; i < log->Lines()->Count(); ++i) lines.push_back(log->Lines()->Get(i));
            EXPECT_EQ(lines, c.lines) << c.what;
        }
        // Past the end stays at the end; the caret's line is shown.
        log->SetSelStart(static_cast<int>(log->Text().size()) + 2);
        log->Perform(EM_SCROLLCARET);
        const std::string text = log->Text();
        const auto characters = std::count_if(text.begin(), text.end(), [](char b) { return (static_cast<unsigned char>(b) & 0xC0) != 0x80; });
        EXPECT_EQ(log->SelStart(), static_cast<int>(characters)) << c.what;  // positions count characters
        EXPECT_EQ(log->Lines()->Count() == 0, log->Text().empty()) << c.what;
    }
    EXPECT_EQ(log->Lines()->Count(), 40);
    EXPECT_GT(log->TopLine(), 30);  // the last lines are in view
    std::remove(path.c_str());
}

// ---- memo and radio buttons ---------------------------------------------------------------------

TEST_F(StdCtrlsTest, MemoLinesAndKeys)
{
    auto* memo = Add<TMemo>(form, "Memo", 120, 10, 180, 60);
    auto* ok = Add<TButton>(form, "Ok", 220, 150, 75, 25);
    ok->SetDefault(true);
    int okClicks = 0;
    ok->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++okClicks; });
    Pump();
    memo->Lines()->Add("first");
    memo->Lines()->Add("second");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Text(), "first\r\nsecond\r\n");
    memo->Lines()->Insert(1, "middle");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Lines()->Get(0), "middle");
    EXPECT_THROW(memo->Lines()->Get(5), EStringListError);

    // Enter types a new line while WantReturns, else it clicks the default button.
    memo->Clear();
    memo->SetFocus();
    Pump();
    Screen().TypeText("a");
    Key(VK_RETURN);
    Screen().TypeText("b");
    Pump();
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(okClicks, 0);
    memo->SetWantReturns(false);
    Key(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(memo->Lines()->Count(), 2);
}

TEST_F(StdCtrlsTest, RadioButtonsAreExclusive)
{
    auto* a = Add<TRadioButton>(form, "A", 215, 10, 90, 17);
    auto* b = Add<TRadioButton>(form, "B", 215, 30, 90, 17);
    auto* group = Add<TGroupBox>(form, "G", 215, 50, 100, 45);
    auto* c = Add<TRadioButton>(group, "C", 5, 20, 80, 17);
    std::vector<std::string> clicks;
    for (TRadioButton* r : {a, b, c}) {
        r->OnClick = TNotifyEvent::FromFunction([&clicks, r](TObject*) { clicks.push_back(r->Name()); });
    }
    Pump();
    a->SetChecked(true);
    c->SetChecked(true);  // another parent: a stays checked
    EXPECT_TRUE(a->Checked());
    ClickAt(b);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(c->Checked());
    ClickAt(b);  // already checked: nothing
    EXPECT_EQ(clicks, (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// ---- list boxes ----------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, OwnerDrawListMeasuresAndDraws)
{
    auto* list = CreateObject<TListBox>(form);
    list->SetStyle(lbOwnerDrawVariable);
    std::vector<int> measured, drawn;
    list->OnMeasureItem = TMeasureItemEvent::FromFunction([&](TWinControl*, int index, int& height) {
        measured.push_back(index);
        height = 10 * (index + 1);
    });
    list->OnDrawItem = TDrawItemEvent::FromFunction([&](TWinControl*, int index, RECT, TOwnerDrawState) { drawn.push_back(index); });
    list->SetBounds(215, 10, 100, 80);
    list->SetParent(form);
    list->Items()->BeginUpdate();
    for (const char* item : {"a", "bb", "ccc"}) list->Items()->Add(item);
    list->Items()->EndUpdate();
    Pump();
    EXPECT_EQ(measured, (std::vector<int>{0, 1, 2}));
    for (int i = 0; i < 3; ++i) {
        const RECT r = list->ItemRect(i);
        EXPECT_EQ(r.bottom - r.top, 10 * (i + 1)) << i;
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), i), drawn.end()) << i;
    }
    EXPECT_EQ(list->ItemAtPos(POINT{5, 15}, true), 1);
    EXPECT_EQ(list->ItemAtPos(POINT{5, 75}, true), -1);  // below the last item
    EXPECT_EQ(list->ItemAtPos(POINT{5, 75}, false), 2);

    // The program's choice raises nothing; the user's raises OnClick.
    int clicks = 0;
    list->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    list->SetItemIndex(2);
    list->SetItemIndex(9);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(clicks, 0);
    ClickAt(list, 5, 15);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StdCtrlsTest, ListBorderAndTheCanvasOfItsOwnerDrawing)
{
    auto* list = Add<TListBox>(form, "Drawn", 215, 10, 100, 80);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetColor(clLime);
    for (const char* item : {"a", "b"}) list->Items()->Add(item);
    std::vector<bool> heldDuringDraw;
    list->OnDrawItem = TDrawItemEvent::FromFunction([&](TWinControl*, int index, RECT r, TOwnerDrawState) {
        heldDuringDraw.push_back(list->Canvas()->HandleAllocated());
        if (index == 1) list->Canvas()->Brush()->SetColor(clRed);
        list->Canvas()->FillRect(r);
    });
    list->SetItemIndex(0);
    Pump();
    ASSERT_FALSE(heldDuringDraw.empty());
    EXPECT_TRUE(std::all_of(heldDuringDraw.begin(), heldDuringDraw.end(), [](bool held) { return held; }));
    EXPECT_FALSE(list->Canvas()->HandleAllocated()) << "released after drawing";
    const RECT second = list->ItemRect(1);
    EXPECT_EQ(Screen().ClientPixel(list->Handle(), second.left + 20, second.top + 2), 0xFF0000u);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(Screen().ClientPixel(list->Handle(), 20, 2), (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight))
        << "a selected item's brush starts highlighted";

    // The frame: bsSingle by default, nothing of it with bsNone.
    struct Case {
        TBorderStyle style;
        bool framed;
    };
    for (const Case& c : {Case{bsSingle, true}, Case{bsNone, false}}) {
        list->SetBorderStyle(c.style);
        Pump();
        EXPECT_EQ((GetWindowLongA(list->Handle(), GWL_STYLE) & WS_BORDER) != 0, c.framed) << c.style;
        RECT w{};
        GetWindowRect(list->Handle(), &w);
        const bool cornerIsList = Screen().ScreenPixel(w.left, w.bottom - 3) == 0x00FF00u;
        EXPECT_EQ(cornerIsList, !c.framed) << c.style;
    }
}

TEST_F(StdCtrlsTest, VirtualListAsksOnlyForWhatItShows)
{
    auto* list = Add<TListBox>(form, "Virtual", 215, 10, 100, 80);
    list->SetStyle(lbVirtual);
    int dataCalls = 0;
    list->OnData = TLBGetDataEvent::FromFunction([&](TWinControl*, int index, std::string& text) {
        ++dataCalls;
        text = "Item " + std::to_string(index);
    });
    list->OnDataFind = TLBFindDataEvent::FromFunction([](TWinControl*, const std::string& text, int& result) {
        result = text.rfind("Item ", 0) == 0 ? std::stoi(text.substr(5)) : -1;
    });
    list->SetCount(2000);
    Pump();
    EXPECT_EQ(list->Count(), 2000);
    EXPECT_GT(dataCalls, 0);
    EXPECT_LT(dataCalls, 100);  // the visible rows, not every item
    EXPECT_EQ(list->ItemText(1999), "Item 1999");
    EXPECT_EQ(list->FindItem("Item 42"), 42);
    EXPECT_EQ(list->FindItem("zzz"), -1);
    EXPECT_THROW(list->ItemText(2000), EListError);
    auto* plain = Add<TListBox>(form, "Plain", 10, 10, 100, 80);
    EXPECT_THROW(plain->SetCount(5), EListError);
}

TEST_F(StdCtrlsTest, TypingSelectsTheFirstItemTheTypedTextStarts)
{
    auto* list = Add<TListBox>(form, "Typed", 215, 10, 100, 80);
    for (const char* item : {"apple", "Banana", "bandana", "cherry", "band"}) list->Items()->Add(item);
    int clicks = 0;
    list->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    list->SetFocus();
    Pump();
    struct Step {
        const char* keys;
        unsigned pause;
        int index;
    };
    // Quick keys make one text; a pause starts a new one.
    const Step steps[] = {
        {"b", 0, 1}, {"a", 0, 1}, {"nd", 0, 2}, {"\b", 0, 1}, {"c", 600, 3}, {"BANDA", 600, 2}, {"x", 0, 2},
    };
    for (const Step& step : steps) {
        Advance(step.pause);
        for (const char* k = step.keys; *k; ++k) list->Perform(WM_CHAR, static_cast<unsigned char>(*k), 0);
        Pump();
        EXPECT_EQ(list->ItemIndex(), step.index) << step.keys;
    }
    EXPECT_EQ(clicks, 6) << "once for each item that became current";

    // Without it, the list's own one-letter search runs.
    list->SetAutoComplete(false);
    Advance(600);
    list->Perform(WM_CHAR, 'b', 0);
    EXPECT_EQ(list->ItemIndex(), 4) << "the next item starting with b after the current one";
}

TEST_F(StdCtrlsTest, ColumnsShareTheWidthAndTabsStopAtTabWidth)
{
    auto* list = Add<TListBox>(form, "Columns", 10, 10, 200, 100);
    list->SetBorderStyle(bsNone);
    list->SetColumns(4);
    for (int i = 0; i < 30; ++i) list->Items()->Add("item " + std::to_string(i));
    Pump();
    const int itemHeight = static_cast<int>(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
    const int rows = list->ClientHeight() / itemHeight;
    ASSERT_GE(rows, 2);
    struct Case {
        int width, index, left;
    };
    // A quarter of the client width each, filled top to bottom.
    const Case cases[] = {{200, rows, 50}, {200, 2 * rows + 1, 100}, {120, rows, 30}};
    for (const Case& c : cases) {
        list->SetWidth(c.width);
        Pump();
        EXPECT_EQ(list->ItemRect(c.index).left, c.left) << c.width;
        EXPECT_EQ(list->ItemRect(c.index).top, c.index % rows * itemHeight) << c.width;
    }
    list->SetColumns(0);
    Pump();
    EXPECT_EQ(list->ItemRect(rows).left, 0) << "one column again";

    auto* tabbed = Add<TListBox>(form, "Tabbed", 215, 10, 100, 40);
    tabbed->SetBorderStyle(bsNone);
    tabbed->Font()->SetName(quelvo::gfx::kFixedTestFace);
    tabbed->Font()->SetHeight(-16);
    tabbed->SetTabWidth(20);  // 40 pixels at 8 pixels a character
    tabbed->Items()->Add("A\tB");
    Pump();
    auto inkAt = [&](int x) {
        for (int y = 0; y < 16; ++y)
            if (Screen().ClientPixel(tabbed->Handle(), x, y) != 0xFFFFFF) return true;
        return false;
    };
    int first = 12;
    while (first < 150 && !inkAt(first)) ++first;
    int bearing = 0;
    while (bearing < 8 && !inkAt(2 + bearing)) ++bearing;
    EXPECT_EQ(first, 2 + 40 + bearing);
}

TEST_F(StdCtrlsTest, MultiSelectionOperations)
{
    auto* from = Add<TListBox>(form, "From", 215, 10, 100, 80);
    auto* to = Add<TListBox>(form, "To", 215, 100, 100, 80);
    from->SetMultiSelect(true);
    TObject marker;
    for (const char* item : {"one", "two", "three", "four"}) from->Items()->Add(item);
    from->Items()->PutObject(2, &marker);
    Pump();
    from->SetSelected(0, true);
    from->SetSelected(2, true);
    EXPECT_EQ(from->SelCount(), 2);
    EXPECT_TRUE(from->Selected(2));
    EXPECT_FALSE(from->Selected(1));
    from->MoveSelection(to);
    EXPECT_EQ(from->Items()->Text(), "two\nfour\n");
    EXPECT_EQ(to->Items()->Text(), "one\nthree\n");
    EXPECT_EQ(to->Items()->GetObject(1), &marker);
    from->SelectAll();
    EXPECT_EQ(from->SelCount(), 2);
    from->DeleteSelected();
    EXPECT_EQ(from->Count(), 0);
    // Single selection: the current item is the selection.
    to->SetItemIndex(1);
    to->CopySelection(from);
    EXPECT_EQ(from->Items()->Text(), "three\n");
    EXPECT_THROW(to->Selected(7), EListError);
}

TEST_F(StdCtrlsTest, EditSelectionClipboardAndUndo)
{
    edit->SetText("h\xC3\xA9llo world");
    edit->SetSelStart(1);
    edit->SetSelLength(4);
    EXPECT_EQ(edit->SelText(), "\xC3\xA9llo");  // positions count characters
    edit->CopyToClipboard();
    edit->SelectAll();
    edit->SetSelText("x");
    EXPECT_EQ(edit->Text(), "x");
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), "h\xC3\xA9llo world");
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "\xC3\xA9llo\xC3\xA9llo world");
    edit->SelectAll();
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), "");
    edit->ClearUndo();
    EXPECT_FALSE(edit->CanUndo());
    edit->SetHideSelection(false);
    EXPECT_FALSE(edit->HideSelection());

    // MaxLength limits typing, not the program's text.
    edit->SetMaxLength(3);
    edit->SetText("abcdef");
    EXPECT_EQ(edit->Text(), "abcdef");
    edit->Clear();
    edit->SetFocus();
    Pump();
    Screen().TypeText("wxyz");
    Pump();
    EXPECT_EQ(edit->Text(), "wxy");
}

TEST_F(StdCtrlsTest, EditCaretIndexAndMaxLengthCountCharacters)
{
    // Five two-byte characters fit a limit of five.
    edit->SetMaxLength(5);
    edit->SetSelText("\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
    EXPECT_EQ(edit->Text(), "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
    EXPECT_EQ(edit->CaretIndex(), 5);
    // The caret is the end the user moved, not the selection's start.
    edit->SetSelStart(4);
    edit->SetFocus();
    Pump();
    Screen().KeyDown(VK_SHIFT);
    Screen().PressKey(VK_LEFT);
    Screen().PressKey(VK_LEFT);
    Screen().KeyUp(VK_SHIFT);
    Pump();
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_EQ(edit->CaretIndex(), 2);
    Screen().KeyDown(VK_SHIFT);
    Screen().PressKey(VK_RIGHT);
    Screen().PressKey(VK_RIGHT);
    Screen().PressKey(VK_RIGHT);
    Screen().KeyUp(VK_SHIFT);
    Pump();
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->CaretIndex(), 5);
}

TEST_F(StdCtrlsTest, EnterClicksTheFocusedButtonElseTheDefault)
{
    auto* ok = Add<TButton>(form, "Ok", 220, 10, 75, 25);
    auto* other = Add<TButton>(form, "Other", 220, 40, 75, 25);
    ok->SetDefault(true);
    std::vector<std::string> clicked;
    ok->OnClick = TNotifyEvent::FromFunction([&](TObject*) { clicked.push_back("ok"); });
    other->OnClick = TNotifyEvent::FromFunction([&](TObject*) { clicked.push_back("other"); });
    Pump();
    edit->SetFocus();
    Pump();
    Key(VK_RETURN);
    other->SetFocus();
    Pump();
    EXPECT_FALSE(ok->IsActive());
    Key(VK_RETURN);
    EXPECT_EQ(clicked, (std::vector<std::string>{"ok", "other"}));
}

TEST_F(StdCtrlsTest, ActionLinksCarryChangesToFollowingClients)
{
    auto action = MakeObject<TAction>(nullptr);
    action->SetCaption("Run");
    edit->SetCaption("Run");
    ObjectPtr<TWinControlActionLink> link(CreateObject<TWinControlActionLink>(static_cast<TObject*>(edit)));
    link->SetAction(action.get());
    EXPECT_EQ(action->LinkCount(), 1);
    action->SetCaption("Go");
    EXPECT_EQ(edit->Caption(), "Go");
    action->SetEnabled(false);
    EXPECT_FALSE(edit->Enabled());
    // A client changed on its own no longer follows that property.
    edit->SetHint("mine");
    action->SetHint("theirs");
    EXPECT_EQ(edit->Hint(), "mine");
    EXPECT_TRUE(link->IsCheckedLinked());
    EXPECT_FALSE(link->Execute());  // no handler
    int runs = 0;
    action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
    EXPECT_TRUE(link->Execute());
    EXPECT_EQ(runs, 1);
    action.reset();  // the link forgets a freed action
    EXPECT_EQ(link->Action(), nullptr);
}

// Records the image index a client is told.
class TImageLink : public TControlActionLink {
public:
    static TClass StaticClass() { return DefineClass<TImageLink, TControlActionLink>("TImageLink"); }
    TClass ClassType() const override { return StaticClass(); }
    void SetImageIndex(int value) override { shown = value; }
    bool IsImageIndexLinked() const override { return TControlActionLink::IsImageIndexLinked() && follows; }
    int shown = -1;
    bool follows = true;
};

TEST_F(StdCtrlsTest, ActionListsShareImagesAndActionsCarryAnImageIndex)
{
    auto list = MakeObject<TActionList>(nullptr);
    auto images = MakeObject<TImageList>(nullptr);
    list->SetImages(images.get());
    auto first = MakeObject<TAction>(nullptr);
    auto second = MakeObject<TAction>(nullptr);
    EXPECT_EQ(first->ImageIndex(), -1);
    first->SetActionList(list.get());
    second->SetActionList(list.get());
    first->SetActionList(list.get());
    ASSERT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(list->Actions(1), second.get());
    EXPECT_EQ(first->ActionList(), list.get());

    ObjectPtr<TImageLink> link(CreateObject<TImageLink>(static_cast<TObject*>(edit)));
    link->SetAction(first.get());
    first->SetImageIndex(3);
    EXPECT_EQ(link->shown, 3);
    link->follows = false;
    first->SetImageIndex(4);
    EXPECT_EQ(link->shown, 3) << "a client that stopped following keeps its image";
    EXPECT_EQ(first->ImageIndex(), 4);

    // Whichever goes first, the other forgets it.
    second.reset();
    EXPECT_EQ(list->ActionCount(), 1);
    images.reset();
    EXPECT_EQ(list->Images(), nullptr);
    list.reset();
    EXPECT_EQ(first->ActionList(), nullptr);
}

TEST_F(StdCtrlsTest, AMemosCaretIsAColumnAndALineInCharacters)
{
    auto* memo = Add<TMemo>(form, "Memo1", 150, 10, 150, 80);
    memo->SetText("ab\r\n\xC3\xA7" "d\r\nxyz");  // a two-byte letter on the second line
    Pump();
    struct Case {
        POINT set, got;
        int selStart;
    } cases[] = {
        {{0, 0}, {0, 0}, 0},
        {{1, 1}, {1, 1}, 5},
        {{2, 1}, {2, 1}, 6},
        {{9, 9}, {3, 2}, 11},  // kept within the text
        {{-1, -1}, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        memo->SetCaretPos(c.set);
        EXPECT_EQ(memo->SelStart(), c.selStart) << c.set.x << "," << c.set.y;
        EXPECT_EQ(memo->SelLength(), 0);
        EXPECT_EQ(memo->CaretPos().x, c.got.x) << c.set.x << "," << c.set.y;
        EXPECT_EQ(memo->CaretPos().y, c.got.y) << c.set.x << "," << c.set.y;
    }
}

// ---- controls following an action ------------------------------------------------------------

TEST_F(StdCtrlsTest, AControlTakesItsActionsStateAndRunsItWithoutOnClick)
{
    auto action = MakeObject<TAction>(nullptr);
    action->SetCaption("&Run");
    action->SetHint("Run it|Runs the thing");
    action->SetEnabled(false);
    int runs = 0;
    action->OnExecute = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, action.get());
        ++runs;
    });
    auto* button = Add<TButton>(form, "Button1", 150, 10, 75, 25);
    EXPECT_EQ(button->ActionLink(), nullptr);
    button->SetAction(action.get());
    ASSERT_NE(button->ActionLink(), nullptr);
    EXPECT_TRUE(button->ActionLink()->ClassType()->InheritsFrom(TWinControlActionLink::StaticClass()));
    EXPECT_EQ(button->Action(), action.get());
    EXPECT_EQ(button->Caption(), "&Run") << "assigned at run time, the action's state replaces the control's";
    EXPECT_EQ(button->Hint(), "Run it|Runs the thing");
    EXPECT_FALSE(button->Enabled());
    action->SetEnabled(true);
    EXPECT_TRUE(button->Enabled());
    action->SetVisible(false);
    EXPECT_FALSE(button->Visible());
    action->SetVisible(true);

    // A user's click runs the action while the control has no OnClick.
    ClickAt(button);
    Pump();
    EXPECT_EQ(runs, 1);
    button->SetFocus();
    Pump();
    Key(VK_SPACE);
    Pump();
    EXPECT_EQ(runs, 2);
    int own = 0;
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++own; });
    button->Click();
    EXPECT_EQ(runs, 2) << "OnClick replaces the action";
    EXPECT_EQ(own, 1);

    // Whichever goes first, the other forgets it.
    button->SetAction(nullptr);
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(action->LinkCount(), 0);
    button->SetAction(action.get());
    button->Free();
    EXPECT_EQ(action->LinkCount(), 0);
    auto* other = Add<TButton>(form, "Button2", 150, 40, 75, 25);
    other->SetAction(action.get());
    action.reset();
    EXPECT_EQ(other->Action(), nullptr);
    other->Click();  // nothing to run, no crash
}

// Counts how often the action's changes reach the control.
class TActionCountingButton : public TButton {
public:
    static TClass StaticClass() { return DefineClass<TActionCountingButton, TButton>("TActionCountingButton"); }
    TClass ClassType() const override { return StaticClass(); }
    std::vector<bool> changes;

protected:
    void ActionChange(TObject* sender, bool checkDefaults) override
    {
        changes.push_back(checkDefaults);
        TButton::ActionChange(sender, checkDefaults);
    }
};

TEST_F(StdCtrlsTest, EveryActionChangeReachesTheControlWhichKeepsWhatItSetItself)
{
    auto action = MakeObject<TAction>(nullptr);
    auto* button = Add<TActionCountingButton>(form, "Button1", 150, 10, 75, 25);
    button->SetAction(action.get());
    EXPECT_EQ(button->changes, (std::vector<bool>{false}));
    action->SetImageIndex(2);  // no property of the control, still a change
    action->SetCaption("Go");
    EXPECT_EQ(button->changes, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(button->Caption(), "Go");
    button->SetCaption("Mine");
    button->SetHint("my hint");
    button->SetEnabled(false);
    action->SetCaption("Stop");
    action->SetHint("their hint");
    action->SetEnabled(true);
    EXPECT_EQ(button->Caption(), "Mine");
    EXPECT_EQ(button->Hint(), "my hint");
    EXPECT_FALSE(button->Enabled());
}

TEST_F(StdCtrlsTest, AFormResourceKeepsTheControlsOwnCaptionOverItsAction)
{
    RegisterClasses({TAction::StaticClass(), TButton::StaticClass()});
    TForm* loaded = NewForm();
    // The reference is declared before the action it names.
    ReadFormResource(loaded, R"(Form2 : TForm {
  Own : TButton {
    Caption = "Own";
    Action = Act;
  }
  Plain : TButton {
    Action = Act;
  }
  Act : TAction {
    Caption = "Act";
    Hint = "acting";
  }
})", "actions.form");
    auto* act = As<TAction>(loaded->FindComponent("Act"));
    auto* own = As<TButton>(loaded->FindComponent("Own"));
    auto* plain = As<TButton>(loaded->FindComponent("Plain"));
    ASSERT_TRUE(act && own && plain);
    EXPECT_EQ(own->Action(), act);
    EXPECT_EQ(own->Caption(), "Own");
    EXPECT_EQ(own->Hint(), "acting");
    EXPECT_EQ(plain->Caption(), "Act") << "an empty caption is the default";
    const std::string written = WriteFormResource(loaded);
    EXPECT_NE(written.find("Action = Act"), std::string::npos) << written;
}

TEST_F(StdCtrlsTest, CheckBoxesAndRadioButtonsFollowTheActionsCheckedWithoutAClick)
{
    auto action = MakeObject<TAction>(nullptr);
    action->SetChecked(true);
    int runs = 0;
    action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
    check->OnClick = {};
    auto* radio = Add<TRadioButton>(form, "Radio1", 150, 70, 100, 17);
    auto* sibling = Add<TRadioButton>(form, "Radio2", 150, 90, 100, 17);
    sibling->SetChecked(true);
    for (TWinControl* client : {static_cast<TWinControl*>(check), static_cast<TWinControl*>(radio)})
        client->SetAction(action.get());
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(radio->Checked());
    EXPECT_FALSE(sibling->Checked()) << "a radio button checked by its action still unchecks its group";
    EXPECT_EQ(runs, 0) << "following the action is no click";
    action->SetChecked(false);
    EXPECT_FALSE(check->Checked());
    EXPECT_FALSE(radio->Checked());
    EXPECT_EQ(runs, 0);

    // The user's click runs the action once.
    ClickAt(check);
    Pump();
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(runs, 1);
    // A grayed box no longer follows.
    check->SetAllowGrayed(true);
    check->SetState(cbGrayed);
    EXPECT_EQ(runs, 2);
    action->SetChecked(true);
    EXPECT_EQ(check->State(), cbGrayed);
}

// ---- clicks by position on framed forms ---------------------------------------------------------

TEST_F(StdCtrlsTest, ClicksReachWrappedControlsOnFramedForms)
{
    for (TFormBorderStyle border : {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow}) {
        SCOPED_TRACE(static_cast<int>(border));
        auto* framed = Application->CreateForm<TForm>();
        framed->SetBorderStyle(border);
        framed->SetCaption("Framed");
        framed->SetBounds(40, 30, 300, 220);
        auto* button = Add<TButton>(framed, "Go", 10, 10, 75, 25);
        auto* box = Add<TCheckBox>(framed, "Box", 10, 45, 100, 17);
        auto* list = Add<TListBox>(framed, "Items", 120, 10, 120, 100);
        for (const char* item : {"one", "two", "three", "four"}) list->Items()->Add(item);
        auto* toggles = Add<TListBox>(framed, "Toggles", 120, 120, 120, 60);
        toggles->SetMultiSelect(true);
        toggles->SetExtendedSelect(false);  // each press toggles its item
        for (const char* item : {"a", "b"}) toggles->Items()->Add(item);
        int clicks = 0, listClicks = 0, listDouble = 0;
        button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
        list->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++listClicks; });
        list->OnDblClick = TNotifyEvent::FromFunction([&](TObject*) { ++listDouble; });
        framed->Show();
        Pump();

        // The client area starts below the caption bar and inside the frame.
        RECT window{};
        GetWindowRect(framed->Handle(), &window);
        const POINT origin = framed->ClientOrigin();
        POINT expected{0, 0};
        ClientToScreen(framed->Handle(), &expected);
        EXPECT_EQ(origin.x, expected.x);
        EXPECT_EQ(origin.y, expected.y);
        if (border != bsNone) {
            EXPECT_GT(origin.y, window.top);
        }

        // Every wrapped window has an id of its own.
        const int ids[] = {GetDlgCtrlID(button->Handle()), GetDlgCtrlID(box->Handle()), GetDlgCtrlID(list->Handle())};
        EXPECT_NE(ids[0], 0);
        EXPECT_NE(ids[0], ids[1]);
        EXPECT_NE(ids[1], ids[2]);
        EXPECT_NE(ids[0], ids[2]);

        ClickAt(button);
        EXPECT_EQ(clicks, 1);
        ClickAt(box);
        EXPECT_TRUE(box->Checked());
        const int itemHeight = list->ItemRect(0).bottom - list->ItemRect(0).top;
        ClickAt(list, 5, itemHeight * 2 + 2);
        EXPECT_EQ(list->ItemIndex(), 2);
        EXPECT_EQ(listClicks, 1);  // one selection change for one press

        // A real double click on another item: the press selects, the
        // second press is the double click.
        clock_.Advance(1000);
        Screen().DoubleClick(At(list, 5, itemHeight + 2));
        Pump();
        EXPECT_EQ(list->ItemIndex(), 1);
        EXPECT_EQ(listDouble, 1);
        EXPECT_EQ(listClicks, 2);

        // The list window sees each press once: a second one would toggle
        // the item back.
        ClickAt(toggles, 5, itemHeight + 2);
        EXPECT_TRUE(toggles->Selected(1));
        EXPECT_FALSE(toggles->Selected(0));
        framed->Free();
        Pump();
    }
}

namespace {

// Records what the form tells it about the default look.
class TStyleButton : public TButton {
public:
    static TClass StaticClass() { return DefineClass<TStyleButton, TButton>("TStyleButton"); }
    TClass ClassType() const override { return StaticClass(); }
    void SetButtonStyle(bool isDefault) override
    {
        looks.push_back(isDefault);
        TButton::SetButtonStyle(isDefault);
    }
    DWORD WindowType() { return static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & BS_TYPEMASK; }
    std::vector<bool> looks;
};

template <class Base>
const char* QuietName();
template <>
const char* QuietName<TRadioButton>() { return "TQuietRadioButton"; }
template <>
const char* QuietName<TCheckBox>() { return "TQuietCheckBox"; }

// Checks itself the way a control does when no click may follow.
template <class Base>
class TQuiet : public Base {
public:
    static TClass StaticClass() { return DefineClass<TQuiet, Base>(QuietName<Base>()); }
    TClass ClassType() const override { return StaticClass(); }
    void CheckQuietly()
    {
        this->SetClicksDisabled(true);
        this->SetChecked(true);
        this->SetClicksDisabled(false);
    }
};

}  // namespace

TEST_F(StdCtrlsTest, TheDefaultLookFollowsTheFocusedButtonElseTheDefaultOne)
{
    auto* ok = Add<TStyleButton>(form, "Ok", 220, 10, 75, 25);
    auto* other = Add<TStyleButton>(form, "Other", 220, 40, 75, 25);
    ok->SetDefault(true);
    Pump();
    struct Step {
        TWinControl* focus;
        bool okLook, otherLook;
    };
    const Step steps[] = {{other, false, true}, {edit, true, false}, {ok, true, false}, {other, false, true}};
    for (const Step& s : steps) {
        s.focus->SetFocus();
        Pump();
        ASSERT_FALSE(ok->looks.empty());
        ASSERT_FALSE(other->looks.empty());
        EXPECT_EQ(ok->looks.back(), s.okLook) << s.focus->Name();
        EXPECT_EQ(other->looks.back(), s.otherLook) << s.focus->Name();
        EXPECT_EQ(other->WindowType(), s.otherLook ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << s.focus->Name();
    }
}

TEST_F(StdCtrlsTest, CheckingWithClicksDisabledRaisesNoClickAndAlignmentMovesTheMark)
{
    auto* radio = Add<TQuiet<TRadioButton>>(form, "Radio", 200, 10, 100, 17);
    auto* box = Add<TQuiet<TCheckBox>>(form, "Box", 200, 40, 100, 17);
    int clicks = 0;
    radio->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    box->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    radio->CheckQuietly();
    box->CheckQuietly();
    EXPECT_TRUE(radio->Checked());
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 0);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 1) << "clicks again once enabled";

    EXPECT_EQ(radio->Alignment(), taRightJustify);
    Pump();
    EXPECT_EQ(GetWindowLongA(radio->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
    radio->SetAlignment(taLeftJustify);
    Pump();
    EXPECT_NE(GetWindowLongA(radio->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
    EXPECT_TRUE(radio->Checked()) << "kept across the new window";
    // The mark is drawn at the right edge now: its dot is there.
    const std::uint32_t back = Screen().ClientPixel(radio->Handle(), 50, 8);
    int markRight = 0, markLeft = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 13; ++x) {
            markRight += Screen().ClientPixel(radio->Handle(), 100 - 13 + x, y) != back;
            markLeft += Screen().ClientPixel(radio->Handle(), x, y) != back;
        }
    EXPECT_GT(markRight, 20);
    EXPECT_EQ(markLeft, 0);
}
