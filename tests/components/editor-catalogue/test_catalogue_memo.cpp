// The memo editor: its one-line display text, insertions under the
// maximum length, the line breaks a replacement brings, Enter and Tab
// stand-alone and in a cell, values set in code, the clipboard of a
// read-only memo, and its lines and scroll bar as a user sees them.
#include "tests/components/editors/editor_form_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxMemo.h"
#include "components/editors/cxEditInplaceList.h"
#include "platform/controls/ctldefs.h"
#include "platform/controls/winctl.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::gfx::test::Distinct;

namespace {

struct MemoTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerInitialize();  // the container's own scroll bars
        cxTextEditInitialize();
        cxMemoInitialize();
    }
    void TearDown() override
    {
        EditorFormTest::TearDown();
        cxMemoFinalize();
        cxTextEditFinalize();
        cxContainerFinalize();
    }
    TcxMemo* NewMemo(const std::string& text = {}, int height = 89)
    {
        ++count;
        auto* memo = Add<TcxMemo>(form, "Memo" + std::to_string(count), 10 + 190 * (count % 2), 10, 185, height);
        memo->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        memo->Style()->Font()->SetHeight(-16);
        memo->Style()->LookAndFeel()->SetKind(lfStandard);
        if (!text.empty()) memo->SetEditValue(Variant(text));
        Pump();
        return memo;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }
    HWND Inner(TcxCustomMemo* memo) { return memo->InnerMemo()->Handle(); }

    int count = 0;
};

TEST_F(MemoTest, StartsAt185By89ShowsTheFirstLineAsDisplayTextAndIsRegistered)
{
    TcxMemo* memo = NewMemo();
    EXPECT_EQ(memo->Width(), 185);
    EXPECT_FALSE(memo->Properties()->AutoSelect());
    EXPECT_EQ(memo->Properties()->TcxCustomEditProperties::Alignment()->Vert(), taTopJustify);
    TcxMemoProperties* p = memo->Properties();
    const std::string longLine(300, 'x');
    struct Case {
        std::string value, shown;
    } cases[] = {
        {"one\r\ntwo\r\nthree", "one"},
        {"one\ntwo", "one"},
        {longLine, std::string(250, 'x')},
        {longLine + "\r\nsecond", std::string(250, 'x')},
        {std::string(249, 'y') + "\r\n", std::string(249, 'y')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p->GetDisplayText(Variant(c.value)), c.shown);
        EXPECT_EQ(p->GetDisplayText(Variant(c.value), true), c.value) << "the full text is whole";
    }
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    TClass kind = kinds->FindByClassName("TcxMemoProperties");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kinds->GetDescriptionByClass(kind), "Memo");
    EXPECT_EQ(kinds->GetHintByClass(kind), "Represents an edit control that allows editing memo data");
}

TEST_F(MemoTest, APastedTextIsCutToTheRoomTheMaximumLengthLeaves)
{
    struct Case {
        const char* text;
        int selStart, selLength;
        const char* pasted;
        const char* result;
    } cases[] = {
        {"abcdefgh", 8, 0, "1234", "abcdefgh12"},
        {"abcdefgh", 0, 0, "1234", "12abcdefgh"},
        {"abcdefghij", 2, 3, "12345", "ab123fghij"},  // the selection's room counts
        {"abcdefghij", 10, 0, "1", "abcdefghij"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        TcxMemo* memo = NewMemo(c.text);
        memo->Properties()->SetMaxLength(10);
        Focus(memo);
        memo->SetSelection(c.selStart, c.selLength);
        quelvo::ctl::SetClipboardText(nullptr, c.pasted);
        SendMessageA(Inner(memo), WM_PASTE, 0, 0);
        Pump();
        EXPECT_EQ(memo->Text(), c.result);
        EXPECT_LE(static_cast<int>(memo->Text().size()), 10);
        memo->Free();
    }
}

TEST_F(MemoTest, AReplacementBringsItsLineBreaksAsTheMemosOwn)
{
    struct Case {
        const char* inserted;
        const char* text;
    } cases[] = {
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"\n", "\r\n"},
    };
    TcxMemo* memo = NewMemo();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        memo->SetEditValue(Variant(std::string()));
        SendMessageA(Inner(memo), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(c.inserted));
        EXPECT_EQ(memo->Text(), c.text);
        EXPECT_EQ(VarToStr(memo->EditValue()), c.text) << "the value follows";
    }
}

