// The lookup combo box over an in-memory list data set: key to text and
// back, the grid-mode cache of texts, pick mode, the null key of two key
// fields, list fields rebuilt without a change, the locks kept paired when
// grid mode is switched off, the record-number scroll bar, list columns
// aligned as their fields ask, a closed or freed list, and the kind found
// by its properties class.
#include "tests/components/editor-catalogue/lookup_fixture.h"

#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using namespace lookuptest;

namespace {

struct LookupComboBoxTest : LookupTest {
    void SetUp() override
    {
        LookupTest::SetUp();
        cxDBLookupComboBoxInitialize();
        list->FieldDefs().Add("id", ftInteger);
        list->FieldDefs().Add("group", ftInteger);
        list->FieldDefs().Add("name", ftString, 20);
        list->Open();
        const char* names[] = {"Normal", "High", "Low", "Idle", "Realtime"};
        for (int i = 0; i < 5; ++i)
            list->AppendRecord({Variant(10 + i), Variant(i % 2), Variant(std::string(names[i]))});
        source->SetDataSet(list.get());
    }
    void TearDown() override
    {
        if (form)
            form->Free();
        form = nullptr;
        cxDBLookupComboBoxFinalize();
        LookupTest::TearDown();
    }
    TcxLookupComboBox* NewCombo(const std::string& keys = "id")
    {
        auto* edit = CreateObject<TcxLookupComboBox>(form);
        edit->SetBounds(20, 20, 200, 21);
        edit->SetParent(form);
        TcxLookupComboBoxProperties* p = edit->Properties();
        p->SetListSource(source.get());
        p->SetKeyFieldNames(keys);
        p->SetListFieldNames("name");
        Pump();
        return edit;
    }

