// The hyperlink editor: what validation makes of typed addresses, what
// reaches the shell on the start key and the clicks, the streamed prefix,
// the hand cursor, and the link as a user sees it.
#include "tests/components/editors/editor_form_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxHyperLinkEdit.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/system/fake_system.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::gfx::test::Distinct;

namespace {

struct HyperLinkTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
        cxHyperLinkEditInitialize();
    }
    void TearDown() override
    {
        EditorFormTest::TearDown();
        cxHyperLinkEditFinalize();
        cxTextEditFinalize();
    }
    TcxHyperLinkEdit* NewEdit(const std::string& text = {})
    {
        ++count;
        auto* edit = Add<TcxHyperLinkEdit>(form, "Link" + std::to_string(count), 10, 10 + 40 * count, 200, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        if (!text.empty()) edit->SetEditValue(Variant(text));
        Pump();
        return edit;
    }
    // The files the shell was asked to open while the step ran.
    std::vector<std::string> Opened(const std::function<void()>& step)
    {
        quelvo::sys::FakeSystem fake;
        {
            quelvo::sys::BackendScope backend(fake);
            step();
        }
        std::vector<std::string> files;
        for (const auto& call : fake.shellCalls) {
            EXPECT_EQ(call.verb, "open");
            EXPECT_EQ(call.showCommand, SW_SHOWMAXIMIZED);
            files.push_back(call.file);
        }
        return files;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }

    int count = 0;
};

using Files = std::vector<std::string>;

TEST_F(HyperLinkTest, ValidationPutsThePrefixOnlyInFrontOfAnAddressWithoutAScheme)
{
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"  www.x.org ", "http://www.x.org"},
        {"http://a ", "http://a "},
        {"HTTP://a", "HTTP://a"},
        {"https://a", "https://a"},
        {"ftp://host/file", "ftp://host/file"},
        {"svn+ssh://host", "svn+ssh://host"},
        {"mailto:x@y.z", "mailto:x@y.z"},
        {"localhost:8080", "http://localhost:8080"},
        {"1http://a", "http://1http://a"},
        {"   ", "   "},
    };
    TcxHyperLinkEdit* edit = NewEdit();
    TcxHyperLinkEdit* other = NewEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Focus(edit);
        edit->SelectAll();
        Screen().TypeText(c.typed);
        Pump();
        Focus(other);
        EXPECT_EQ(VarToStr(edit->EditValue()), c.stored);
    }
    // No prefix, or no completion: the text as typed.
    for (const bool emptyPrefix : {true, false}) {
        auto* p = edit->Properties();
        p->SetPrefix(emptyPrefix ? "" : "http://");
        p->SetAutoComplete(!emptyPrefix ? false : true);
        Variant value(std::string("www.x.org"));
        std::string error;
        bool failed = false;
        p->ValidateDisplayValue(value, error, failed, edit);
        EXPECT_EQ(VarToStr(value), "www.x.org");
        EXPECT_FALSE(failed);
    }
}

TEST_F(HyperLinkTest, TheStartKeyOpensTheLinkOnceAndGoesNoFurther)
{
    TcxHyperLinkEdit* edit = NewEdit("x.org");
    int keyDowns = 0;
    edit->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, WORD& key, TShiftState) { keyDowns += key == VK_RETURN; });
    Focus(edit);
    EXPECT_EQ(Opened([&] { KeyWith(VK_CONTROL, VK_RETURN); }), Files{"http://x.org"});
    EXPECT_EQ(edit->Text(), "x.org") << "no line break, no validation";
    EXPECT_EQ(Opened([&] { Key(VK_RETURN); }), Files{}) << "a plain Enter is no start key";

    int starts = 0;
    edit->Properties()->OnStartClick = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++starts;
    });
    EXPECT_EQ(Opened([&] { KeyWith(VK_CONTROL, VK_RETURN); }), Files{});
    EXPECT_EQ(starts, 1) << "the handler replaces the shell, once";

    edit->Properties()->OnStartClick = {};
    edit->Properties()->SetStartKey(ShortCut(VK_F5, {}));
    EXPECT_EQ(Opened([&] { Key(VK_F5); }), Files{"http://x.org"});
}

TEST_F(HyperLinkTest, OnlyWebAndMailAddressesReachTheShell)
{
    struct Case {
        const char* text;
        const char* prefix;
        Files opened;
    };
    const Case cases[] = {
        {"x.org", "http://", {"http://x.org"}},
        {" https://x.org/a b ", "http://", {"https://x.org/a b"}},
        {"MAILTO:me@x.org", "http://", {"MAILTO:me@x.org"}},
        {"file:///etc", "http://", {}},
        {"/usr/bin/xterm", "", {}},
        {"xterm", "", {}},
        {"javascript:alert(1)", "", {}},
        {"http://", "", {}},
        {"   ", "http://", {}},
    };
    TcxHyperLinkEdit* edit = NewEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        edit->Properties()->SetPrefix(c.prefix);
        edit->Properties()->SetAutoComplete(false);
        edit->SetEditValue(Variant(std::string(c.text)));
        EXPECT_EQ(Opened([&] { edit->DoStart(); }), c.opened);
    }
}