TEST_F(MemoTest, EnterAndTabAreTypedAsTheMemoWants)
{
    struct Case {
        bool wantReturns, wantTabs;
        int key;
        const char* text;
        bool keepsFocus;
    } cases[] = {
        {true, false, VK_RETURN, "ab\r\n", true},
        {false, false, VK_RETURN, "ab", true},
        {true, true, VK_TAB, "ab\t", true},
        {true, false, VK_TAB, "ab", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TcxMemo* memo = NewMemo("ab");
        TcxMemo* next = NewMemo();
        memo->Properties()->SetWantReturns(c.wantReturns);
        memo->Properties()->SetWantTabs(c.wantTabs);
        Focus(memo);
        memo->SetSelection(2, 0);
        Key(c.key);
        EXPECT_EQ(memo->Text(), c.text);
        EXPECT_EQ(memo->Focused(), c.keepsFocus);
        memo->Free();
        next->Free();
    }
}

TEST_F(MemoTest, InACellEnterAndCtrlEnterSplitBetweenALineBreakAndTheCell)
{
    for (const bool wantReturns : {true, false}) {
        SCOPED_TRACE(wantReturns);
        ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
        ObjectPtr<TcxMemoProperties> column = MakeObject<TcxMemoProperties>(nullptr);
        column->SetWantReturns(wantReturns);
        auto* memo = static_cast<TcxCustomMemo*>(list->GetEdit(column.get()));
        ASSERT_TRUE(memo->IsInplace());
        memo->SetParent(form);
        memo->SetBoundsRect(RECT{10, 150, 190, 200});
        std::vector<WORD> toCell;
        memo->OnAfterKeyDown = TcxEditKeyEvent::FromFunction([&](TObject*, WORD& key, TShiftState) {
            if (key != VK_CONTROL) toCell.push_back(key);
        });
        memo->SetEditValue(Variant(std::string("ab")));
        TcxCustomEditData* data = nullptr;
        memo->Activate(data);
        Pump();
        memo->SetSelection(2, 0);
        Key(VK_RETURN);
        KeyWith(VK_CONTROL, VK_RETURN);
        EXPECT_EQ(memo->Text(), "ab\r\n") << "one of the two is a line break";
        EXPECT_EQ(toCell, std::vector<WORD>{VK_RETURN}) << "the other is the cell's";
        delete data;
    }
}

TEST_F(MemoTest, AValueSetInCodeRaisesOnChangeButNotOnEditValueChanged)
{
    TcxMemo* memo = NewMemo();
    int changes = 0, valueChanges = 0;
    memo->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    memo->Properties()->OnEditValueChanged = TNotifyEvent::FromFunction([&](TObject*) { ++valueChanges; });
    memo->InnerEdit()->SetEditValue(Variant(std::string("one\r\ntwo")));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(valueChanges, 0);
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Lines()->Strings(1), "two");
    memo->InnerEdit()->SetEditValue(Variant(std::string("one\r\ntwo")));
    EXPECT_EQ(changes, 1) << "the same text changes nothing";
    // A new edit value tells of itself once, not again for its text.
    memo->SetEditValue(Variant(std::string("three")));
    EXPECT_EQ(valueChanges, 1);
    EXPECT_EQ(changes, 2);

    // The user's typing is an edit of the value.
    Focus(memo);
    memo->SetSelection(0, 0);
    Screen().TypeText("x");
    Pump();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(memo->Text(), "xthree");
}

TEST_F(MemoTest, CutOnAReadOnlyMemoCopiesAndTheCaretMovesByLines)
{
    TcxMemo* memo = NewMemo("first\r\nsecond\r\nthird");
    memo->Properties()->SetReadOnly(true);
    Focus(memo);
    memo->SetSelection(7, 6);
    quelvo::ctl::SetClipboardText(nullptr, "old");
    SendMessageA(Inner(memo), WM_CUT, 0, 0);
    Pump();
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "second");
    EXPECT_EQ(memo->Text(), "first\r\nsecond\r\nthird");

    memo->SetCaretPos(POINT{3, 1});
    EXPECT_EQ(memo->CaretPos().x, 3);
    EXPECT_EQ(memo->CaretPos().y, 1);
    Key(VK_DOWN);
    EXPECT_EQ(memo->CaretPos().y, 2) << "Down moves a line, as in any memo";
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(memo->CaretPos().y, 0);
    memo->SetCaretPos(POINT{99, 9});
    EXPECT_EQ(memo->CaretPos().x, 5) << "kept within the last line";
    EXPECT_EQ(memo->CaretPos().y, 2);
}

