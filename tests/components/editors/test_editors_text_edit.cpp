// The text editor as a user drives it on the headless display: typing and
// the value round trip, completion from the lookup items, the list styles,
// clipboard and selection editing under the maximum length, the inner
// edit's handling of keys and clipboard messages, the text messages, and
// where the text shows unfocused and focused.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxTextEdit.h"
#include "platform/controls/winctl.h"
#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;
using namespace visualtest;
using quelvo::gfx::test::Distinct;

namespace {

// Properties of the list styles the drop-down kinds use.
class StyledTextProperties : public TcxTextEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<StyledTextProperties, TcxTextEditProperties>("TestStyledTextEditProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxEditEditingStyle GetEditingStyle() override { return style; }
    TcxEditEditingStyle style = esEdit;
};

class StyledTextEdit : public TcxTextEdit {
public:
    static TClass StaticClass() { return DefineClass<StyledTextEdit, TcxTextEdit>("TestStyledTextEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override { return StyledTextProperties::StaticClass(); }
    StyledTextProperties* Styled() const { return static_cast<StyledTextProperties*>(Properties()); }
    using TcxCustomTextEdit::CanChangeSelText;
};

// A kind whose keys and wheel step through its items, as the list kinds do.
class SteppingTextEdit : public StyledTextEdit {
public:
    static TClass StaticClass() { return DefineClass<SteppingTextEdit, StyledTextEdit>("TestSteppingTextEdit"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    bool GetScrollLookupDataList(TcxEditScrollCause) override { return true; }
};

struct TextEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
    }
    template <class Edit = StyledTextEdit>
    Edit* NewEdit(const std::string& text = {}, TAlignment horz = taLeftJustify)
    {
        ++count;
        auto* edit = Add<Edit>(form, "Edit" + std::to_string(count), 10, 10 + 40 * count, 150, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->Properties()->Alignment()->SetHorz(horz);
        edit->SetBounds(10, 10 + 40 * count, 150, 24);
        if (!text.empty())
            edit->SetEditValue(Variant(text));
        Pump();
        return edit;
    }
    TcxCustomInnerTextEdit* Inner(TcxCustomTextEdit* edit)
    {
        return static_cast<TcxCustomInnerTextEdit*>(edit->InnerEdit()->GetControl());
    }
    void Focus(TcxCustomTextEdit* edit)
    {
        edit->SetFocus();
        Pump();
    }
    void Type(const std::string& text)
    {
        Screen().TypeText(text);
        Pump();
    }
    void Items(TcxCustomTextEdit* edit, std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            edit->Properties()->LookupItems()->Add(item);
    }
    // Columns and rows of the editor's window that show the colour.
    RECT Ink(TWinControl* control, COLORREF colour)
    {
        const std::uint32_t rgb = Rgb(colour);
        RECT r{-1, -1, -1, -1};
        for (int y = 0; y < control->Height(); ++y)
            for (int x = 0; x < control->Width(); ++x) {
                if (Screen().ClientPixel(control->Handle(), x, y) != rgb)
                    continue;
                r.left = r.left < 0 ? x : std::min<int>(r.left, x);
                r.top = r.top < 0 ? y : r.top;
                r.right = std::max<int>(r.right, x);
                r.bottom = y;
            }
        return r;
    }

    int count = 0;
};

TEST_F(TextEditTest, APlainEditorStartsAt121By21AndIsRegistered)
{
    ObjectPtr<TcxTextEdit> edit(CreateObject<TcxTextEdit>(static_cast<TComponent*>(nullptr)));
    EXPECT_EQ(edit->Width(), 121);
    EXPECT_EQ(edit->Height(), 21);
    EXPECT_TRUE(edit->BeepOnEnter());
    EXPECT_NE(edit->LookupData(), nullptr) << "every text editor completes from its items";
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    TClass kind = kinds->FindByClassName("TcxTextEditProperties");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kinds->GetDescriptionByClass(kind), "TextEdit");
    EXPECT_EQ(kinds->GetHintByClass(kind), "Represents a single line text editor");
}

TEST_F(TextEditTest, TypedTextBecomesTheValueOnLeaving)
{
    StyledTextEdit* edit = NewEdit("start");
    StyledTextEdit* other = NewEdit();
    std::vector<std::string> changes;
    edit->Properties()->OnEditValueChanged =
        TNotifyEvent::FromFunction([&](TObject*) { changes.push_back(VarToStr(edit->EditValue())); });
    Focus(edit);
    EXPECT_EQ(edit->SelText(), "start") << "entering selects the text";
    Key(VK_END);
    Type("ed");
    EXPECT_EQ(edit->Text(), "started");
    EXPECT_TRUE(edit->ModifiedAfterEnter());
    EXPECT_EQ(VarToStr(edit->EditValue()), "start") << "the value waits for validation";
    Focus(other);
    EXPECT_EQ(VarToStr(edit->EditValue()), "started");
    EXPECT_EQ(changes, std::vector<std::string>{"started"});
    edit->SetEditValue(Variant(std::string("again")));
    EXPECT_EQ(edit->Text(), "again");
    EXPECT_FALSE(edit->Modified());
}

TEST_F(TextEditTest, TypingCompletesFromTheItems)
{
    StyledTextEdit* edit = NewEdit();
    Items(edit, {"apple", "apricot"});
    Focus(edit);
    struct Step {
        const char* typed;
        const char* text;
        int selStart, selLength;
    } steps[] = {{"a", "apple", 1, 4}, {"p", "apple", 2, 3}, {"r", "apricot", 3, 4}, {"x", "aprx", 4, 0}};
    for (const Step& s : steps) {
        Type(s.typed);
        EXPECT_EQ(edit->Text(), s.text) << s.typed;
        EXPECT_EQ(edit->SelStart(), s.selStart) << s.typed;
        EXPECT_EQ(edit->SelLength(), s.selLength) << s.typed;
    }
    EXPECT_EQ(edit->ItemIndex(), -1) << "a text no item starts with leaves the items";
    edit->SetEditValue(Variant(std::string()));
    Type("apr");
    Key(VK_BACK);
    EXPECT_EQ(edit->Text(), "apple") << "Backspace shortens the typed part and completes again";
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 3);
}

TEST_F(TextEditTest, AFixedListIgnoresACharacterThatStartsNoItem)
{
    StyledTextEdit* edit = NewEdit();
    edit->Styled()->style = esFixedList;
    Items(edit, {"apple", "banana"});
    edit->PropertiesChanged(edit->Properties());
    Focus(edit);
    Type("b");
    EXPECT_EQ(edit->Text(), "banana");
    EXPECT_EQ(edit->ItemIndex(), 1);
    Type("x");
    EXPECT_EQ(edit->Text(), "banana") << "the text does not change";
    EXPECT_EQ(edit->ItemIndex(), 1) << "nor does the item";
}

TEST_F(TextEditTest, SettingTheItemIndexClicksOnlyOnAChange)
{
    StyledTextEdit* edit = NewEdit();
    Items(edit, {"one", "two"});
    int clicks = 0;
    edit->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    edit->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->Text(), "two");
    EXPECT_FALSE(edit->Modified());
    edit->SetItemIndex(1);
    EXPECT_EQ(clicks, 1) << "the same index again";
}

TEST_F(TextEditTest, TheTextMessagesCountBytesAndCutAtACharacter)
{
    StyledTextEdit* edit = NewEdit("hello");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, "hel");
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    edit->SetEditValue(Variant(std::string("\xC3\xA4\xC3\xA4")));
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_STREQ(buffer, "\xC3\xA4") << "half a character is not copied";
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_GETTEXTLENGTH, 0, 0), 4);
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("set")), 1);
    EXPECT_EQ(edit->Text(), "set");
    EXPECT_EQ(VarToStr(edit->EditValue()), "set");
}