    ObjectPtr<TMemDataSet> list = MakeObject<TMemDataSet>(nullptr);
    ObjectPtr<TDataSource> source = MakeObject<TDataSource>(nullptr);
};

TEST_F(LookupComboBoxTest, KeyAndTextBothWays)
{
    TcxLookupComboBox* edit = NewCombo();
    struct Case {
        int key;
        std::string text;
    };
    for (const Case& c : {Case{12, "Low"}, Case{10, "Normal"}, Case{14, "Realtime"}}) {
        edit->SetEditValue(Variant(c.key));
        EXPECT_EQ(edit->Text(), c.text);
        Variant key;
        edit->SetEditValue(Variant::Null());
        edit->PrepareEditValue(Variant(c.text), key, true);
        EXPECT_EQ(key.AsInteger(), c.key) << c.text;
    }
    Variant key;
    edit->PrepareEditValue(Variant(std::string("nobody")), key, true);
    EXPECT_TRUE(key.IsNull());
    edit->SetEditValue(Variant(99));
    EXPECT_EQ(edit->Text(), "") << "an unknown key shows nothing";
}

TEST_F(LookupComboBoxTest, GridModeCachesTextsMissesIncludedUntilAChange)
{
    TcxLookupComboBox* edit = NewCombo();
    TcxLookupComboBoxProperties* p = edit->Properties();
    p->SetGridMode(true);
    ASSERT_TRUE(p->Grid()->DataController()->IsGridMode());
    const int before = p->LookupList()->Count();
    EXPECT_EQ(p->GetDisplayLookupText(Variant(13)), "Idle");
    EXPECT_EQ(p->GetDisplayLookupText(Variant(20)), "") << "unknown";
    EXPECT_EQ(p->LookupList()->Count(), before + 2) << "the miss is kept too";
    int index = 0;
    ASSERT_TRUE(p->LookupList()->Find(Variant(20), index));
    EXPECT_EQ(p->LookupList()->Items(index).DisplayText, "");
    EXPECT_EQ(p->GetDisplayLookupText(Variant(20)), "");
    EXPECT_EQ(p->LookupList()->Count(), before + 2) << "answered from the cache";
    list->AppendRecord({Variant(20), Variant(0), Variant(std::string("Late"))});
    EXPECT_FALSE(p->LookupList()->Find(Variant(20), index)) << "a change of the list empties the cache";
    EXPECT_EQ(p->GetDisplayLookupText(Variant(20)), "Late");
    p->SetDropDownRows(5);
    p->Changed();
    EXPECT_FALSE(p->LookupList()->Find(Variant(20), index));
}

TEST_F(LookupComboBoxTest, PickModeTakesTheTextAsValue)
{
    TcxLookupComboBox* edit = NewCombo("name");
    TcxLookupComboBoxProperties* p = edit->Properties();
    EXPECT_TRUE(p->IsPickMode());
    EXPECT_EQ(p->GetEditValueSource(false), evsText);
    Variant value;
    edit->PrepareEditValue(Variant(std::string("anything")), value, true);
    EXPECT_EQ(VarToStr(value), "anything");
    p->SetKeyFieldNames("id");
    EXPECT_FALSE(p->IsPickMode());
}

TEST_F(LookupComboBoxTest, TwoKeyFieldsGiveAnArrayKey)
{
    TcxLookupComboBox* edit = NewCombo("id;group");
    const Variant null = edit->Properties()->GetNullKey();
    ASSERT_TRUE(null.IsArray());
    EXPECT_EQ(VarArrayHighBound(null, 1) - VarArrayLowBound(null, 1) + 1, 2);
    EXPECT_TRUE(null[0].IsNull());
    EXPECT_TRUE(null[1].IsNull());
    Variant key;
    edit->PrepareEditValue(Variant(std::string("Idle")), key, true);
    ASSERT_TRUE(key.IsArray());
    EXPECT_EQ(key[0].AsInteger(), 13);
    EXPECT_EQ(key[1].AsInteger(), 1);
    edit->SetEditValue(key);
    EXPECT_EQ(edit->Text(), "Idle");
}

TEST_F(LookupComboBoxTest, SameListFieldNamesRebuildWithoutChanged)
{
    TcxLookupComboBox* edit = NewCombo();
    TcxLookupComboBoxProperties* p = edit->Properties();
    int changes = 0;
    p->ChangeNotification = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    TcxLookupDBGridColumn* before = p->ListColumns()->Items(0);
    p->SetListFieldNames("name");
    EXPECT_EQ(changes, 0);
    EXPECT_NE(p->ListColumns()->Items(0), before) << "rebuilt";
    p->SetListFieldNames("name;id");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p->ListFieldNames(), "name;id");
}

TEST_F(LookupComboBoxTest, LocksStayPairedWhenGridModeIsSwitchedOff)
{
    TcxLookupComboBox* edit = NewCombo();
    TcxLookupComboBoxProperties* p = edit->Properties();
    TcxDBDataController* controller = p->Grid()->DBDataController();
    p->SetGridMode(true);
    p->LockDataChanged();
    p->SetGridMode(false);
    p->LockDataChanged();
    p->UnlockDataChanged();
    p->UnlockDataChanged();
    EXPECT_FALSE(controller->DataChangedNotifyLocked());
    // The grid-mode notification is free again: a locate moves the rows.
    p->SetGridMode(true);
    p->LockDataChanged();
    p->UnlockDataChanged();
    EXPECT_EQ(p->GetDisplayLookupText(Variant(11)), "High");
}

TEST_F(LookupComboBoxTest, IncrementalFilteringOverTheListDataSet)
{
    TcxLookupComboBox* edit = NewCombo();
    TcxCustomDataController* controller = edit->Properties()->Grid()->DataController();
    edit->LookupData()->DropDown();
    std::string text = "l", tail;
    ASSERT_TRUE(edit->LookupData()->Locate(text, tail, false));
    EXPECT_EQ(text + tail, "Low");
    EXPECT_EQ(controller->GetRowCount(), 1);
    EXPECT_EQ(edit->LookupData()->GetCurrentKey().AsInteger(), 12);
    edit->LookupData()->CloseUp();
    EXPECT_EQ(controller->GetRowCount(), 5);
}

