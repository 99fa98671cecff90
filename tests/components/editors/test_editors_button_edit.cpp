// The button editor as a user drives it on the headless display: its one
// ellipsis button drawn beside the text and clicked, the click key that
// needs a default button, and forms whose stored buttons and button styles
// come back as they were written.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxEditViewData.h"
#include "platform/hostlib/core/form_resource.h"

using namespace hostlib;
using namespace visualtest;

namespace {

// A form class of its own, so a written form can be read back into one.
class ButtonForm : public TForm {
public:
    static TClass StaticClass() { return DefineClass<ButtonForm, TForm>("TestButtonEditForm"); }
    TClass ClassType() const override { return StaticClass(); }
};

struct ButtonEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxButtonEditInitialize();
        RegisterClasses({ButtonForm::StaticClass(), TcxButtonEdit::StaticClass(),
                         TcxButtonEditProperties::StaticClass()});
    }
    void TearDown() override
    {
        cxButtonEditFinalize();
        EditorFormTest::TearDown();
    }
    TcxButtonEdit* NewEdit(TWinControl* parent, const std::string& name)
    {
        auto* edit = Add<TcxButtonEdit>(parent, name, 10, 10, 150, 24);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetAutoSize(false);
        edit->SetBounds(10, 10, 150, 24);
        Pump();
        return edit;
    }
    void Watch(TcxButtonEdit* edit)
    {
        edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction(
            [this](TObject*, int index) { clicked.push_back(index); });
    }
    RECT Button(TcxButtonEdit* edit, int index = 0)
    {
        return edit->ViewInfo()->ButtonsInfo[static_cast<size_t>(index)]->Bounds;
    }
    void CtrlEnter(TcxButtonEdit* edit)
    {
        edit->SetFocus();
        Pump();
        KeyWith(VK_CONTROL, VK_RETURN);
        Pump();
    }
    // Reads a form text into a fresh form of the test's class.
    ButtonForm* Read(const std::string& text)
    {
        auto* read = CreateObject<ButtonForm>(static_cast<TComponent*>(nullptr));
        try {
            ReadFormResource(read, text, "button.form");
        } catch (...) {
            read->Free();
            throw;
        }
        read->Show();
        Pump();
        return read;
    }

    std::vector<int> clicked;
};

TEST_F(ButtonEditTest, OneEllipsisButtonClickedByMouseAndByTheClickKeyOnlyWhenDefault)
{
    TcxButtonEdit* edit = NewEdit(form, "Browse");
    Watch(edit);
    EXPECT_EQ(edit->Properties()->GetContainerClass(), TcxButtonEdit::StaticClass());
    ASSERT_EQ(edit->ViewInfo()->ButtonCount(), 1);
    EXPECT_EQ(edit->Properties()->Buttons()->Items(0)->Kind(), bkEllipsis);
    EXPECT_TRUE(edit->ActiveProperties()->GetSupportedOperations().Contains(esoHotTrack));

    const RECT b = Button(edit);
    ClickAt(edit, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    EXPECT_EQ(clicked, std::vector<int>{0});

    // Made at run time: no default button, so the click key does nothing
    // and types nothing.
    clicked.clear();
    const unsigned beeps = Screen().BeepCount();
    CtrlEnter(edit);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Screen().BeepCount(), beeps);

    edit->Properties()->Buttons()->Items(0)->SetDefault(true);
    Pump();
    CtrlEnter(edit);
    EXPECT_EQ(clicked, std::vector<int>{0});
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(ButtonEditTest, TheEllipsisShowsAsThreeDotsCentredInTheButton)
{
    TcxButtonEdit* edit = NewEdit(form, "Dots");
    const RECT b = Button(edit);
    ASSERT_GT(b.right - b.left, 8);
    EXPECT_GE(b.right, edit->Width() - 3) << "the button sits at the right";
    // Dots are the button text colour on the face: the runs of columns and
    // the rows that show it.
    const std::uint32_t ink = Rgb(ColorToRGB(clBtnText));
    std::vector<bool> column(static_cast<size_t>(b.right), false);
    int rows = 0;
    for (int y = b.top; y < b.bottom; ++y) {
        bool any = false;
        for (int x = b.left; x < b.right; ++x)
            if (Screen().ClientPixel(edit->Handle(), x, y) == ink)
                any = column[static_cast<size_t>(x)] = true;
        rows += any ? 1 : 0;
    }
    std::vector<std::pair<int, int>> runs;  // first column, width
    for (int x = b.left; x < b.right; ++x) {
        if (!column[static_cast<size_t>(x)])
            continue;
        if (!runs.empty() && runs.back().first + runs.back().second == x)
            ++runs.back().second;
        else
            runs.emplace_back(x, 1);
    }
    // Three dots of two by two pixels, two apart.
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(rows, 2);
    for (size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].second, 2);
    EXPECT_EQ(runs[1].first - runs[0].first, 4);
    EXPECT_EQ(runs[2].first - runs[1].first, 4);
    const int left = runs.front().first - b.left, right = b.right - (runs.back().first + 2);
    EXPECT_LE(std::abs(left - right), 1) << "centred: " << left << " left, " << right << " right";
}