TEST_F(HyperLinkTest, ClicksOpenByDoubleClickOrBySingleClickWithoutASelection)
{
    TcxHyperLinkEdit* edit = NewEdit("x.org");
    TcxHyperLinkEdit* other = NewEdit();
    Focus(other);
    EXPECT_EQ(Opened([&] { ClickAt(edit, 20, 12); }), Files{}) << "one click only places the caret";
    EXPECT_EQ(Opened([&] {
                  Screen().DoubleClick(At(edit, 20, 12));
                  Pump();
              }),
              Files{"http://x.org"});

    edit->Properties()->SetSingleClick(true);
    Focus(other);
    Advance(1000);  // no double click with the last ones
    EXPECT_EQ(Opened([&] { ClickAt(edit, 20, 12); }), Files{"http://x.org"});
    // A drag over the text selects it and opens nothing.
    EXPECT_EQ(Opened([&] {
                  Screen().ButtonDown(At(edit, 6, 12));
                  Pump();
                  Screen().MoveMouse(At(edit, 40, 12));
                  Pump();
                  Screen().ButtonUp(At(edit, 40, 12));
                  Pump();
              }),
              Files{});
    EXPECT_GT(edit->SelLength(), 0);
}

TEST_F(HyperLinkTest, WithSingleClickTheHandCursorComesAndGoesWithTheMouse)
{
    TcxHyperLinkEdit* edit = NewEdit("x.org");
    edit->Properties()->SetSingleClick(true);
    TWinControl* inner = edit->InnerEdit()->GetControl();
    Screen().MoveMouse(At(edit, 20, 12));
    Pump();
    EXPECT_EQ(edit->Cursor(), crHandPoint);
    EXPECT_EQ(inner->Cursor(), crHandPoint);
    Screen().MoveMouse(At(form, 390, 290));
    Pump();
    Advance(50);
    EXPECT_EQ(edit->Cursor(), crDefault);
    EXPECT_EQ(inner->Cursor(), crDefault);

    // Already the hand: nothing saved, so leaving gives what was saved last.
    TcxHyperLinkEdit* hand = NewEdit("y.org");
    hand->Properties()->SetSingleClick(true);
    hand->SetCursor(crHandPoint);
    Screen().MoveMouse(At(hand, 20, 12));
    Pump();
    Screen().MoveMouse(At(form, 390, 290));
    Pump();
    Advance(50);
    EXPECT_EQ(hand->Cursor(), crDefault);
}

TEST_F(HyperLinkTest, ThePrefixIsStreamedOnlyWhenItIsNotTheResourceText)
{
    RegisterClasses({TcxHyperLinkEdit::StaticClass()});
    TcxHyperLinkEdit* plain = NewEdit();
    TcxHyperLinkEdit* empty = NewEdit();
    empty->Properties()->SetPrefix("");
    TcxHyperLinkEdit* mail = NewEdit();
    mail->Properties()->SetPrefix("mailto:");
    const std::string written = WriteFormResource(form);
    form->SetName("Written");
    TForm* copy = NewForm();
    ReadFormResource(copy, written, "links.form");
    auto prefixOf = [&](const char* name) {
        auto* edit = As<TcxHyperLinkEdit>(copy->FindComponent(name));
        return edit ? edit->Properties()->Prefix() : std::string("missing");
    };
    EXPECT_EQ(prefixOf(plain->Name().c_str()), "http://");
    EXPECT_EQ(prefixOf(empty->Name().c_str()), "");
    EXPECT_EQ(prefixOf(mail->Name().c_str()), "mailto:");
    int entries = 0;
    for (size_t at = written.find("Prefix"); at != std::string::npos; at = written.find("Prefix", at + 1)) ++entries;
    EXPECT_EQ(entries, 2) << written;

    // A replaced resource text is the new default: a form holding it stores none.
    cxSetResourceString(cxSEditHyperLinkPrefix, "https://");
    quelvo::sys::ScopeGuard restore([] { cxSetResourceString(cxSEditHyperLinkPrefix, "http://"); });
    TcxHyperLinkEdit* secure = NewEdit();
    EXPECT_EQ(secure->Properties()->Prefix(), "https://");
    EXPECT_FALSE(secure->Properties()->IsPrefixStored());
    EXPECT_TRUE(plain->Properties()->IsPrefixStored());
    copy->Free();
}

TEST_F(HyperLinkTest, TheLinkIsDrawnUnderlinedInItsColourAndRegistered)
{
    TcxHyperLinkEdit* edit = NewEdit("x.org");
    edit->Style()->SetColor(clWhite);
    edit->Properties()->SetLinkColor(clRed);
    Pump();
    // Rows of the editor holding red: the glyphs, then a full underline row.
    auto redRuns = [&](TWinControl* c) {
        std::vector<int> widest(static_cast<size_t>(c->Height()), 0);
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                widest[static_cast<size_t>(y)] += Screen().ClientPixel(c->Handle(), x, y) == Rgb(RGB(255, 0, 0));
        return widest;
    };
    std::vector<int> rows = redRuns(edit);
    int inked = 0, underline = 0;
    for (int n : rows) {
        inked += n > 0;
        if (n >= 5 * 8 - 2) ++underline;  // five characters of eight pixels
    }
    EXPECT_GT(inked, 3);
    EXPECT_GE(underline, 1) << "an underline as wide as the text";
    edit->Properties()->SetLinkColor(clBlue);
    Pump();
    rows = redRuns(edit);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](int n) { return n > 0; }), 0) << "a new colour repaints";

    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    TClass kind = kinds->FindByClassName("TcxHyperLinkEditProperties");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kinds->GetDescriptionByClass(kind), "HyperLink");
    EXPECT_EQ(kinds->GetHintByClass(kind), "Represents a text editor with hyperlink functionality");
}

}  // namespace