TEST_F(TextEditTest, PastingUnderTheMaximumLengthKeepsWhatFollows)
{
    // Ctrl+V, the editor's own paste message, and code setting the selection.
    for (int path = 0; path < 3; ++path) {
        SCOPED_TRACE(path);
        StyledTextEdit* edit = NewEdit("abcd");
        edit->Properties()->SetMaxLength(5);
        Focus(edit);
        edit->SetSelection(2, 0);
        quelvo::ctl::SetClipboardText(nullptr, "xyz");
        if (path == 0)
            KeyWith(VK_CONTROL, 'V');
        else if (path == 1)
            SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
        else
            edit->SetSelText("xyz");
        Pump();
        EXPECT_EQ(edit->Text(), "abxcd");
        EXPECT_EQ(edit->CursorPos(), 3);
    }
}

TEST_F(TextEditTest, NothingIsPastedIntoAFullEditor)
{
    StyledTextEdit* edit = NewEdit("abcde");
    edit->Properties()->SetMaxLength(5);
    Focus(edit);
    edit->SetSelection(5, 0);
    std::string text;
    int cursor = -1;
    EXPECT_FALSE(edit->CanChangeSelText("x", text, cursor));
    edit->SetSelection(0, 2);
    ASSERT_TRUE(edit->CanChangeSelText("xyz", text, cursor));
    EXPECT_EQ(text, "xycde") << "the selection's room takes part of it";
    EXPECT_EQ(cursor, 2);
}

