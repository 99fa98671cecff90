// The lookup editor over a grid of records: the list column, incremental
// search with tail completion and filtering, stepping with the list closed,
// text to key, the popup's preferred size, the change lock and the keys
// that belong to the popup.
#include "tests/components/editor-catalogue/lookup_fixture.h"

#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace lookuptest;

namespace {

const std::vector<std::string> kNames{"zeta", "ABCdef", "abcxyz", "Beta", "gamma"};

TEST_F(LookupTest, DisplayColumnIsClampedIntoTheColumns)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    TTestLookupProperties* p = edit->Props();
    p->Grid()->Columns()->Add();
    p->Grid()->Columns()->Add();
    struct Case {
        int set;
        int stored;
    };
    for (const Case c : {Case{1, 1}, Case{7, 2}, Case{-5, 0}, Case{2, 2}}) {
        p->SetDisplayColumnIndex(c.set);
        EXPECT_EQ(p->GetDisplayColumnIndex(), c.stored) << "set " << c.set;
    }
    // Columns removed under a stored index: the last column is the list.
    p->Grid()->Columns()->Delete(2);
    p->Grid()->Columns()->Delete(1);
    EXPECT_EQ(p->GetListIndex(), 0);
    p->Grid()->Columns()->Delete(0);
    EXPECT_EQ(p->GetListIndex(), -1) << "no columns: no list";
    std::string text = "a", tail;
    EXPECT_FALSE(edit->LookupData()->Locate(text, tail, false));
    EXPECT_TRUE(edit->LookupData()->IsEmpty());
}

TEST_F(LookupTest, TypedLettersTakeTheRecordsCaseAndCompleteItsTail)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    struct Case {
        std::string typed, text, tail;
        int key;
    };
    for (const Case& c : {Case{"a", "A", "BCdef", 1}, Case{"ab", "AB", "Cdef", 1}, Case{"abc", "ABC", "def", 1},
                          Case{"abcx", "abcx", "yz", 2}, Case{"b", "B", "eta", 3}}) {
        std::string text = c.typed, tail;
        ASSERT_TRUE(edit->LookupData()->Locate(text, tail, false)) << c.typed;
        EXPECT_EQ(text, c.text) << c.typed;
        EXPECT_EQ(tail, c.tail) << c.typed;
        EXPECT_EQ(edit->LookupData()->GetCurrentKey().AsInteger(), c.key) << c.typed;
    }
    std::string text = "abq", tail;
    EXPECT_FALSE(edit->LookupData()->Locate(text, tail, false));
    EXPECT_FALSE(edit->LookupData()->IsKeySelected());
}

TEST_F(LookupTest, TypingIntoTheEditorShowsTheCompletedTailSelected)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    edit->SetFocus();
    Pump();
    Screen().TypeText("abc");
    Pump();
    EXPECT_EQ(edit->Text(), "ABCdef");
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->SelLength(), 3);
}

TEST_F(LookupTest, AFilterMissKeepsTheRowsUnlessTheTextIsFree)
{
    for (const TcxEditDropDownListStyle style : {lsEditFixedList, lsFixedList, lsEditList}) {
        TTestLookupEdit* edit = NewEdit(kNames);
        edit->Props()->SetDropDownListStyle(style);
        TcxCustomDataController* controller = edit->Props()->Grid()->DataController();
        edit->LookupData()->DropDown();
        std::string text = "ab", tail;
        ASSERT_TRUE(edit->LookupData()->Locate(text, tail, false));
        EXPECT_EQ(controller->GetRowCount(), 2) << "filtered to the two ab- records";
        text = "abq";
        EXPECT_FALSE(edit->LookupData()->Locate(text, tail, false));
        EXPECT_FALSE(edit->LookupData()->IsKeySelected());
        EXPECT_EQ(controller->GetRowCount(), style == lsEditList ? 0 : 2) << "style " << style;
        edit->LookupData()->CloseUp();
        EXPECT_EQ(controller->GetRowCount(), 5) << "closing drops the filter";
        edit->Free();
    }
}

