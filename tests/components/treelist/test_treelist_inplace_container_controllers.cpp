// The controllers of the small editing control on the headless display:
// the live editor's activation, validation and posting.
#include "tests/components/treelist/treelist_fixture.h"

#include <functional>

#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

struct EditingTest : ControlTest {
    TTestControl* MakeFocusedControl(int itemCount, int recordCount)
    {
        MakeControl(itemCount, recordCount);
        control->OptionsBehavior()->SetImmediateEditor(false);
        control->SetFocus();
        Pump();
        control->Controller()->SetFocusedRecordItem(0, items[0].get());
        Pump();
        return control;
    }
    TcxEditingController* Editing() const { return control->Controller()->EditingController(); }
    TTestEdit* Edit() const { return static_cast<TTestEdit*>(Editing()->Edit()); }
    std::string Stored(int record, int item) const
    {
        return VarToStr(control->DataController()->GetValue(record, item));
    }
};

TEST_F(EditingTest, ATypedValueReachesTheDataWhenTheFocusLeavesTheItem)
{
    struct Case {
        const char* how;
        std::function<void(TcxCustomInplaceEditContainer*)> leave;
    };
    const Case cases[] = {
        {"unfocused", [](TcxCustomInplaceEditContainer* item) { item->SetFocused(false); }},
        {"focusing switched off", [](TcxCustomInplaceEditContainer* item) { item->Options()->SetFocusing(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        MakeFocusedControl(2, 2);
        Screen().TypeText("xy");
        Pump();
        ASSERT_NE(Edit(), nullptr);
        EXPECT_EQ(Edit()->text, "xy");
        EXPECT_EQ(Stored(0, 0), "r0c0") << "nothing is stored while the editor is open";
        c.leave(items[0].get());
        Pump();
        EXPECT_EQ(Stored(0, 0), "xy");
        EXPECT_EQ(Editing()->EditingItem(), nullptr);
        EXPECT_EQ(control->Controller()->FocusedItem(), nullptr);
        EXPECT_EQ(Edit(), nullptr);
        items.clear();
        form->Free();
        form = nullptr;
    }
}

TEST_F(EditingTest, APlainShowKeepsTheValueAndAKeyReplacesIt)
{
    MakeFocusedControl(2, 2);
    items[0]->SetEditing(true);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "r0c0");
    EXPECT_TRUE(Edit()->Visible());
    const RECT editRect = control->TestViewInfo()->Cell(0, 0)->EditRect;
    EXPECT_EQ(Edit()->Left(), editRect.left);
    EXPECT_EQ(Edit()->Top(), editRect.top);
    Key(VK_ESCAPE);
    EXPECT_EQ(Edit(), nullptr);

    Screen().TypeText("k");
    Pump();
    ASSERT_NE(Edit(), nullptr) << "a character typed on the focused cell opens its editor";
    EXPECT_EQ(Edit()->text, "k") << "the key reaches the editor and replaces the selected value";
    EXPECT_TRUE(Edit()->Focused());
    Key(VK_RETURN);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Stored(0, 0), "k");
}

TEST_F(EditingTest, AMouseActivationPassesTheClickToTheEditor)
{
    MakeFocusedControl(2, 2);
    const RECT editRect = control->TestViewInfo()->Cell(0, 0)->EditRect;
    Editing()->ShowEdit(items[0].get(), TShiftState{ssLeft}, editRect.left + 7, editRect.top + 4);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    ASSERT_EQ(Edit()->clicks.size(), 1u);
    EXPECT_EQ(Edit()->clicks[0].x, 7);
    EXPECT_EQ(Edit()->clicks[0].y, 4);
}

TEST_F(EditingTest, ARefusedValueKeepsTheEditorOpenWithItsText)
{
    MakeFocusedControl(2, 2);
    TTestTextProperties::rejected = "bad";
    Screen().TypeText("bad");
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_FALSE(control->Controller()->MayFocus()) << "a click may not take the focus from a refused value";

    EXPECT_THROW(Editing()->HideEdit(true), EAbort) << "refused without a message: silently";
    TTestTextProperties::rejectText = "not here";
    try {
        Editing()->HideEdit(true);
        ADD_FAILURE() << "a refused value with a message raises it";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "not here");
    }
    EXPECT_THROW(items[0]->SetFocused(false), Exception);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->Visible());
    EXPECT_EQ(Edit()->text, "bad");
    EXPECT_EQ(Editing()->EditingItem(), items[0].get());
    EXPECT_EQ(control->Controller()->FocusedItem(), items[0].get());
    EXPECT_EQ(Stored(0, 0), "r0c0");

    Editing()->HideEdit(false);
    EXPECT_EQ(Edit(), nullptr) << "discarding needs no valid value";
    EXPECT_EQ(Stored(0, 0), "r0c0");
    TTestTextProperties::rejected.clear();
    TTestTextProperties::rejectText.clear();
}

} // namespace