TEST_F(TextEditTest, TheMaximumLengthCountsCharacters)
{
    StyledTextEdit* edit = NewEdit();
    edit->Properties()->SetMaxLength(2);
    Focus(edit);
    quelvo::ctl::SetClipboardText(nullptr, "\xC3\xA4\xC3\xA4\xC3\xA4");
    KeyWith(VK_CONTROL, 'V');
    EXPECT_EQ(edit->Text(), "\xC3\xA4\xC3\xA4");
    edit->SetEditValue(Variant(std::string()));
    edit->SetSelText("\xC3\xA4\xC3\xA4\xC3\xA4");
    EXPECT_EQ(edit->Text(), "\xC3\xA4\xC3\xA4");
}

TEST_F(TextEditTest, ClipboardKeysReachTheEditor)
{
    // 0 for a key: the cut message itself, as a read-only editor takes no
    // editing key at all.
    struct Case {
        int modifier, key;
        const char* text;
        const char* clipboard;
        bool readOnly;
    } cases[] = {
        {VK_CONTROL, 'V', "abPcd", "P", false},
        {VK_SHIFT, VK_INSERT, "abPcd", "P", false},
        {VK_CONTROL, 'X', "abd", "c", false},
        {VK_SHIFT, VK_DELETE, "abd", "c", false},
        {0, 0, "abcd", "c", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        StyledTextEdit* edit = NewEdit("abcd");
        edit->Properties()->SetReadOnly(c.readOnly);
        Focus(edit);
        quelvo::ctl::SetClipboardText(nullptr, "P");
        edit->SetSelection(2, c.clipboard[0] == 'c' ? 1 : 0);
        int changes = 0;
        edit->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
        if (c.key)
            KeyWith(c.modifier, c.key);
        else
            SendMessageA(Inner(edit)->Handle(), WM_CUT, 0, 0);
        Pump();
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(quelvo::ctl::ClipboardText(), c.clipboard);
        EXPECT_EQ(changes, c.readOnly ? 0 : 1);
        EXPECT_EQ(edit->ModifiedAfterEnter(), !c.readOnly);
    }
}

TEST_F(TextEditTest, EnterAndTabNeverReachTheEditWindow)
{
    StyledTextEdit* edit = NewEdit("ab");
    Focus(edit);
    const unsigned beeps = Screen().BeepCount();
    Key(VK_RETURN);
    EXPECT_EQ(Screen().BeepCount(), beeps + 1) << "a stand-alone editor beeps on Enter by default";
    edit->SetBeepOnEnter(false);
    Key(VK_RETURN);
    EXPECT_EQ(Screen().BeepCount(), beeps + 1);
    EXPECT_EQ(edit->Text(), "ab");
    SendMessageA(Inner(edit)->Handle(), WM_CHAR, '\t', 0);
    EXPECT_EQ(edit->Text(), "ab") << "no tab is typed";
}

TEST_F(TextEditTest, InnerEditBoundsLockNests)
{
    StyledTextEdit* edit = NewEdit("ab");
    TcxCustomInnerTextEdit* inner = Inner(edit);
    const RECT before = inner->BoundsRect();
    inner->LockBounds(true);
    inner->LockBounds(true);
    inner->SetBounds(0, 0, 5, 5);
    inner->LockBounds(false);
    inner->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(inner->Width(), before.right - before.left) << "one lock is still held";
    inner->LockBounds(false);
    inner->LockBounds(false);
    inner->LockBounds(true);
    inner->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(inner->Width(), before.right - before.left) << "an unlock at zero stays at zero";
    inner->LockBounds(false);
    inner->SetBounds(1, 2, 30, 16);
    EXPECT_EQ(inner->Left(), 1);
}

TEST_F(TextEditTest, ACaseOnlyChangeIsNoChange)
{
    StyledTextEdit* edit = NewEdit("abc");
    Focus(edit);
    IcxInnerTextEdit* inner = edit->InnerTextEdit();
    TcxCustomInnerTextEditPrevState state;
    SaveTextEditState(inner, true, state);
    edit->SetEditValue(Variant(std::string("ABC")));
    inner->SetSelStart(state.PrevSelStart);
    inner->SetSelLength(state.PrevSelLength);
    EXPECT_FALSE(CheckTextEditState(inner, state));
    edit->SetEditValue(Variant(std::string("abd")));
    inner->SetSelStart(state.PrevSelStart);
    inner->SetSelLength(state.PrevSelLength);
    EXPECT_TRUE(CheckTextEditState(inner, state));
}

TEST_F(TextEditTest, AStrayValidationMessageChangesNothing)
{
    StyledTextEdit* edit = NewEdit("abc");
    EXPECT_NO_THROW(SendMessageA(edit->Handle(), CM_EDITVALIDATIONERROR, 12345, 0));
    EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(TextEditTest, TheTextShowsInTheSamePlaceUnfocusedAndFocused)
{
    StyledTextEdit* edit = NewEdit("ab");
    StyledTextEdit* other = NewEdit();
    const COLORREF ink = Distinct(COLOR_WINDOWTEXT);
    edit->SetHideInnerEdit(true);
    Pump();
    const RECT unfocused = Ink(edit, ink);
    ASSERT_GE(unfocused.left, 0);
    edit->SetHideInnerEdit(false);
    Focus(edit);
    ASSERT_TRUE(edit->IsEditClass()) << "the inner edit paints a focused editor";
    edit->SetSelection(2, 0);
    Pump();
    const RECT focused = Ink(edit, ink);
    EXPECT_EQ(focused.left, unfocused.left);
    EXPECT_EQ(focused.top, unfocused.top);
    EXPECT_EQ(focused.right, unfocused.right);
    edit->SetSelection(0, 2);
    Pump();
    const RECT selection = Ink(edit, Distinct(COLOR_HIGHLIGHT));
    EXPECT_LE(selection.left, unfocused.left) << "the selection shows in the highlight colour";
    EXPECT_GE(selection.right, unfocused.right);
    Focus(other);
}

TEST_F(TextEditTest, ARightAlignedTextEndsTwoPixelsBeforeTheEdge)
{
    StyledTextEdit* edit = NewEdit("ab", taRightJustify);
    NewEdit();
    EXPECT_FALSE(edit->IsEditClass()) << "the view paints an unfocused right-aligned editor";
    const RECT ink = Ink(edit, Distinct(COLOR_WINDOWTEXT));
    const RECT client = edit->ViewInfo()->ClientRect;
    EXPECT_LE(ink.right, client.right - 1 - 2 - 1);
    EXPECT_GT(ink.right, client.right - 1 - 2 - 8);
}

TEST_F(TextEditTest, InPlaceEnterIsSilentAndKeysThatChangeNothingReachTheList)
{
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    ObjectPtr<StyledTextProperties> column = MakeObject<StyledTextProperties>(nullptr);
    auto* edit = static_cast<TcxCustomTextEdit*>(list->GetEdit(column.get()));
    ASSERT_TRUE(edit->IsInplace());
    edit->SetParent(form);
    edit->SetBoundsRect(RECT{10, 200, 160, 222});
    std::vector<WORD> afterKeys;
    edit->OnAfterKeyDown = TcxEditKeyEvent::FromFunction([&](TObject*, WORD& key, TShiftState) { afterKeys.push_back(key); });
    edit->SetEditValue(Variant(std::string("ab")));
    TcxCustomEditData* data = nullptr;
    edit->Activate(data);
    Pump();
    edit->SetSelection(0, 0);
    const unsigned beeps = Screen().BeepCount();
    Key(VK_RETURN);
    EXPECT_EQ(Screen().BeepCount(), beeps);
    EXPECT_EQ(afterKeys, std::vector<WORD>{VK_RETURN}) << "the list decides what Enter does";
    afterKeys.clear();
    Key(VK_RIGHT);
    EXPECT_TRUE(afterKeys.empty()) << "the caret moved";
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(afterKeys, std::vector<WORD>{VK_LEFT}) << "only the key that changed nothing";
    delete data;
}

TEST_F(TextEditTest, OnlyAKindThatAsksStepsThroughItsItemsByKeysAndWheel)
{
    StyledTextEdit* plain = NewEdit();
    Items(plain, {"one", "two", "three"});
    Focus(plain);
    Key(VK_DOWN);
    Screen().Wheel(plain->ClientToScreen(POINT{5, 5}), -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(plain->Text(), "") << "a plain editor's items only complete typed text";

    auto* stepping = NewEdit<SteppingTextEdit>();
    Items(stepping, {"one", "two", "three"});
    stepping->Properties()->SetImmediatePost(true);
    int clicks = 0;
    stepping->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    Focus(stepping);
    Key(VK_DOWN);
    EXPECT_EQ(stepping->Text(), "one");
    Key(VK_DOWN);
    EXPECT_EQ(stepping->Text(), "two");
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(VarToStr(stepping->EditValue()), "two") << "posted at once";
    Key(VK_NEXT);
    EXPECT_EQ(stepping->Text(), "three") << "a page stops at the last item";
    Key(VK_DOWN);
    EXPECT_EQ(clicks, 3) << "no click when the item stays";
    KeyWith(VK_CONTROL, VK_PRIOR);
    EXPECT_EQ(stepping->Text(), "one");
    Screen().Wheel(stepping->ClientToScreen(POINT{5, 5}), -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(stepping->Text(), "two") << "the wheel steps down";
}

} // namespace
