// The editing-control base with a small control of text cells on the
// headless display: update brackets and the layout change, notifications
// by info class, items and value types, the choice of the editor kind,
// values, cells, styles and what the window shows.
#include "tests/components/treelist/treelist_fixture.h"

#include <functional>

using namespace hostlib;
using namespace treelisttest;

namespace {

using InplaceContainerTest = ControlTest;

// ---- brackets and layout -------------------------------------------------------------

TEST_F(InplaceContainerTest, NestedBracketsCalculateOnceWhenTheOutermostCloses)
{
    MakeControl(2, 2);
    const int before = Calculations();
    control->log.clear();
    control->BeginUpdate();
    control->BeginUpdate();
    control->LayoutChanged();
    EXPECT_TRUE(control->ViewInfo()->GetState(cxvisCalculationNeeded)) << "inside a bracket it only marks";
    control->EndUpdate();
    EXPECT_TRUE(control->log.empty()) << "the inner close calls no BeforeUpdate";
    EXPECT_EQ(Calculations(), before);
    control->EndUpdate();
    EXPECT_EQ(control->log, std::vector<std::string>{"before update"});
    EXPECT_EQ(Calculations(), before + 1);
    EXPECT_EQ(control->LockCount(), 0);
    EXPECT_EQ(control->DataController()->GetLockCount(), 0);
}

TEST_F(InplaceContainerTest, CancelUpdateLeavesTheLayoutUncalculated)
{
    MakeControl(1, 1);
    const int before = Calculations();
    control->BeginUpdate();
    control->LayoutChanged();
    control->CancelUpdate();
    EXPECT_EQ(Calculations(), before);
    EXPECT_TRUE(control->ViewInfo()->GetState(cxvisCalculationNeeded));
    control->LayoutChanged();
    EXPECT_EQ(Calculations(), before + 1);
}

// A close without an open bracket used to drive the counter below zero and
// lock the control for good.
TEST_F(InplaceContainerTest, AnUnmatchedCloseIsIgnored)
{
    MakeControl(1, 1);
    const std::function<void()> closes[] = {[this] { control->EndUpdate(); }, [this] { control->CancelUpdate(); }};
    for (const auto& close : closes) {
        const int before = Calculations();
        close();
        EXPECT_EQ(control->LockCount(), 0);
        EXPECT_EQ(control->DataController()->GetLockCount(), 0);
        EXPECT_FALSE(control->IsLocked());
        control->LayoutChanged();
        EXPECT_EQ(Calculations(), before + 1) << "the control still lays out";
    }
}

TEST_F(InplaceContainerTest, ALayoutChangeInsideTheCalculationDoesNotRecurse)
{
    MakeControl(1, 1);
    int inner = 0;
    control->TestViewInfo()->onCalculate = [&] {
        if (inner++ < 3) control->LayoutChanged();
    };
    const int before = Calculations();
    control->LayoutChanged();
    EXPECT_EQ(Calculations(), before + 1);
    EXPECT_EQ(control->LayoutChangeDepth(), 0);
    EXPECT_EQ(control->LockCount(), 0);
    control->TestViewInfo()->onCalculate = nullptr;
}

TEST_F(InplaceContainerTest, NothingIsCalculatedBeforeTheWindowExists)
{
    MakeControl(2, 2, false);
    EXPECT_EQ(Calculations(), 0);
    EXPECT_TRUE(control->IsLocked());
    control->SetParent(form);
    control->HandleNeeded();
    EXPECT_EQ(Calculations(), 1) << "the first calculation comes with InitControl";
    control->Loaded();
    EXPECT_EQ(Calculations(), 2) << "and again with Loaded";
}

TEST_F(InplaceContainerTest, AFailingCalculationStillRestoresLockDepthAndMarks)
{
    MakeControl(1, 1);
    control->throwInLayout = true;
    EXPECT_THROW(control->LayoutChanged(), Exception);
    EXPECT_EQ(control->LockCount(), 0);
    EXPECT_EQ(control->DataController()->GetLockCount(), 0);
    EXPECT_EQ(control->LayoutChangeDepth(), 0);
    EXPECT_FALSE(control->ViewInfo()->GetState(cxvisCalculationNeeded));
    control->throwInLayout = false;
    const int before = Calculations();
    control->LayoutChanged();
    EXPECT_EQ(Calculations(), before + 1);
}

// ---- notifications --------------------------------------------------------------------

TEST_F(InplaceContainerTest, EachInfoClassReachesItsHandler)
{
    MakeControl(1, 2);
    struct Case {
        const char* name;
        std::function<TcxUpdateControlInfo*()> make;
        std::vector<std::string> log;
    };
    auto* focused = new TcxFocusedRecordChangedInfo();
    focused->PrevFocusedRowIndex = 0;
    focused->FocusedRowIndex = 1;
    const Case cases[] = {
        {"data", [] { return new TcxDataChangedInfo(); }, {"refresh focused record"}},
        {"layout", [] { return new TcxLayoutChangedInfo(); }, {"refresh focused record"}},
        {"focus", [focused] { return focused; }, {"focused record 0 -> 1"}},
        {"selection", [] { return new TcxSelectionChangedInfo(0, 1); }, {"selection"}},
        {"record", [] { return new TcxUpdateRecordInfo(1); }, {"update record 1"}},
        {"bookmark", [] { return new TcxBookmarkChangedInfo(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control->log.clear();
        ObjectPtr<TcxUpdateControlInfo> info(c.make());
        control->DataController()->UpdateControl(info.get());
        EXPECT_EQ(control->log, c.log);
    }
}

// ---- items and value types ---------------------------------------------------------------

TEST_F(InplaceContainerTest, AddingAndRemovingItemsRenumbersThemAndTheFields)
{
    MakeControl(3, 1);
    TcxCustomInplaceEditContainer* second = items[1].get();
    TcxCustomInplaceEditContainer* third = items[2].get();
    TcxControlDataController* data = control->DataController();
    items.erase(items.begin());
    ASSERT_EQ(control->ItemCount(), 2);
    EXPECT_EQ(second->ItemIndex(), 0);
    EXPECT_EQ(third->ItemIndex(), 1);
    EXPECT_EQ(data->GetItemCount(), 2);
    EXPECT_EQ(data->GetItem(0), second);
    EXPECT_EQ(data->GetItemID(third), 1);
    EXPECT_EQ(data->GetItemID(control), -1) << "not an item";
}

TEST_F(InplaceContainerTest, AValueTypeSetBeforeJoiningReachesTheField)
{
    MakeControl(0, 0);
    ObjectPtr<TTestItem> item(CreateObject<TTestItem>(nullptr));
    auto* binding = static_cast<TcxItemDataBinding*>(item->DataBinding());
    binding->SetValueType("Integer");
    item->SetEditingControl(control);
    EXPECT_EQ(control->DataController()->GetItemValueTypeClass(item->ItemIndex()), TcxIntegerValueType::Class());
    struct Case {
        const char* text;
        TcxValueTypeClass expected;
        const char* valueType;
    };
    const Case cases[] = {
        {"string", TcxStringValueType::Class(), "String"},
        {"Str", TcxStringValueType::Class(), "String"},
        {"integer", TcxIntegerValueType::Class(), "Integer"},
        {"", TcxIntegerValueType::Class(), "Integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        binding->SetValueType(c.text);
        EXPECT_EQ(binding->ValueTypeClass(), c.expected);
        EXPECT_EQ(binding->ValueType(), c.valueType);
        EXPECT_EQ(control->DataController()->GetItemValueTypeClass(item->ItemIndex()), c.expected);
        EXPECT_EQ(binding->IsValueTypeStored(), c.expected != TcxStringValueType::Class());
    }
    item->SetEditingControl(nullptr);
}

// Counts what reaches the data controller.
class TCountingBinding : public TcxItemDataBinding {
public:
    static TClass StaticClass() { return DefineClass<TCountingBinding, TcxItemDataBinding>("TCountingBinding"); }
    TClass ClassType() const override { return StaticClass(); }
    void ValueTypeClassChanged() override
    {
        ++changes;
        TcxItemDataBinding::ValueTypeClassChanged();
    }
    int changes = 0;
};

class TCountingItem : public TcxCustomInplaceEditContainer {
public:
    static TClass StaticClass() { return DefineClass<TCountingItem, TcxCustomInplaceEditContainer>("TCountingItem"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetDataBindingClass() override { return TCountingBinding::StaticClass(); }
};

TEST_F(InplaceContainerTest, SettingTheEffectiveValueTypeAgainDoesNotNotify)
{
    ObjectPtr<TCountingItem> item(CreateObject<TCountingItem>(nullptr));
    auto* binding = static_cast<TCountingBinding*>(item->DataBinding());
    binding->SetValueTypeClass(TcxStringValueType::Class());
    binding->SetValueType("String");
    EXPECT_EQ(binding->changes, 0);
    binding->SetValueType("Float");
    binding->SetValueType("FLOAT");
    EXPECT_EQ(binding->changes, 1);
}

TEST_F(InplaceContainerTest, TheRepositoryKeepsTheFirstDescriptionAndTheOrder)
{
    TcxValueTypeClassRepository* repository = cxieValueTypeClassRepository();
    const char* names[] = {"Boolean", "String", "Integer", "Currency", "Float", "DateTime", "Variant"};
    ASSERT_EQ(repository->GetCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(repository->GetDescription(i), names[i]);
    cxieRegisterValueTypeClass("Text", TcxStringValueType::Class());
    EXPECT_EQ(repository->FindByClassType(TcxStringValueType::Class()), "String");
    EXPECT_EQ(repository->FindByDescription("Text"), nullptr);
    EXPECT_EQ(repository->FindByDescription("datetime"), TcxDateTimeValueType::Class());
    EXPECT_EQ(repository->FindByClassType(TcxWordValueType::Class()), "") << "not registered";
}

// ---- editor choice -----------------------------------------------------------------------

TEST_F(InplaceContainerTest, TheRepositoryItemWinsOverTheOwnPropertiesOverTheDefault)
{
    MakeControl(1, 1);
    TcxCustomInplaceEditContainer* item = items[0].get();
    TcxCustomEditProperties* fallback = kind->item->Properties();
    EXPECT_EQ(item->PropertiesValue(), fallback) << "the value type's editor";
    item->SetPropertiesClassName("TTestOtherProperties");
    ASSERT_NE(item->Properties(), nullptr);
    EXPECT_EQ(item->PropertiesValue(), item->Properties());
    ObjectPtr<TTestRepositoryItem> repository(CreateObject<TTestRepositoryItem>(nullptr));
    item->SetRepositoryItem(repository.get());
    EXPECT_EQ(item->PropertiesValue(), repository->Properties());
    repository.reset();
    EXPECT_EQ(item->RepositoryItem(), nullptr) << "a destroyed repository item lets go";
    EXPECT_EQ(item->PropertiesValue(), item->Properties());
    item->SetPropertiesClassName("");
    EXPECT_EQ(item->Properties(), nullptr);
    EXPECT_EQ(item->PropertiesValue(), fallback);
    item->SetPropertiesClassName("TNoSuchProperties");
    EXPECT_EQ(item->Properties(), nullptr) << "an unregistered name";
    EXPECT_EQ(item->PropertiesValue(), fallback);
}

TEST_F(InplaceContainerTest, AssigningPropertiesCopiesIntoTheOwnObject)
{
    MakeControl(1, 1);
    TcxCustomInplaceEditContainer* item = items[0].get();
    ObjectPtr<TTestTextProperties> source(CreateObject<TTestTextProperties>(static_cast<TPersistent*>(nullptr)));
    source->SetAutoSelect(false);
    item->SetProperties(source.get());
    EXPECT_EQ(item->Properties(), nullptr) << "nothing without own properties";
    item->SetPropertiesClassName("TTestTextProperties");
    TcxCustomEditProperties* own = item->Properties();
    item->SetProperties(source.get());
    EXPECT_EQ(item->Properties(), own);
    EXPECT_FALSE(own->AutoSelect());
}

TEST_F(InplaceContainerTest, PerRecordPropertiesFallBackWhenTheHandlerAnswersNone)
{
    MakeControl(1, 2);
    TcxCustomInplaceEditContainer* item = items[0].get();
    ObjectPtr<TTestOtherProperties> other(CreateObject<TTestOtherProperties>(static_cast<TPersistent*>(nullptr)));
    item->OnGetEditProperties = TcxGetEditPropertiesEvent::FromFunction(
        [&](TcxCustomInplaceEditContainer*, void* data, TcxCustomEditProperties*& p) {
            p = reinterpret_cast<std::intptr_t>(data) == 1 ? other.get() : nullptr;
        });
    control->LayoutChanged();
    EXPECT_EQ(control->TestViewInfo()->Cell(0, 0)->Properties, item->PropertiesValue());
    EXPECT_EQ(control->TestViewInfo()->Cell(1, 0)->Properties, other.get());
    EXPECT_TRUE(control->TestViewInfo()->Cell(1, 0)->ViewDataOwned());
    item->OnGetEditProperties.Clear();
    control->LayoutChanged();
}

// ---- values ------------------------------------------------------------------------------

TEST_F(InplaceContainerTest, EditValuesNeedAnItemBeingEdited)
{
    MakeControl(1, 2);
    TcxCustomInplaceEditContainer* item = items[0].get();
    EXPECT_TRUE(item->EditValue().IsEmpty()) << "Unassigned while not edited";
    item->SetEditValueProperty(Variant("changed"));
    EXPECT_EQ(item->GetValue(0).AsString(), "r0c0");
    EXPECT_EQ(item->GetValue(1).AsString(), "r1c0");
    item->SetValue(1, Variant("new"));
    EXPECT_EQ(control->DataController()->GetValue(1, 0).AsString(), "new");
}

TEST_F(InplaceContainerTest, CanEditIsFalseForEachOfItsConditions)
{
    MakeControl(1, 1);
    TcxCustomInplaceEditContainer* item = items[0].get();
    auto* options = static_cast<TTestControl*>(control)->OptionsData();
    EXPECT_TRUE(item->CanEdit());
    const std::pair<const char*, std::function<void(bool)>> conditions[] = {
        {"control data options", [&](bool on) { options->SetEditing(on); }},
        {"item options", [&](bool on) { item->Options()->SetEditing(on); }},
        {"focusing", [&](bool on) { item->Options()->SetFocusing(on); }},
        {"records", [&](bool on) { SetRecords(on ? 1 : 0); }},
    };
    for (const auto& [name, set] : conditions) {
        SCOPED_TRACE(name);
        set(false);
        EXPECT_FALSE(item->CanEdit());
        set(true);
        EXPECT_TRUE(item->CanEdit());
    }
    ObjectPtr<TCountingItem> lone(CreateObject<TCountingItem>(nullptr));
    EXPECT_FALSE(lone->CanEdit()) << "no control";
    EXPECT_EQ(lone->ValueCount(), 0);
}

TEST_F(InplaceContainerTest, ACellOutsideTheRecordsShowsNull)
{
    MakeControl(1, 2);
    TTestCell* cell = control->TestViewInfo()->Cell(1, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetDisplayValue().AsString(), "r1c0");
    for (int record : {-1, 2, 100}) {
        cell->record = record;
        EXPECT_TRUE(cell->GetDisplayValue().IsNull()) << record;
    }
    cell->record = 1;
    kind->item->Properties()->BeginUpdate();
    static_cast<TTestTextProperties*>(kind->item->Properties())->source = evsText;
    EXPECT_EQ(VarType(cell->GetDisplayValue()), varString) << "the display text for a text source";
    static_cast<TTestTextProperties*>(kind->item->Properties())->source = evsValue;
    kind->item->Properties()->EndUpdate(false);
}

// ---- cells and styles ----------------------------------------------------------------------

TEST_F(InplaceContainerTest, CellRectanglesWithAndWithoutBorders)
{
    MakeControl(1, 1);
    struct Case {
        TcxBorders borders;
        RECT display, available, content, edit;
    };
    const Case cases[] = {
        {{}, {0, 0, 80, 20}, {0, 0, 200, 100}, {0, 0, 80, 20}, {1, 1, 79, 19}},
        {cxBordersAll, {0, 0, 80, 20}, {0, 0, 200, 100}, {1, 1, 79, 19}, {2, 2, 78, 18}},
        {{}, {0, 0, 80, 20}, {0, 0, 40, 100}, {0, 0, 80, 20}, {1, 1, 39, 19}},
        {TcxBorders{bLeft}, {0, 0, 80, 20}, {0, 0, 200, 100}, {1, 0, 80, 20}, {2, 1, 79, 19}},
        {cxBordersAll, {0, 0, 80, 20}, {100, 0, 200, 100}, {1, 1, 79, 19}, {0, 0, 0, 0}},
    };
    TTestCell* cell = control->TestViewInfo()->Cell(0, 0);
    for (const Case& c : cases) {
        cell->Borders = c.borders;
        cell->CheckClipping(c.display, c.available);
        EXPECT_TRUE(EqualRect(&cell->ContentRect, &c.content));
        EXPECT_TRUE(EqualRect(&cell->EditRect, &c.edit))
            << cell->EditRect.left << "," << cell->EditRect.top << "," << cell->EditRect.right;
    }
    EXPECT_FALSE(cell->Visible) << "a cell outside the available area";
    EXPECT_FALSE(cxPtInViewInfoItem(cell, POINT{10, 10}));
}

TEST_F(InplaceContainerTest, ButtonTransparencyFollowsTheItemThenTheControl)
{
    MakeControl(1, 2);
    TcxCustomInplaceEditContainer* item = items[0].get();
    control->Controller()->SetFocusedRecordItem(0, item);
    TTestCell* focused = control->TestViewInfo()->Cell(0, 0);
    TTestCell* other = control->TestViewInfo()->Cell(1, 0);
    struct Case {
        TcxEditItemShowEditButtons itemValue;
        TcxEditingControlEditShowButtons controlValue;
        TcxEditButtonTransparency focusedResult, otherResult;
    };
    const Case cases[] = {
        {eisbAlways, ecsbNever, ebtNone, ebtNone},
        {eisbNever, ecsbAlways, ebtHideInactive, ebtHideInactive},
        {eisbDefault, ecsbAlways, ebtNone, ebtNone},
        {eisbDefault, ecsbFocused, ebtNone, ebtHideInactive},
        {eisbDefault, ecsbNever, ebtHideInactive, ebtHideInactive},
    };
    for (const Case& c : cases) {
        item->Options()->SetShowEditButtons(c.itemValue);
        control->OptionsView()->SetShowEditButtons(c.controlValue);
        focused = control->TestViewInfo()->Cell(0, 0);
        other = control->TestViewInfo()->Cell(1, 0);
        EXPECT_EQ(focused->GetButtonTransparency(), c.focusedResult);
        EXPECT_EQ(other->GetButtonTransparency(), c.otherResult);
    }
}

TEST_F(InplaceContainerTest, AnAutoHeightCellThatGrowsAsksForALayoutChange)
{
    MakeControl(1, 1);
    control->OptionsView()->SetCellAutoHeight(true);
    TTestCell* cell = control->TestViewInfo()->Cell(0, 0);
    cell->Refresh(true);
    EXPECT_FALSE(cell->Refresh(true)) << "the same height";
    const int oneLine = cell->Height();
    EXPECT_GE(oneLine, kLineHeight + 2);
    control->DataController()->SetValue(0, 0, Variant("one\ntwo"));
    Pump();
    cell = control->TestViewInfo()->Cell(0, 0);
    cell->Refresh(true);
    control->DataController()->SetValue(0, 0, Variant("one\ntwo\nthree"));
    ValidateRect(control->Handle(), nullptr);
    EXPECT_TRUE(cell->Refresh(true));
    EXPECT_EQ(cell->Height(), oneLine + 2 * kLineHeight);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(control->Handle(), &update, FALSE)) << "not repainted by itself";
}

TEST_F(InplaceContainerTest, StylesResolveFirstStyleFirstThenTheDefaults)
{
    MakeControl(1, 1);
    ObjectPtr<TcxStyle> first(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
    ObjectPtr<TcxStyle> second(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
    ObjectPtr<TFont> font(CreateObject<TFont>());
    font->SetHeight(-30);
    first->SetColor(clRed);
    second->SetColor(clBlue);
    second->SetFont(font.get());
    TcxViewParams params;
    cxStylesToViewParams(control->Styles(), ecs_Content, nullptr, {nullptr, first.get(), second.get()}, params);
    TcxViewParams defaults;
    control->Styles()->GetDefaultViewParams(ecs_Content, nullptr, defaults);
    EXPECT_EQ(params.Color, clRed);
    EXPECT_EQ(params.Font, second->Font());
    EXPECT_EQ(params.TextColor, defaults.TextColor);
    EXPECT_EQ(params.Bitmap, nullptr);
    cxStylesToViewParams(control->Styles(), ecs_Selection, nullptr, {first.get()}, params);
    EXPECT_EQ(params.Font, control->Font()) << "the control's font by default";
    EXPECT_EQ(params.TextColor, control->LookAndFeelPainter()->DefaultSelectionTextColor());
}

TEST_F(InplaceContainerTest, SelectionParamsSwitchWithTheFocus)
{
    MakeControl(1, 1, false);
    ObjectPtr<TcxStyle> selection(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
    ObjectPtr<TcxStyle> inactive(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
    selection->SetColor(clRed);
    inactive->SetColor(clBlue);
    control->Styles()->SetSelection(selection.get());
    control->Styles()->SetInactive(inactive.get());
    EXPECT_EQ(control->Styles()->GetSelectionParams().Color, clBlue);
    control->Controller()->SetFocused(true);
    EXPECT_EQ(control->Styles()->GetSelectionParams().Color, clRed);
    control->Controller()->ControlFocusChanged();
    EXPECT_EQ(control->ViewInfo()->SelectionParams().Color, clRed);
    control->Controller()->SetFocused(false);
    control->Controller()->ControlFocusChanged();
    EXPECT_EQ(control->ViewInfo()->SelectionParams().Color, clBlue);
    control->Styles()->SetSelection(nullptr);
    control->Styles()->SetInactive(nullptr);
}

TEST_F(InplaceContainerTest, SelectedColoursAreTheInvertedColours)
{
    MakeControl(1, 1);
    TTestCell* cell = control->TestViewInfo()->Cell(0, 0);
    const std::pair<TColor, TColor> cases[] = {{clBlack, 0xFFFFFF}, {clWhite, 0}, {0x123456, 0xEDCBA9}};
    for (const auto& [color, inverted] : cases) {
        cell->ViewParams.TextColor = color;
        cell->ViewParams.Color = color;
        EXPECT_EQ(cell->GetSelectedTextColor(), inverted);
        EXPECT_EQ(cell->GetSelectedBKColor(), inverted);
    }
}

// ---- input ----------------------------------------------------------------------------------

TEST_F(InplaceContainerTest, AClickFocusesTheCellUnderIt)
{
    MakeControl(2, 3);
    control->OptionsBehavior()->SetImmediateEditor(false);
    struct Case {
        int x, y, record, item;
    };
    for (const Case& c : {Case{5, 5, 0, 0}, Case{kCellWidth + 5, 2 * kCellHeight + 5, 2, 1}, Case{5, kCellHeight + 5, 1, 0}}) {
        ClickAt(control, c.x, c.y);
        Pump();
        EXPECT_EQ(control->DataController()->GetFocusedRecordIndex(), c.record);
        EXPECT_EQ(control->Controller()->FocusedItem(), items[c.item].get());
    }
    items[1]->Options()->SetFocusing(false);
    EXPECT_EQ(control->Controller()->FocusedItem(), items[0].get()) << "the focused item stays";
    items[0]->Options()->SetFocusing(false);
    EXPECT_EQ(control->Controller()->FocusedItem(), nullptr) << "a focused item that cannot be focused lets go";
    ClickAt(control, 5, 5);
    EXPECT_EQ(control->Controller()->FocusedItem(), nullptr);
}

// ---- what the window shows -----------------------------------------------------------------

struct PaintedControlTest : ControlTest {
    void SetUp() override
    {
        ControlTest::SetUp();
        background = MakeStyle(clMaroon);
        content = MakeStyle(clWhite);
        content->SetTextColor(clNavy);
    }
    void TearDown() override
    {
        if (control) {
            control->Styles()->SetBackground(nullptr);
            control->Styles()->SetContent(nullptr);
        }
        background.reset();
        content.reset();
        ControlTest::TearDown();
    }
    ObjectPtr<TcxStyle> MakeStyle(TColor color)
    {
        ObjectPtr<TcxStyle> style(CreateObject<TcxStyle>(static_cast<TComponent*>(nullptr)));
        style->SetColor(color);
        return style;
    }
    void Style()
    {
        control->Styles()->SetBackground(background.get());
        control->Styles()->SetContent(content.get());
        Pump();
    }
    std::vector<std::uint32_t> Snapshot()
    {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 240; ++x) pixels.push_back(Screen().ClientPixel(control->Handle(), x, y));
        return pixels;
    }
    int Count(const RECT& r, COLORREF color)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == color;
        return n;
    }
    ObjectPtr<TcxStyle> background, content;
};

TEST_F(PaintedControlTest, CellsShowTheirTextInTheContentColourOverTheBackground)
{
    MakeControl(2, 3);
    Style();
    const RECT client = control->GetClientBounds();
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << "record " << r << " item " << i);
            TTestCell* cell = control->TestViewInfo()->Cell(r, i);
            const RECT clip = cell->ClipRect;
            EXPECT_EQ(Pixel(clip.left, clip.top), RGB(255, 255, 255)) << "the content colour, not the background";
            EXPECT_EQ(Pixel(clip.right - 1, clip.bottom - 1), RGB(255, 255, 255));
            EXPECT_GT(Count(clip, RGB(0, 0, 128)), 0) << "the text in the content's text colour";
            EXPECT_EQ(Count(clip, RGB(128, 0, 0)), 0) << "no background fill over the cell";
        }
    EXPECT_EQ(Pixel(client.right - 3, client.bottom - 3), RGB(128, 0, 0)) << "the background outside the cells";
}

TEST_F(PaintedControlTest, BufferedAndUnbufferedPaintingShowTheSamePixels)
{
    MakeControl(2, 3);
    Style();
    control->Invalidate();
    Pump();
    const auto direct = Snapshot();
    control->SetBufferedPaint(true);
    control->Invalidate();
    Pump();
    EXPECT_EQ(Snapshot(), direct);
    control->SetBufferedPaint(false);
}

TEST_F(PaintedControlTest, ALayoutChangeRepaintsTheWholeClientOnce)
{
    MakeControl(2, 2);
    Style();
    control->SetBufferedPaint(true);
    Pump();
    control->LayoutChanged();
    EXPECT_TRUE(control->FullRepaintNeeded());
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(control->Handle(), &update, FALSE));
    const RECT client = control->ClientRect();
    EXPECT_TRUE(EqualRect(&update, &client));
    Pump();
    EXPECT_FALSE(control->FullRepaintNeeded()) << "the buffered painter used it once";
    content->SetColor(clYellow);
    Pump();
    EXPECT_EQ(Pixel(kCellWidth - 2, kCellHeight - 2), RGB(255, 255, 0)) << "a style change shows";
}

} // namespace