TEST_F(LookupComboBoxTest, AppendingToTheListWhileShownKeepsTheNewRecord)
{
    TcxLookupComboBox* edit = NewCombo();
    edit->Properties()->SetGridMode(true);
    edit->SetEditValue(Variant(11));
    list->AppendRecord({Variant(30), Variant(0), Variant(std::string("Late"))});
    EXPECT_EQ(list->RecordCount(), 6);
    EXPECT_EQ(edit->Properties()->GetDisplayLookupText(Variant(30)), "Late");
    EXPECT_EQ(edit->Text(), "High");
}

TEST_F(LookupComboBoxTest, InGridModeTheScrollBarFollowsTheRecordNumber)
{
    for (int i = 0; i < 25; ++i)
        list->AppendRecord({Variant(100 + i), Variant(0), Variant("More" + std::to_string(i))});
    TcxLookupComboBox* edit = NewCombo();
    TcxLookupComboBoxProperties* p = edit->Properties();
    p->SetGridMode(true);
    p->SetDropDownRows(6);
    list->First();
    edit->SetFocus();
    edit->DropDown();
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    TcxLookupDBGrid* grid = p->Grid();
    grid->UpdateScrollBars();
    const int page = grid->ViewInfo()->FullyVisibleRowCount;
    ASSERT_GT(page, 1);
    EXPECT_EQ(grid->VScrollBar()->Max(), 30 + page - 2);
    EXPECT_EQ(grid->VScrollBar()->PageSize(), page);
    EXPECT_EQ(grid->VScrollBar()->Position(), list->RecNo() - 1);
    struct Case {
        TScrollCode code;
        int position;
        int recNo;
    };
    const int start = list->RecNo();
    for (const Case c : {Case{scLineDown, 0, start + 1}, Case{scLineUp, 0, start}, Case{scPosition, 19, 20},
                         Case{scTrack, 3, 20}}) {
        int position = c.position;
        grid->Scroll(sbVertical, c.code, position);
        EXPECT_EQ(list->RecNo(), c.recNo) << int(c.code);
        EXPECT_EQ(position, list->RecNo() - 1);
    }
    int position = 0;
    grid->Scroll(sbVertical, scPageDown, position);
    EXPECT_GE(list->RecNo(), 20 + page - 1) << "a page on";
    EXPECT_EQ(position, list->RecNo() - 1);
    p->SetGridMode(false);
    grid->UpdateScrollBars();
    EXPECT_EQ(grid->VScrollBar()->Max(), grid->DataController()->GetRowCount() - 1) << "rows again";
}

