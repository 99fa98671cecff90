// The radio group: which item a value selects, ItemIndex, defaults, the
// read-only gate, the layout metrics and theme states, the button group's
// rows, arrow keys and buttons in step with the items, and the buttons
// standing in their columns with the selected dot on the headless display.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/windows/winuser.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

TcxRadioGroupItem* AddItem(TcxCustomRadioGroupProperties* p, const std::string& caption,
                           const Variant& value = Variant::Null())
{
    auto* item = static_cast<TcxRadioGroupItem*>(p->Items()->Add());
    item->SetCaption(caption);
    item->SetValue(value);
    return item;
}

class RadioGroupTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        cxRadioGroupInitialize();
        form = NewForm(400, 300);
        other = Add<visualtest::TTraceControl>(form, "other", 300, 250, 50, 20);
        other->SetTabStop(true);
        group = Add<TcxRadioGroup>(form, "Group", 10, 10, 200, 120);
        UseFixedFace(group->Style()->Font());
        group->Style()->LookAndFeel()->SetNativeStyle(false);
        group->SetCaption("Pick");
        group->OnClick = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("click"); });
        group->Properties()->OnChange = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("change"); });
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        cxRadioGroupFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        CatalogueTest::TearDown();
    }
    void Items(int n)
    {
        for (int i = 0; i < n; ++i) AddItem(group->Properties(), "Item" + std::to_string(i));
        Pump();
    }
    RECT ButtonBounds(int i) { return group->ViewInfo()->ButtonsInfo[static_cast<std::size_t>(i)]->Bounds; }
    int Focused()
    {
        for (int i = 0; i < group->ButtonCount(); ++i)
            if (group->Buttons(i)->Focused()) return i;
        return -1;
    }

    visualtest::TTraceControl* other = nullptr;
    TcxRadioGroup* group = nullptr;
    std::vector<std::string> events;
};

}  // namespace

TEST(RadioGroupProperties, AValueSelectsTheFirstMatchingItem)
{
    auto p = MakeObject<TcxRadioGroupProperties>(nullptr);
    AddItem(p.get(), "One", Variant(true));
    AddItem(p.get(), "Two");
    AddItem(p.get(), "");
    AddItem(p.get(), "Dup", Variant(7));
    AddItem(p.get(), "Dup2", Variant(7));
    struct Case {
        const char* what;
        Variant value;
        int index;
    };
    const Case cases[] = {
        {"Null finds the empty caption of a Null value", Variant::Null(), 2},
        {"by caption", Variant("Two"), 1},
        {"the caption match heeds case", Variant("two"), -1},
        {"Integer 1 is not True", Variant(1), -1},
        {"the text True is", Variant("True"), 0},
        {"duplicates give the first", Variant(7), 3},
    };
    for (const Case& c : cases) EXPECT_EQ(p->GetRadioGroupItemIndex(c.value), c.index) << c.what;
    EXPECT_EQ(p->GetDisplayText(Variant("Two")), "Two");
    p->SetDefaultCaption("none");
    EXPECT_EQ(p->GetDisplayText(Variant("x")), "none");
    EXPECT_TRUE(p->GetSupportedOperations().Contains(esoHotTrack));
}

TEST(RadioGroupProperties, ColumnsAreBoundByTheItems)
{
    auto p = MakeObject<TcxRadioGroupProperties>(nullptr);
    p->SetColumns(4);
    EXPECT_EQ(p->GetColumnCount(), 1) << "no items";
    EXPECT_FALSE(p->GetSupportedOperations().Contains(esoHotTrack));
    AddItem(p.get(), "a");
    AddItem(p.get(), "b");
    EXPECT_EQ(p->GetColumnCount(), 2);
    for (int i = 0; i < 3; ++i) AddItem(p.get(), "c");
    EXPECT_EQ(p->GetColumnCount(), 4) << "five items take four column places";
    EXPECT_EQ(p->GetButtonsPerColumn(), 2);
}

TEST(RadioGroupProperties, ThemeStatesByButtonStateAndCheck)
{
    struct Case {
        TcxEditButtonState state;
        int unchecked, checked;
    };
    const Case cases[] = {{ebsDisabled, 4, 8}, {ebsNormal, 1, 5}, {ebsPressed, 3, 7}, {ebsSelected, 2, 6}};
    for (const Case& c : cases) {
        EXPECT_EQ(RadioGroupButtonThemeState(c.state, false), c.unchecked) << c.state;
        EXPECT_EQ(RadioGroupButtonThemeState(c.state, true), c.checked) << c.state;
    }
}

TEST(RadioGroupProperties, TheKindResolvesByItsClassName)
{
    cxRadioGroupInitialize();
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxRadioGroupProperties"),
              TcxRadioGroupProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxRadioGroupProperties::StaticClass()),
              "RadioGroup");
    cxRadioGroupFinalize();
}