TEST_F(ButtonEditTest, AFormsStoredButtonsReplaceTheDefaultOne)
{
    struct Case {
        const char* what;
        std::vector<TcxEditButtonKind> kinds;
        int defaultIndex;
    };
    const Case cases[] = {
        {"two buttons", {bkText, bkGlyph}, -1},
        {"all deleted", {}, -1},
        {"a default button", {bkEllipsis, bkText}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* source = CreateObject<ButtonForm>(static_cast<TComponent*>(nullptr));
        source->SetName("Source");
        TcxButtonEdit* edit = NewEdit(source, "Pick");
        TcxEditButtons* buttons = edit->Properties()->Buttons();
        buttons->Clear();
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            auto* button = static_cast<TcxEditButton*>(buttons->Add());
            button->SetKind(c.kinds[i]);
            button->SetCaption("B" + std::to_string(i));
            button->SetDefault(static_cast<int>(i) == c.defaultIndex);
        }
        const std::string text = WriteFormResource(source);
        source->Free();

        ButtonForm* read = Read(text);
        auto* copy = As<TcxButtonEdit>(read->FindComponent("Pick"));
        ASSERT_NE(copy, nullptr) << text;
        TcxEditButtons* readButtons = copy->Properties()->Buttons();
        ASSERT_EQ(readButtons->Count(), static_cast<int>(c.kinds.size())) << text;
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            EXPECT_EQ(readButtons->Items(static_cast<int>(i))->Kind(), c.kinds[i]);
            EXPECT_EQ(readButtons->Items(static_cast<int>(i))->Caption(), "B" + std::to_string(i));
        }
        EXPECT_EQ(copy->ViewInfo()->ButtonCount(), static_cast<int>(c.kinds.size()));
        if (c.defaultIndex >= 0) {
            Watch(copy);
            CtrlEnter(copy);
            EXPECT_EQ(clicked, std::vector<int>{c.defaultIndex});
            clicked.clear();
        }
        read->Free();
    }
}

TEST_F(ButtonEditTest, ItsButtonStyleIsStoredButNotThePopupBorder)
{
    auto* source = CreateObject<ButtonForm>(static_cast<TComponent*>(nullptr));
    source->SetName("Source");
    TcxButtonEdit* edit = NewEdit(source, "Styled");
    edit->Style()->SetButtonStyle(btsFlat);
    edit->Style()->SetButtonTransparency(ebtHideInactive);
    edit->Style()->SetPopupBorderStyle(epbsFrame3D);
    const std::string text = WriteFormResource(source);
    source->Free();
    EXPECT_NE(text.find("Style.ButtonStyle = btsFlat"), std::string::npos) << text;
    EXPECT_NE(text.find("Style.ButtonTransparency = ebtHideInactive"), std::string::npos) << text;
    EXPECT_EQ(text.find("PopupBorderStyle"), std::string::npos) << text;

    ButtonForm* read = Read(text);
    auto* copy = As<TcxButtonEdit>(read->FindComponent("Styled"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Style()->ButtonStyle(), btsFlat);
    EXPECT_EQ(copy->Style()->ButtonTransparency(), ebtHideInactive);
    read->Free();
}

}  // namespace
