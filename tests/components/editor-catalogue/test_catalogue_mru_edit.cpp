// The most-recently-used editor: the history it keeps from posts and from
// leaving, its cap, the ellipsis button, the history handed to another
// properties object, and the list as a user sees it.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxMRUEdit.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

using Texts = std::vector<std::string>;

struct MRUEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        cxMRUEditInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        edit = NewEdit("MRU", 10);
        other = NewEdit("Other", 60);
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxMRUEditFinalize();
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
    }
    TcxMRUEdit* NewEdit(const std::string& name, int top)
    {
        auto* e = Add<TcxMRUEdit>(form, name, 10, top, 200, 24);
        e->Style()->LookAndFeel()->SetKind(lfStandard);
        e->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        e->Style()->Font()->SetHeight(-16);
        Pump();
        return e;
    }
    Texts History() const
    {
        Texts texts;
        TStringList* items = edit->Properties()->LookupItems();
        for (int i = 0; i < items->Count(); ++i) texts.push_back(items->Get(i));
        return texts;
    }
    void SetHistory(const Texts& texts)
    {
        TStringList* items = edit->Properties()->LookupItems();
        items->Clear();
        for (const std::string& t : texts) items->Add(t);
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }
    // Types a text over everything and leaves the editor.
    void Enter(const std::string& text)
    {
        Focus(edit);
        edit->SelectAll();
        if (text.empty()) Screen().PressKey(VK_DELETE);
        else Screen().TypeText(text);
        Pump();
        Focus(other);
    }

    TcxMRUEdit* edit = nullptr;
    TcxMRUEdit* other = nullptr;
};

TEST_F(MRUEditTest, IsRegisteredWithAnEllipsisButtonAsItsGlyphButton)
{
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxMRUEditProperties"),
              TcxMRUEditProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxMRUEditProperties::StaticClass()), "MRUEdit");
    TcxMRUEditProperties* p = edit->Properties();
    ASSERT_EQ(p->Buttons()->Count(), 2);
    EXPECT_EQ(p->Buttons()->Items(0)->Kind(), bkDown);
    EXPECT_EQ(p->Buttons()->Items(1)->Kind(), bkEllipsis);
    EXPECT_TRUE(p->Buttons()->Items(1)->Default());
    EXPECT_EQ(p->GlyphButtonIndex(), 1);
    EXPECT_EQ(p->DropDownListStyle(), lsEditList);
    EXPECT_TRUE(p->MRUMode());
}

TEST_F(MRUEditTest, EnteredTextsGoFirstOnceAndTheListKeepsToItsCap)
{
    struct Case {
        Texts before;
        int max;
        const char* entered;
        Texts after;
    };
    const Case cases[] = {
        {{"A", "B", "C"}, 3, "D", {"D", "A", "B"}},
        {{"A", "B", "C"}, 3, "b", {"B", "A", "C"}},  // the item moves with its own case
        {{"A", "B", "C"}, 0, "D", {"D", "A", "B", "C"}},
        {{"A", "B", "C"}, 3, "A", {"A", "B", "C"}},
        {{"A"}, 3, "", {"A"}},  // an empty text never enters
        {{}, 2, "x y", {"x y"}},
    };
    for (const Case& c : cases) {
        edit->Properties()->SetMaxItemCount(0);
        SetHistory(c.before);
        edit->Properties()->SetMaxItemCount(c.max);
        edit->SetEditValue(Variant(std::string("start")));
        Enter(c.entered);
        EXPECT_EQ(History(), c.after) << c.entered;
    }
}

TEST_F(MRUEditTest, MaxItemCountCutsAtOnceAndNeverGoesBelowZero)
{
    SetHistory({"1", "2", "3", "4", "5"});
    edit->Properties()->SetMaxItemCount(2);
    EXPECT_EQ(History(), (Texts{"1", "2"}));
    edit->Properties()->SetMaxItemCount(-5);
    EXPECT_EQ(edit->Properties()->MaxItemCount(), 0);
    EXPECT_EQ(History(), (Texts{"1", "2"}));
}