TEST_F(LookupTest, GoStepsThroughTheRecordsAndWrapsOnlyWhenCircular)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    TcxCustomLookupEditLookupData* data = edit->LookupData();
    struct Case {
        int from;
        TcxEditLookupDataGoDirection direction;
        bool circular;
        int to;
    };
    for (const Case c : {Case{4, egdNext, true, 0}, Case{4, egdNext, false, 4}, Case{0, egdPrev, true, 4},
                         Case{0, egdPrev, false, 0}, Case{2, egdNext, false, 3}, Case{3, egdBegin, false, 0},
                         Case{1, egdEnd, false, 4}, Case{0, egdPageDown, false, 4}}) {
        data->SetCurrentKey(Variant(c.from));
        data->Go(c.direction, c.circular);
        EXPECT_EQ(data->GetCurrentKey().AsInteger(), c.to) << "from " << c.from << " dir " << c.direction;
        EXPECT_TRUE(data->IsKeySelected());
    }
}

TEST_F(LookupTest, TextToKeyKeepsTheCurrentKeyForItsOwnText)
{
    TTestLookupEdit* edit = NewEdit({"same", "other", "same"});
    TcxCustomLookupEditLookupData* data = edit->LookupData();
    data->SetCurrentKey(Variant(2));
    Variant key;
    edit->PrepareEditValue(Variant(std::string("same")), key, true);
    EXPECT_EQ(key.AsInteger(), 2) << "record 0 has the same text, the key stays";
    edit->PrepareEditValue(Variant(std::string("OTHER")), key, true);
    EXPECT_EQ(key.AsInteger(), 1);
    edit->PrepareEditValue(Variant(std::string("nobody")), key, true);
    EXPECT_TRUE(key.IsNull()) << "an unknown text gives the null key";
}

TEST_F(LookupTest, EditValueShowsTheListTextOfItsRecord)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    edit->SetEditValue(Variant(3));
    EXPECT_EQ(edit->Text(), "Beta");
    edit->SetEditValue(Variant::Null());
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(LookupTest, PreferredSizeAsksForTheRowsThatExistAtLeastOne)
{
    TTestLookupEdit* edit = NewEdit({});
    TcxLookupGrid* grid = edit->Props()->Grid();
    const int oneRow = grid->GetPopupHeight(1);
    EXPECT_EQ(edit->LookupData()->GetVisualAreaPreferredSize(500).cy, oneRow);
    edit->Props()->Fill(kNames);
    EXPECT_EQ(edit->LookupData()->GetVisualAreaPreferredSize(500).cy, grid->GetPopupHeight(5));
    edit->Props()->SetDropDownRows(3);
    EXPECT_EQ(edit->LookupData()->GetVisualAreaPreferredSize(500).cy, grid->GetPopupHeight(3));
}

TEST_F(LookupTest, GridDataChangesRefreshEditorsUnlessLocked)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    edit->SetEditValue(Variant(3));
    TcxCustomDataController* controller = edit->Props()->Grid()->DataController();
    edit->LookupData()->DisableChanging();
    controller->SetValue(3, 0, Variant(std::string("Bravo")));
    EXPECT_EQ(edit->Text(), "Beta") << "locked: no refresh";
    edit->LookupData()->EnableChanging();
    controller->SetValue(3, 0, Variant(std::string("Bravissimo")));
    EXPECT_EQ(edit->Text(), "Bravissimo");
    edit->Props()->LockDataChanged();
    controller->SetValue(3, 0, Variant(std::string("Brio")));
    EXPECT_EQ(edit->Text(), "Bravissimo") << "postponed while the notification is locked";
    edit->Props()->UnlockDataChanged();
}

TEST_F(LookupTest, PopupKeys)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    struct Case {
        WORD key;
        TShiftState shift;
        bool popup;
    };
    for (const Case& c : {Case{VK_PRIOR, {}, true}, Case{VK_NEXT, {}, true}, Case{VK_UP, {}, true},
                          Case{VK_DOWN, {}, true}, Case{VK_DOWN, {ssAlt}, false}, Case{VK_HOME, {}, false},
                          Case{VK_HOME, {ssCtrl}, true}, Case{VK_END, {ssCtrl}, true}, Case{VK_END, {}, false},
                          Case{VK_LEFT, {}, false}, Case{VK_RETURN, {}, false}})
        EXPECT_EQ(edit->Props()->IsPopupKey(c.key, c.shift), c.popup) << "key " << c.key;
}

TEST_F(LookupTest, ClosedEditorStepsWithArrowKeys)
{
    TTestLookupEdit* edit = NewEdit(kNames);
    edit->SetEditValue(Variant(1));
    edit->SetFocus();
    Pump();
    Key(VK_DOWN);
    Pump();
    EXPECT_EQ(edit->Text(), "abcxyz");
    Key(VK_UP);
    Key(VK_UP);
    Pump();
    EXPECT_EQ(edit->Text(), "zeta");
}

}  // namespace