TEST_F(RadioGroupTest, DefaultsAndItemIndexClamping)
{
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_TRUE(group->TabStop());
    auto* fresh = CreateObject<TcxRadioGroup>(form);
    EXPECT_EQ(fresh->Width(), 185);
    EXPECT_EQ(fresh->Height(), 105);
    Items(3);
    EXPECT_EQ(group->ButtonCount(), 3);
    group->SetItemIndex(99);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(group->EditValue(), Variant("Item2")) << "the caption of an item without a value";
    EXPECT_TRUE(group->RadioButton(2)->Checked());
    group->SetItemIndex(-5);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->RadioButton(2)->Checked());
    EXPECT_TRUE(group->EditValue().IsNull()) << "DefaultValue";
    group->Properties()->SetDefaultValue(Variant(42));
    group->SetItemIndex(1);
    group->SetItemIndex(-1);
    EXPECT_EQ(group->EditValue(), Variant(42));
}

TEST_F(RadioGroupTest, SettingTheSameIndexByCodeClearsModified)
{
    Items(3);
    group->SetItemIndex(1);
    group->SetModified(true);
    group->SetItemIndex(1);
    EXPECT_FALSE(group->Modified());
}

TEST_F(RadioGroupTest, AValueChecksItsButtonAndTellsOnce)
{
    Items(3);
    events.clear();
    group->SetItemIndex(2);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
    events.clear();
    group->SetEditValue(Variant("Item1"));
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->RadioButton(1)->Checked());
    EXPECT_FALSE(group->RadioButton(2)->Checked());
    EXPECT_EQ(events, (std::vector<std::string>{"change"})) << "a value set by code does not click";
}

TEST_F(RadioGroupTest, ButtonsFollowTheItems)
{
    Items(5);
    std::vector<TWinControl*> before;
    for (int i = 0; i < 5; ++i) before.push_back(group->Buttons(i));
    group->Properties()->Items()->Delete(2);
    Pump();
    ASSERT_EQ(group->ButtonCount(), 4);
    EXPECT_EQ(group->Buttons(0), before[0]);
    EXPECT_EQ(group->Buttons(1), before[1]);
    EXPECT_EQ(group->Buttons(2), before[3]) << "only button 2 went";
    EXPECT_EQ(group->Buttons(3), before[4]);
    EXPECT_EQ(group->RadioButton(2)->Caption(), "Item3");
    group->Properties()->Items()->Items(0)->SetEnabled(false);
    EXPECT_FALSE(group->Buttons(0)->Enabled());
    EXPECT_TRUE(group->Buttons(1)->Enabled());
    group->SetEnabled(false);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(group->Buttons(i)->Enabled()) << i;
}

TEST_F(RadioGroupTest, RowsShareTheFreeHeightFromTheTop)
{
    Items(3);
    for (int extra : {0, 1}) {
        const RECT client = group->ViewInfo()->ClientRect;
        const int chrome = group->Height() - (client.bottom - client.top);
        group->SetHeight(100 + extra + chrome);
        Pump();
        const RECT c = group->ViewInfo()->ClientRect;
        EXPECT_EQ(c.bottom - c.top, 100 + extra);
        EXPECT_EQ(ButtonBounds(0).top - c.top, extra) << "half the spare pixel";
        EXPECT_EQ(ButtonBounds(1).top - ButtonBounds(0).top, 33);
        EXPECT_EQ(ButtonBounds(2).bottom - ButtonBounds(2).top, 33);
        EXPECT_EQ(group->Buttons(1)->Top(), ButtonBounds(1).top) << "the windows stand where the layout says";
    }
}

TEST_F(RadioGroupTest, ArrowKeysMoveWithinColumnsAndRows)
{
    struct Case {
        int items, columns, from;
        WORD key;
        int to;
    };
    const Case cases[] = {
        {5, 4, 4, VK_DOWN, 4}, {5, 4, 4, VK_UP, 4},    {5, 4, 4, VK_LEFT, 2},
        {7, 3, 6, VK_RIGHT, 6}, {7, 3, 3, VK_RIGHT, 6}, {7, 3, 1, VK_DOWN, 2},
    };
    for (const Case& c : cases) {
        group->Properties()->Items()->Clear();
        group->Properties()->SetColumns(c.columns);
        Items(c.items);
        group->Buttons(c.from)->SetFocus();
        Pump();
        ASSERT_EQ(Focused(), c.from);
        Key(c.key);
        EXPECT_EQ(Focused(), c.to) << c.items << "/" << c.columns << " from " << c.from << " key " << c.key;
    }
}

TEST_F(RadioGroupTest, ButtonsSelectOnFocusUnlessReadOnly)
{
    Items(3);
    group->Buttons(1)->SetFocus();
    Pump();
    EXPECT_EQ(group->ItemIndex(), 1) << "focus selects";
    group->Buttons(2)->SetFocus();
    Pump();
    EXPECT_EQ(group->ItemIndex(), 2);
    other->SetFocus();
    group->SetItemIndex(1);
    group->Properties()->SetReadOnly(true);
    Pump();
    const RECT b = ButtonBounds(2);
    ClickAt(group, b.left + 5, (b.top + b.bottom) / 2);
    EXPECT_EQ(group->ItemIndex(), 1) << "read-only refuses a click";
    EXPECT_FALSE(group->RadioButton(2)->Checked());
    group->Buttons(0)->SetFocus();
    Pump();
    Key(VK_SPACE);
    Key(VK_BACK);
    EXPECT_EQ(group->ItemIndex(), 1) << "and Space and Backspace";
}