TEST_F(MRUEditTest, LeavingAddsOnlyAChangedTextButAPostAlwaysAdds)
{
    SetHistory({"A", "B"});
    edit->SetEditValue(Variant(std::string("B")));
    Focus(edit);
    Focus(other);
    EXPECT_EQ(History(), (Texts{"A", "B"})) << "unchanged since entry";

    Focus(edit);
    edit->PostEditValue();  // a post adds even an unchanged text
    Pump();
    EXPECT_EQ(History(), (Texts{"B", "A"}));

    edit->SetEditValue(Variant(std::string("a")));
    Focus(edit);
    edit->SelectAll();
    Screen().TypeText("A");  // a case-only change is a change
    Pump();
    Focus(other);
    EXPECT_EQ(History(), (Texts{"A", "B"}));
}

TEST_F(MRUEditTest, AReadOnlyEditorAddsNothing)
{
    SetHistory({"A"});
    edit->Properties()->SetReadOnly(true);
    edit->SetEditValue(Variant(std::string("Z")));
    Focus(edit);
    edit->PostEditValue();
    Screen().TypeText("Y");
    Pump();
    Focus(other);
    EXPECT_EQ(History(), (Texts{"A"}));
}

TEST_F(MRUEditTest, OnlyTheEllipsisButtonRaisesOnButtonClick)
{
    int clicks = 0;
    edit->Properties()->OnButtonClick = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++clicks;
    });
    SetHistory({"A"});
    TcxCustomEditViewInfo* info = edit->ViewInfo();
    ASSERT_EQ(info->ButtonCount(), 2);
    auto centre = [&](int i) {
        const RECT r = info->ButtonsInfo[static_cast<size_t>(i)]->Bounds;
        return edit->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
    Screen().Click(centre(1));
    Pump();
    EXPECT_EQ(clicks, 1);
    Screen().Click(centre(0));
    Pump();
    EXPECT_EQ(clicks, 1) << "the drop-down button only opens";
    EXPECT_TRUE(edit->DroppedDown());
    edit->CloseUp(false);

    edit->Properties()->SetShowEllipsis(false);
    Pump();
    EXPECT_FALSE(edit->Properties()->Buttons()->Items(1)->Visible());
    EXPECT_EQ(edit->Properties()->GlyphButtonIndex(), 0);
    EXPECT_EQ(edit->Properties()->Buttons()->Items(0)->Kind(), bkDown);
    EXPECT_EQ(edit->ViewInfo()->ButtonCount(), 1);
}

TEST_F(MRUEditTest, UpdateHandsTheHistoryToOtherMRUProperties)
{
    SetHistory({"A", "B"});
    auto* target = CreateObject<TcxMRUEditProperties>(nullptr);
    edit->Properties()->Update(target);
    EXPECT_EQ(target->LookupItems()->Count(), 2);
    EXPECT_EQ(target->LookupItems()->Get(0), "A");
    target->Free();
}

TEST_F(MRUEditTest, TheOpenListShowsTheHistoryNewestFirst)
{
    SetHistory({"older"});
    Enter("newest");
    Focus(edit);
    Screen().PressKey(VK_F4);
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    TcxComboBoxListBox* list = edit->ComboLookupData()->ComboList();
    ASSERT_EQ(list->Items()->Count(), 2);
    EXPECT_EQ(list->GetItem(0), "newest");
    // Each row shows its text in the window-text colour of the fixed face:
    // the first row has dark pixels where the shorter second row ends.
    const POINT origin = list->ClientToScreen(POINT{0, 0});
    const int h = list->GetItemHeight(0);
    auto inkIn = [&](int row, int fromX, int toX) {
        int ink = 0;
        for (int y = row * h; y < (row + 1) * h; ++y)
            for (int x = fromX; x < toX; ++x)
                ink += Screen().ScreenPixel(origin.x + x, origin.y + y) == Rgb(GetSysColor(COLOR_HIGHLIGHTTEXT)) ||
                       Screen().ScreenPixel(origin.x + x, origin.y + y) == Rgb(GetSysColor(COLOR_WINDOWTEXT));
        return ink;
    };
    EXPECT_GT(inkIn(0, 2, 2 + 6 * 8), 0) << "\"newest\" is painted";
    EXPECT_GT(inkIn(1, 2, 2 + 5 * 8), 0) << "\"older\" is painted";
    EXPECT_EQ(inkIn(1, 2 + 5 * 8 + 2, list->Width() - 2), 0) << "nothing after the five letters of the second row";
    EXPECT_GT(inkIn(0, 2 + 5 * 8 + 2, 2 + 6 * 8), 0) << "the sixth letter of the first row";
}

}  // namespace
