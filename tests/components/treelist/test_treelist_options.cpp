// The option objects of the editing control and of the tree list: every
// default and bit number, the clamps, what each Assign copies, the keys
// the control takes, incremental search ending, and the question box.
#include "tests/components/treelist/treelist_fixture.h"

#include <functional>

using namespace hostlib;
using namespace treelisttest;

namespace {

using OptionsTest = ControlTest;

template <class T>
ObjectPtr<T> Make(TTestControl* control)
{
    return ObjectPtr<T>(CreateObject<T>(static_cast<TPersistent*>(control)));
}

TEST_F(OptionsTest, EveryDefaultAndBitNumber)
{
    MakeControl(1, 1);
    auto view = Make<TcxTreeListOptionsView>(control);
    auto customizing = Make<TcxTreeListOptionsCustomizing>(control);
    auto selection = Make<TcxTreeListOptionsSelection>(control);
    auto behavior = Make<TcxTreeListOptionsBehavior>(control);
    auto data = Make<TcxTreeListOptionsData>(control);
    struct Case {
        const char* name;
        std::function<bool()> read;
        std::function<bool()> bit;
        bool expected;
    };
    auto v = view.get();
    auto c = customizing.get();
    auto s = selection.get();
    auto b = behavior.get();
    auto d = data.get();
    const auto view_ = [v](const char* n, bool (TcxTreeListOptionsView::*get)() const, int bit, bool def) {
        return Case{n, [v, get] { return (v->*get)(); }, [v, bit] { return v->GetState(bit); }, def};
    };
    const auto cust = [c](const char* n, bool (TcxTreeListOptionsCustomizing::*get)() const, int bit, bool def) {
        return Case{n, [c, get] { return (c->*get)(); }, [c, bit] { return c->GetState(bit); }, def};
    };
    const auto sel = [s](const char* n, bool (TcxTreeListOptionsSelection::*get)() const, int bit, bool def) {
        return Case{n, [s, get] { return (s->*get)(); }, [s, bit] { return s->GetSelectionState(bit); }, def};
    };
    const auto beh = [b](const char* n, bool (TcxTreeListOptionsBehavior::*get)() const, int bit, bool def) {
        return Case{n, [b, get] { return (b->*get)(); }, [b, bit] { return b->GetState(bit); }, def};
    };
    using V = TcxTreeListOptionsView;
    using C = TcxTreeListOptionsCustomizing;
    using S = TcxTreeListOptionsSelection;
    using B = TcxTreeListOptionsBehavior;
    const Case cases[] = {
        view_("Bands", &V::Bands, 0, false), view_("ColumnAutoWidth", &V::ColumnAutoWidth, 1, false),
        view_("Footer", &V::Footer, 2, false), view_("Headers", &V::Headers, 3, true),
        view_("Indicator", &V::Indicator, 4, false), view_("ShowRoot", &V::ShowRoot, 5, true),
        view_("Buttons", &V::Buttons, 7, true), view_("SimpleCustomizeBox", &V::SimpleCustomizeBox, 8, false),
        view_("UseNodeColorForIndent", &V::UseNodeColorForIndent, 9, true),
        view_("HeaderSingleLine", &V::HeaderSingleLine, 10, false),
        view_("ExtPaintStyle", &V::ExtPaintStyle, 12, false),
        view_("UseImageIndexForSelected", &V::UseImageIndexForSelected, 13, true),
        cust("BandHorzSizing", &C::BandHorzSizing, 1, true), cust("BandMoving", &C::BandMoving, 2, true),
        cust("BandVertSizing", &C::BandVertSizing, 3, true), cust("ColumnCustomizing", &C::ColumnCustomizing, 4, true),
        cust("ColumnHorzSizing", &C::ColumnHorzSizing, 5, true), cust("ColumnMoving", &C::ColumnMoving, 6, true),
        cust("BandCustomizing", &C::BandCustomizing, 7, true), cust("ColumnVertSizing", &C::ColumnVertSizing, 8, true),
        cust("DynamicSizing", &C::DynamicSizing, 9, false), cust("RowSizing", &C::RowSizing, 10, false),
        sel("CellSelect", &S::CellSelect, 0, true), sel("HideFocusRect", &S::HideFocusRect, 1, true),
        sel("HideSelection", &S::HideSelection, 2, false), sel("InvertSelect", &S::InvertSelect, 3, true),
        sel("MultiSelect", &S::MultiSelect, 4, false),
        beh("DragCollapse", &B::DragCollapse, 0, true), beh("DragExpand", &B::DragExpand, 1, true),
        beh("ExpandOnIncSearch", &B::ExpandOnIncSearch, 2, false), beh("ShowHourGlass", &B::ShowHourGlass, 3, true),
        beh("AutoDragCopy", &B::AutoDragCopy, 4, false), beh("ConfirmDelete", &B::ConfirmDelete, 6, true),
        beh("MultiSort", &B::MultiSort, 7, true), beh("Sorting", &B::Sorting, 8, true),
        beh("AutomateLeftMostIndent", &B::AutomateLeftMostIndent, 9, true), beh("HotTrack", &B::HotTrack, 10, false),
        beh("DragFocusing", &B::DragFocusing, 15, false), beh("ExpandOnDblClick", &B::ExpandOnDblClick, 16, true),
        {"Deleting", [d] { return d->Deleting(); }, [d] { return d->GetState(0); }, true},
        {"Inserting", [d] { return d->Inserting(); }, [d] { return d->GetState(1); }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(k.read(), k.expected);
        EXPECT_EQ(k.bit(), k.expected);
    }
    EXPECT_EQ(customizing->StateValue(), 0xFFFFFFFFu & ~(1u << 9) & ~(1u << 10));
    EXPECT_EQ(view->BandLineCount(), 1);
    EXPECT_EQ(view->CategorizedColumn(), nullptr);
    EXPECT_EQ(view->DropArrowColor(), 0x0000FF00);
    EXPECT_EQ(view->FixedSeparatorColor(), clDefault);
    EXPECT_EQ(view->FixedSeparatorWidth(), 2);
    EXPECT_EQ(view->GridLineColor(), clDefault);
    EXPECT_EQ(view->GridLines(), tlglNone);
    EXPECT_EQ(view->IndicatorWidth(), 15);
    EXPECT_EQ(view->PaintStyle(), tlpsStandard);
    EXPECT_EQ(view->TreeLineColor(), clDefault);
    EXPECT_EQ(view->TreeLineStyle(), tllsDot);
    EXPECT_FALSE(view->CellAutoHeight());
    EXPECT_FALSE(view->CellEndEllipsis());
    EXPECT_EQ(view->CellTextMaxLineCount(), 0);
    EXPECT_EQ(view->ScrollBars(), ssBoth);
    EXPECT_EQ(view->ShowEditButtons(), ecsbNever);
    EXPECT_FALSE(behavior->AlwaysShowEditor());
    EXPECT_FALSE(behavior->CellHints());
    EXPECT_FALSE(behavior->DragDropText());
    EXPECT_FALSE(behavior->FocusCellOnCycle());
    EXPECT_FALSE(behavior->GoToNextCellOnEnter());
    EXPECT_FALSE(behavior->GoToNextCellOnTab());
    EXPECT_TRUE(behavior->ImmediateEditor());
    EXPECT_FALSE(behavior->IncSearch());
    EXPECT_EQ(behavior->IncSearchItem(), nullptr);
    EXPECT_EQ(behavior->ChangeDelay(), 0);
    EXPECT_EQ(behavior->WaitForExpandNodeTime(), 500);
    EXPECT_TRUE(data->CancelOnExit());
    EXPECT_TRUE(data->Editing());
    EXPECT_FALSE(data->AnsiSort());
    EXPECT_FALSE(data->CaseInsensitive());
    EXPECT_FALSE(data->SummaryNullIgnore());
    auto preview = Make<TcxTreeListPreview>(control);
    EXPECT_TRUE(preview->AutoHeight());
    EXPECT_EQ(preview->LeftIndent(), 3);
    EXPECT_EQ(preview->MaxLineCount(), 3);
    EXPECT_EQ(preview->RightIndent(), 5);
    EXPECT_EQ(preview->Place(), tlppBottom);
    EXPECT_FALSE(preview->Visible());
    EXPECT_FALSE(preview->Active());
}

TEST_F(OptionsTest, ClampsAndTheirRepaints)
{
    MakeControl(1, 1);
    auto view = Make<TcxTreeListOptionsView>(control);
    auto behavior = Make<TcxTreeListOptionsBehavior>(control);
    auto preview = Make<TcxTreeListPreview>(control);
    const int before = Calculations();
    view->SetBandLineCount(0);
    EXPECT_EQ(view->BandLineCount(), 1);
    view->SetBandLineCount(3);
    view->SetIndicatorWidth(-5);
    EXPECT_EQ(view->IndicatorWidth(), 0);
    view->SetGridLineColor(clRed);
    EXPECT_EQ(Calculations(), before) << "without Bands, Indicator or grid lines nothing repaints";
    view->SetFixedSeparatorWidth(-1);
    EXPECT_EQ(view->FixedSeparatorWidth(), 0);
    EXPECT_EQ(Calculations(), before + 1);
    behavior->SetChangeDelay(-1);
    EXPECT_EQ(behavior->ChangeDelay(), 0);
    preview->SetLeftIndent(-1);
    preview->SetMaxLineCount(-7);
    preview->SetRightIndent(-2);
    EXPECT_EQ(preview->LeftIndent(), 0);
    EXPECT_EQ(preview->MaxLineCount(), 0);
    EXPECT_EQ(preview->RightIndent(), 0);
    EXPECT_EQ(Calculations(), before + 1) << "an inactive preview repaints nothing";
    preview->SetVisible(true);
    EXPECT_EQ(Calculations(), before + 2) << "Visible always repaints";
}

TEST_F(OptionsTest, RestoreDefaultsLeavesOnlyHeaders)
{
    MakeControl(1, 1);
    auto view = Make<TcxTreeListOptionsView>(control);
    view->SetIndicatorWidth(40);
    view->SetBands(true);
    view->RestoreDefaults();
    EXPECT_EQ(view->StateValue(), 1u << tlov::Headers);
    EXPECT_EQ(view->IndicatorWidth(), 15);
    EXPECT_FALSE(view->ShowRoot());
}

TEST_F(OptionsTest, EachAssignCopiesExactlyWhatItLists)
{
    MakeControl(2, 1);
    auto source = Make<TcxTreeListOptionsBehavior>(control);
    auto target = Make<TcxTreeListOptionsBehavior>(control);
    source->SetAlwaysShowEditor(true);
    source->SetCellHints(true);
    source->SetFocusCellOnCycle(true);
    source->SetFocusFirstCellOnNewRecord(true);
    source->SetGoToNextCellOnEnter(true);
    source->SetGoToNextCellOnTab(true);
    source->SetImmediateEditor(false);
    source->SetDragDropText(true);
    source->SetIncSearch(true);
    source->SetIncSearchItem(items[1].get());
    source->SetChangeDelay(300);
    source->SetHotTrack(true);
    source->SetWaitForExpandNodeTime(100);
    target->Assign(source.get());
    EXPECT_TRUE(target->AlwaysShowEditor());
    EXPECT_TRUE(target->CellHints());
    EXPECT_TRUE(target->FocusCellOnCycle());
    EXPECT_TRUE(target->FocusFirstCellOnNewRecord());
    EXPECT_TRUE(target->GoToNextCellOnEnter());
    EXPECT_TRUE(target->GoToNextCellOnTab());
    EXPECT_FALSE(target->ImmediateEditor());
    EXPECT_TRUE(target->HotTrack());
    EXPECT_EQ(target->WaitForExpandNodeTime(), 100);
    EXPECT_FALSE(target->DragDropText()) << "not copied";
    EXPECT_FALSE(target->IncSearch());
    EXPECT_EQ(target->IncSearchItem(), nullptr);
    EXPECT_EQ(target->ChangeDelay(), 0);

    auto dataSource = Make<TcxTreeListOptionsData>(control);
    dataSource->SetAnsiSort(true);
    dataSource->SetSummaryNullIgnore(true);
    dataSource->SetInserting(true);
    dataSource->SetCancelOnExit(false);
    dataSource->SetEditing(false);
    dataSource->SetAnsiSort(false);
    auto dataTarget = Make<TcxTreeListOptionsData>(control);
    control->DataController()->Summary().SetOptions(TcxSummaryOptions{soSelectedRecords});
    dataTarget->Assign(dataSource.get());
    EXPECT_TRUE(dataTarget->Inserting());
    EXPECT_FALSE(dataTarget->CancelOnExit());
    EXPECT_FALSE(dataTarget->Editing());
    EXPECT_EQ(control->DataController()->Summary().Options(), TcxSummaryOptions{})
        << "both share the control's summary, which the source reported empty";

    auto viewSource = Make<TcxTreeListOptionsView>(control);
    viewSource->SetCategorizedColumn(items[1].get());
    viewSource->SetGridLines(tlglBoth);
    viewSource->SetCellAutoHeight(true);
    viewSource->SetBandLineCount(4);
    auto viewTarget = Make<TcxTreeListOptionsView>(control);
    viewTarget->Assign(viewSource.get());
    EXPECT_EQ(viewTarget->CategorizedColumn(), items[1].get()) << "the column at the same index";
    EXPECT_EQ(viewTarget->GridLines(), tlglBoth);
    EXPECT_EQ(viewTarget->HorzIncrement(), 1);
    EXPECT_EQ(viewTarget->VertIncrement(), 1);
    EXPECT_TRUE(viewTarget->CellAutoHeight());
    EXPECT_EQ(viewTarget->BandLineCount(), 4);

    auto customizingSource = Make<TcxTreeListOptionsCustomizing>(control);
    customizingSource->SetColumnMoving(false);
    auto customizingTarget = Make<TcxTreeListOptionsCustomizing>(control);
    customizingTarget->Assign(customizingSource.get());
    EXPECT_FALSE(customizingTarget->ColumnMoving());

    auto previewSource = Make<TcxTreeListPreview>(control);
    previewSource->SetColumn(items[0].get());
    previewSource->SetPlace(tlppTop);
    auto previewTarget = Make<TcxTreeListPreview>(control);
    previewTarget->Assign(previewSource.get());
    EXPECT_EQ(previewTarget->Column(), items[0].get());
    EXPECT_EQ(previewTarget->Place(), tlppTop);
}

TEST_F(OptionsTest, SummaryNullIgnoreAndSortOptionsAreTheDataControllers)
{
    MakeControl(1, 1);
    TcxControlDataController* data = control->DataController();
    auto options = Make<TcxTreeListOptionsData>(control);
    data->Summary().SetOptions(TcxSummaryOptions{soSelectedRecords});
    options->SetSummaryNullIgnore(true);
    EXPECT_EQ(data->Summary().Options(), TcxSummaryOptions{soNullIgnore});
    data->Summary().SetOptions(TcxSummaryOptions{soNullIgnore, soSelectedRecords});
    options->SetSummaryNullIgnore(false);
    EXPECT_EQ(data->Summary().Options(), TcxSummaryOptions{}) << "the other option goes too";
    options->SetCaseInsensitive(true);
    EXPECT_TRUE(data->Options().Contains(dcoCaseInsensitive));
    options->SetAnsiSort(true);
    options->SetCaseInsensitive(false);
    EXPECT_TRUE(data->Options().Contains(dcoAnsiSort));
    EXPECT_FALSE(data->Options().Contains(dcoCaseInsensitive));
}

TEST_F(OptionsTest, GoToNextCellOnTabAddsAndRemovesTab)
{
    MakeControl(1, 1);
    EXPECT_EQ(control->Keys(), (TcxKeys{kArrows, kChars}));
    control->OptionsBehavior()->SetGoToNextCellOnTab(true);
    EXPECT_TRUE(control->Keys().Contains(kTab));
    control->OptionsBehavior()->SetGoToNextCellOnTab(false);
    EXPECT_EQ(control->Keys(), (TcxKeys{kArrows, kChars}));
}

TEST_F(OptionsTest, EndingIncrementalSearchNeedsNoLayoutChange)
{
    MakeControl(2, 3);
    TcxControlOptionsBehavior* behavior = control->OptionsBehavior();
    behavior->SetIncSearch(true);
    control->Controller()->SetFocusedRecordItem(0, items[0].get());
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"IncSearch off", [&] { behavior->SetIncSearch(false); }},
        {"another item", [&] { behavior->SetIncSearchItem(items[1].get()); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        behavior->SetIncSearch(true);
        behavior->SetIncSearchItem(nullptr);
        char key = 'r';
        control->Controller()->KeyPress(key);
        ASSERT_TRUE(control->Controller()->GetIsIncSearching());
        EXPECT_EQ(control->Controller()->GetIncSearchingText(), "r");
        const int before = Calculations();
        end();
        EXPECT_FALSE(control->Controller()->GetIsIncSearching());
        EXPECT_EQ(Calculations(), before);
    }
}

TEST_F(OptionsTest, TheQuestionBoxIsTrueOnlyForOk)
{
    MakeControl(0, 0);
    for (int answer : {IDOK, IDCANCEL, IDYES, IDNO}) {
        UINT flags = 0;
        Application->SetMessageBoxResponder([&](const std::string&, const std::string&, UINT f) {
            flags = f;
            return answer;
        });
        EXPECT_EQ(cxConfirmMessageBox("Delete record(s)?", "Confirm"), answer == IDOK) << answer;
        EXPECT_EQ(flags, 33u);
    }
}

TEST_F(OptionsTest, OptionsAssignOnlyFromTheirOwnClass)
{
    MakeControl(0, 0);
    auto view = Make<TcxControlOptionsView>(control);
    auto data = Make<TcxControlOptionsData>(control);
    EXPECT_THROW(view->Assign(data.get()), Exception);
    EXPECT_THROW(cxAbstractError(), EAbstractError);
    int v = 12;
    EXPECT_FALSE(cxRange(v, 0, 10));
    EXPECT_EQ(v, 10);
    v = -3;
    EXPECT_FALSE(cxRange(v, 0, 10));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(cxRange(v, 0, 10));
    EXPECT_EQ(cxSetValue(true, 1, 2), 1);
    EXPECT_EQ(cxSetValue(false, 1, 2), 2);
}

} // namespace