TEST_F(MemoTest, LinesShowOneBelowTheOtherAndAVerticalBarAppearsForMore)
{
    TcxMemo* memo = NewMemo("A\r\nB\r\nC");
    memo->Style()->SetColor(clWhite);
    memo->Style()->SetTextColor(clBlack);
    TcxMemo* other = NewMemo();
    Focus(other);
    // Unfocused the view paints the lines: ink in three bands 16 pixels apart.
    auto inkRows = [&](TWinControl* c, int fromX, int toX) {
        std::vector<int> rows;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = fromX; x < toX; ++x)
                if (Screen().ClientPixel(c->Handle(), x, y) == Rgb(RGB(0, 0, 0))) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    };
    auto bands = [](const std::vector<int>& rows) {
        std::vector<int> starts;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i == 0 || rows[i] != rows[i - 1] + 1) starts.push_back(rows[i]);
        return starts;
    };
    const std::vector<int> painted = bands(inkRows(memo, 2, 20));
    ASSERT_EQ(painted.size(), 3u);
    EXPECT_EQ(painted[1] - painted[0], 16);
    EXPECT_EQ(painted[2] - painted[1], 16);
    Focus(memo);
    const std::vector<int> edited = bands(inkRows(memo, 2, 20));
    ASSERT_EQ(edited.size(), 3u) << "the focused memo shows the same lines";
    for (size_t i = 0; i < 3; ++i) EXPECT_LE(std::abs(edited[i] - painted[i]), 1) << i;

    // Ten lines in a memo five high: the vertical bar of the editor shows.
    memo->Properties()->SetScrollBars(ssVertical);
    memo->SetEditValue(Variant(std::string("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10")));
    Pump();
    ASSERT_NE(memo->VScrollBar(), nullptr);
    EXPECT_TRUE(memo->VScrollBar()->Visible());
    TWinControl* bar = memo->VScrollBar();
    EXPECT_GT(bar->Left(), memo->Width() / 2);
    EXPECT_GT(bar->Height(), 40);
    // The bar is drawn, even by the painter of no registered look and
    // feel: a face with arrow buttons, not a black block.
    const int barPixels = bar->Width() * bar->Height();
    int face = 0, black = 0;
    for (int y = 0; y < bar->Height(); ++y)
        for (int x = 0; x < bar->Width(); ++x) {
            const std::uint32_t px = Screen().ClientPixel(memo->Handle(), bar->Left() + x, bar->Top() + y);
            face += px == Rgb(GetSysColor(COLOR_BTNFACE));
            black += px == 0;
        }
    EXPECT_LT(black, barPixels / 10);
    EXPECT_GT(face, barPixels / 10);
    // Its lower arrow scrolls the lines by one.
    ClickAt(bar, bar->Width() / 2, bar->Height() - 3);
    EXPECT_EQ(SendMessageA(Inner(memo), EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    EXPECT_EQ(memo->VScrollBar()->Position(), 1);

    // Both bars: painted without word breaking.
    memo->Properties()->SetScrollBars(ssBoth);
    ObjectPtr<TcxCustomEditViewData> data(memo->Properties()->CreateViewData(memo->Style(), true));
    EXPECT_EQ(static_cast<TcxCustomMemoViewData*>(data.get())->GetDrawTextFlags() & cxWordBreak, 0u);
    memo->Properties()->SetScrollBars(ssVertical);
    ObjectPtr<TcxCustomEditViewData> wrapping(memo->Properties()->CreateViewData(memo->Style(), true));
    EXPECT_NE(static_cast<TcxCustomMemoViewData*>(wrapping.get())->GetDrawTextFlags() & cxWordBreak, 0u);
}

}  // namespace
