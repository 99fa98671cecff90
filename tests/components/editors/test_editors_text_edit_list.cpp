// The list of visual lookup data on the headless display: rows one text
// high, items drawn two pixels in, the item under the mouse highlighted and
// reported to the lookup data without changing the value, the wheel
// scrolling by lines, and the row count following the items.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxTextEdit.h"

using namespace hostlib;
using namespace visualtest;
using quelvo::gfx::test::Distinct;

namespace {

// Its rows show the texts of the lookup items, as the lists of the
// drop-down kinds do.
class ItemsListBox : public TcxCustomEditListBox {
public:
    static TClass StaticClass() { return DefineClass<ItemsListBox, TcxCustomEditListBox>("TestItemsListBox"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string GetItem(int index) override { return "item" + std::to_string(index); }
};

class VisualLookupData : public TcxCustomTextEditLookupData {
public:
    static TClass StaticClass()
    {
        return DefineClass<VisualLookupData, TcxCustomTextEditLookupData>("TestVisualLookupData");
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetListBoxClass() override { return ItemsListBox::StaticClass(); }
    using TcxCustomTextEditLookupData::List;
};

class ListProperties : public TcxTextEditProperties {
public:
    static TClass StaticClass() { return DefineClass<ListProperties, TcxTextEditProperties>("TestListProperties"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetLookupDataClass() override { return VisualLookupData::StaticClass(); }
    TcxEditEditingStyle GetEditingStyle() override { return esEditList; }
};

class ListEdit : public TcxTextEdit {
public:
    static TClass StaticClass() { return DefineClass<ListEdit, TcxTextEdit>("TestListEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override { return ListProperties::StaticClass(); }
    VisualLookupData* Data() const { return static_cast<VisualLookupData*>(LookupData()); }
};

struct EditListTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        edit = Add<ListEdit>(form, "Edit", 10, 10, 150, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        for (int i = 0; i < 20; ++i)
            edit->Properties()->LookupItems()->Add("item" + std::to_string(i));
        edit->Data()->Initialize(form);
        list = edit->Data()->List();
        edit->Data()->PositionVisualArea(RECT{10, 50, 160, 50 + 5 * 16});
        Pump();
    }

    ListEdit* edit = nullptr;
    TcxCustomEditListBox* list = nullptr;
};

TEST_F(EditListTest, RowsAreOneTextHighAndFollowTheItems)
{
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(edit->Data()->GetActiveControl(), list);
    EXPECT_EQ(list->Items()->Count(), 20);
    EXPECT_EQ(list->GetItemHeight(), 16) << "the height of \"Wg\"";
    EXPECT_EQ(list->GetHeight(5), 80);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 3, 0), 16) << "every row is measured alike";
    edit->Properties()->LookupItems()->Delete(0);
    edit->Data()->ListChanged();
    EXPECT_EQ(list->Items()->Count(), 19);
    list->SetItemCount(22);
    EXPECT_EQ(list->Items()->Count(), 22);
    EXPECT_TRUE(edit->Data()->IsMouseOverList(list->ClientToScreen(POINT{3, 3})));
    EXPECT_FALSE(edit->Data()->IsMouseOverList(list->ClientToScreen(POINT{3, 200})));
}

TEST_F(EditListTest, ItemsAreDrawnTwoPixelsIn)
{
    const std::uint32_t ink = Rgb(Distinct(COLOR_WINDOWTEXT));
    int first = -1;
    for (int y = 0; y < 16 && first < 0; ++y)
        for (int x = 0; x < list->Width(); ++x)
            if (Screen().ClientPixel(list->Handle(), x, y) == ink) {
                first = first < 0 ? x : std::min(first, x);
            }
    EXPECT_GE(first, 2);
    EXPECT_LT(first, 2 + 8);
}

TEST_F(EditListTest, TheItemUnderTheMouseIsHighlightedNotChosen)
{
    edit->SetItemIndex(0);
    Screen().MoveMouse(list->ClientToScreen(POINT{20, 2 * 16 + 5}));
    Pump();
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(edit->Data()->ItemIndex(), 2) << "the lookup data hears of the highlight";
    EXPECT_EQ(edit->ItemIndex(), 0) << "the value stays while the list shows";
    edit->Data()->SelectItem();
    EXPECT_EQ(edit->ItemIndex(), 2) << "choosing the highlighted item";
    EXPECT_EQ(edit->Text(), "item2");
}

TEST_F(EditListTest, TheWheelScrollsByTheSystemsLines)
{
    UINT lines = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_GT(lines, 0u);
    const POINT at = list->ClientToScreen(POINT{20, 20});
    SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(at.x, at.y));
    EXPECT_EQ(list->TopIndex(), static_cast<int>(lines));
    SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    EXPECT_EQ(list->TopIndex(), 0);
}

} // namespace