TEST_F(RadioGroupTest, ActivatingWithoutASelectionFocusesAndSelectsTheFirst)
{
    Items(3);
    TcxCustomEditData* data = nullptr;
    group->Activate(data);
    Pump();
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(group->ItemIndex(), 0);
}

TEST_F(RadioGroupTest, TheMetricsTable)
{
    auto* style = group->Style();
    struct Case {
        bool inplace;
        bool canvas;
        TcxEditMetrics m;
    };
    const SIZE glyph = cxRadioButtonGlyphSize();
    const Case cases[] = {
        {false, true, {3, -6, 7, 6, 6, -6, 0, glyph}},
        {true, true, {3, -5, 7, 1, 1, -2, 0, glyph}},
        {false, false, {0, 0, 0, 0, 6, -6, 0, SIZE{}}},
    };
    for (const Case& c : cases) {
        ObjectPtr<TcxCustomEditViewData> vd(group->Properties()->CreateViewData(style, c.inplace));
        TcxEditMetrics m;
        static_cast<TcxCustomRadioGroupViewData*>(vd.get())->GetEditMetrics(false, c.canvas ? group->Canvas() : nullptr,
                                                                           m);
        EXPECT_EQ(m.TextWidthCorrection, c.m.TextWidthCorrection) << c.inplace;
        EXPECT_EQ(m.AutoHeightWidthCorrection, c.m.AutoHeightWidthCorrection) << c.inplace;
        EXPECT_EQ(m.ButtonExtraWidth, c.m.ButtonExtraWidth) << c.inplace;
        EXPECT_EQ(m.ExtraTotalWidth, c.m.ExtraTotalWidth) << c.inplace;
        EXPECT_EQ(m.ColumnOffset, c.m.ColumnOffset) << c.inplace;
        EXPECT_EQ(m.ColumnWidthCorrection, c.m.ColumnWidthCorrection) << c.inplace;
        EXPECT_EQ(m.ColumnGap, 0);
        EXPECT_EQ(m.GlyphSize.cx, c.m.GlyphSize.cx) << c.inplace;
    }
}

TEST_F(RadioGroupTest, DrawTextFlagsFollowAutomaticHeightAndWordWrap)
{
    ObjectPtr<TcxCustomEditViewData> vd(group->Properties()->CreateViewData(group->Style(), false));
    auto* data = static_cast<TcxButtonGroupViewData*>(vd.get());
    EXPECT_EQ(data->GetDrawTextFlags(), 0x261);
    group->Properties()->SetWordWrap(true);
    EXPECT_EQ(data->GetDrawTextFlags(), 0x261) << "word wrap alone";
    data->PaintOptions.Include(epoAutoHeight);
    EXPECT_EQ(data->GetDrawTextFlags(), 0x6A1);
}

TEST_F(RadioGroupTest, ButtonsStandInTheirColumnsWithTheSelectedDot)
{
    group->Properties()->SetColumns(2);
    Items(4);
    group->SetItemIndex(3);
    Pump();
    const RECT client = group->ViewInfo()->ClientRect;
    const int columnWidth = (group->Width() - 6 - (group->Width() - (client.right - client.left))) / 2;
    EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left()) << "items 0 and 1 share column 0";
    EXPECT_EQ(group->Buttons(2)->Left() - group->Buttons(0)->Left(), columnWidth);
    EXPECT_EQ(group->Buttons(3)->Top(), group->Buttons(1)->Top());
    // The dot: the centre of the checked glyph differs from an unchecked one's.
    auto centre = [&](int i) {
        const RECT g = group->RadioButton(i)->GlyphRect();
        return Pixel(group->Buttons(i), (g.left + g.right) / 2, (g.top + g.bottom) / 2);
    };
    EXPECT_NE(centre(3), centre(2));
    EXPECT_EQ(centre(0), centre(2));
    EXPECT_EQ(group->RadioButton(3)->Caption(), "Item3");
}

TEST_F(RadioGroupTest, DragSettingsAndTheFocusMessageReachTheButtons)
{
    Items(3);
    group->SetDragKind(dkDock);
    group->SetDragMode(dmAutomatic);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(group->Buttons(i)->DragKind(), dkDock) << i;
        EXPECT_EQ(group->Buttons(i)->DragMode(), dmAutomatic) << i;
    }
    group->SetDragMode(dmManual);
    SendMessageA(group->Handle(), CM_FOCUSRADIOBUTTON, 2, 0);
    Pump();
    EXPECT_EQ(Focused(), 2);
    SendMessageA(group->Handle(), CM_FOCUSRADIOBUTTON, 7, 0);
    Pump();
    EXPECT_EQ(Focused(), 2) << "no such item";
}

TEST_F(RadioGroupTest, TheAcceleratorEntersAtTheFirstButton)
{
    group->SetCaption("&Pick");
    Items(3);
    other->SetFocus();
    Pump();
    KeyWith(VK_MENU, 'P');
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(group->ItemIndex(), 0) << "entering a button selects it";
}