TEST_F(LookupComboBoxTest, ListColumnsAlignTheirCellsAsTheirFieldsAsk)
{
    ObjectPtr<TMemDataSet> loads = MakeObject<TMemDataSet>(nullptr);
    loads->FieldDefs().Add("name", ftString, 10);
    loads->FieldDefs().Add("load", ftFloat);
    loads->Open();
    loads->FieldByName("name")->SetAlignment(taCenter);
    loads->AppendRecord({Variant(std::string("Normal")), Variant(1.5)});
    loads->AppendRecord({Variant(std::string("High")), Variant(12.25)});
    ObjectPtr<TDataSource> loadsSource = MakeObject<TDataSource>(nullptr);
    loadsSource->SetDataSet(loads.get());
    auto* edit = CreateObject<TcxLookupComboBox>(form);
    quelvo::sys::ScopeGuard freeEdit([edit] { edit->Free(); });
    edit->SetBounds(20, 20, 200, 21);
    UseFixedFace(edit->Style()->Font());
    edit->SetParent(form);
    TcxLookupComboBoxProperties* p = edit->Properties();
    p->SetListSource(loadsSource.get());
    p->SetKeyFieldNames("name");
    p->SetListFieldNames("name;load");
    p->ListColumns()->Items(0)->SetWidth(100);
    p->ListColumns()->Items(1)->SetWidth(100);
    edit->SetEditValue(Variant(std::string("High")));
    edit->SetFocus();
    edit->DropDown();
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    TcxLookupDBGrid* grid = p->Grid();

    // Blank pixels left and right of the ink in a cell of the first row,
    // which is not the focused one.
    const auto margins = [&](int column) {
        const RECT cell = grid->ViewInfo()->Rows.FindByRowIndex(0)->Items(column)->ContentBounds;
        int first = -1, last = -1;
        for (int x = cell.left; x < cell.right; ++x)
            for (int y = cell.top; y < cell.bottom; ++y)
                if (Pixel(grid, x, y) == Rgb(clWindowText)) {
                    first = first < 0 ? x - cell.left : first;
                    last = x - cell.left;
                }
        return std::pair{first, cell.right - cell.left - 1 - last};
    };
    const auto [loadLeft, loadRight] = margins(1);
    EXPECT_LT(loadRight, 6) << "a number field's cells are right-aligned";
    EXPECT_GT(loadLeft, 40);
    const auto [nameLeft, nameRight] = margins(0);
    EXPECT_GT(nameLeft, 10) << "centred as the name field asks";
    EXPECT_NEAR(nameLeft, nameRight, 4);
    auto* provider = As<TcxCustomDBEditDefaultValuesProvider>(p->ListColumns()->Items(1)->DefaultValuesProvider());
    EXPECT_EQ(provider ? provider->Field() : nullptr, loads->FieldByName("load")) << "a column's cells see their field";
    edit->CloseUp(false);
    Pump();
}

TEST_F(LookupComboBoxTest, ClosingTheListEmptiesTheOpenDropDownAndFreeingItsSourceIsHarmless)
{
    TcxLookupComboBox* edit = NewCombo();
    UseFixedFace(edit->Style()->Font());
    edit->SetEditValue(Variant(12));
    edit->SetFocus();
    edit->DropDown();
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    TcxLookupDBGrid* grid = edit->Properties()->Grid();
    ASSERT_GT(grid->ViewInfo()->VisibleRowCount, 0);
    const RECT firstRow = grid->ViewInfo()->Rows.FindByRowIndex(0)->Bounds;
    const auto ink = [&] {
        int count = 0;
        for (int y = firstRow.top; y < firstRow.bottom; ++y)
            for (int x = firstRow.left; x < firstRow.right; ++x)
                count += Pixel(grid, x, y) == Rgb(clWindowText);
        return count;
    };
    ASSERT_GT(ink(), 20) << "\"Normal\" is shown";
    list->Close();
    Pump();
    EXPECT_EQ(grid->DataController()->GetRowCount(), 0);
    EXPECT_EQ(grid->ViewInfo()->VisibleRowCount, 0);
    EXPECT_EQ(ink(), 0) << "no row is left on screen";
    list->Open();
    Pump();
    EXPECT_EQ(grid->DataController()->GetRowCount(), 5);
    EXPECT_GT(ink(), 20);
    edit->CloseUp(false);
    Pump();
    EXPECT_NO_THROW({
        source.reset();
        Pump();
    });
    EXPECT_EQ(grid->DataController()->GetRowCount(), 0);
}

TEST_F(LookupComboBoxTest, KindIsFoundByItsPropertiesClassName)
{
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxLookupComboBoxProperties"),
              TcxLookupComboBoxProperties::StaticClass());
    ObjectPtr<TcxLookupComboBoxProperties> p = MakeObject<TcxLookupComboBoxProperties>(nullptr);
    EXPECT_EQ(p->GetContainerClass(), TcxLookupComboBox::StaticClass());
    EXPECT_EQ(p->DropDownListStyle(), lsEditFixedList);
    EXPECT_TRUE(p->Grid()->IsPopupControl());
}

}  // namespace
