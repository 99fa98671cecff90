// Drop-down and combo box properties: the drop-down button and its glyph,
// the popup sizes and their minimums, what tells of a change, the list
// styles and rows of the combo box, copying, the form stream and the
// registered kinds.
#include "components/editors/cxComboBox.h"

#include <gtest/gtest.h>

#include "components/editors/cxEditRepositoryItems.h"
#include "fixed_locale.h"
#include "platform/hostlib/core/form_resource.h"

using namespace hostlib;

namespace {

struct DropDownProperties : ::testing::Test {
    ScopedFormatSettings locale{FixedEnglishLocale()};
    ObjectPtr<TcxComboBoxProperties> properties = MakeObject<TcxComboBoxProperties>(nullptr);
    int changes = 0;
    void SetUp() override
    {
        properties->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
    TcxEditButton* Button(int index) { return properties->Buttons()->Items(index); }
    static void Paint(TBitmap* glyph)
    {
        glyph->SetSize(7, 4);
        glyph->Canvas()->Brush()->SetColor(clRed);
        glyph->Canvas()->FillRect(RECT{0, 0, 7, 4});
    }
};

TEST_F(DropDownProperties, DefaultsAndTheDropDownButton)
{
    ASSERT_EQ(properties->Buttons()->Count(), 1);
    EXPECT_EQ(Button(0)->Kind(), bkDown);
    EXPECT_TRUE(properties->ImmediateDropDown());
    EXPECT_FALSE(properties->ImmediatePopup());
    EXPECT_EQ(properties->PopupAlignment(), taLeftJustify);
    EXPECT_TRUE(properties->PopupAutoSize());
    EXPECT_FALSE(properties->PopupClientEdge());
    EXPECT_EQ(properties->PopupWidth(), 0);
    EXPECT_EQ(properties->PopupHeight(), 0);
    EXPECT_FALSE(properties->PopupSizeable());
    EXPECT_FALSE(properties->PopupSysPanelStyle());
    EXPECT_FALSE(properties->PostPopupValueOnTab());
    EXPECT_TRUE(properties->ValidateOnEnter());
    EXPECT_TRUE(properties->IsLookupDataVisual());
    EXPECT_EQ(properties->GetPopupWindowClass(), TcxComboBoxPopupWindow::StaticClass());
    EXPECT_EQ(MakeObject<TcxCustomDropDownEditProperties>(nullptr)->GetPopupWindowClass(),
              TcxCustomEditPopupWindow::StaticClass());
    EXPECT_TRUE(properties->ButtonGlyph()->Empty());
}

TEST_F(DropDownProperties, PopupSizesKeepTheirMinimumsWithoutTellingAnyone)
{
    struct Case {
        int minimum;
        int value;
        int width;
        int height;
    } cases[] = {
        {0, -5, 0, 0}, {0, 0, 0, 0}, {0, 120, 120, 120}, {100, 50, 100, 100}, {100, 0, 0, 100}, {100, 300, 300, 300},
    };
    for (const Case& c : cases) {
        properties->SetPopupMinWidth(c.minimum);
        properties->SetPopupMinHeight(c.minimum);
        properties->SetPopupWidth(c.value);
        properties->SetPopupHeight(c.value);
        EXPECT_EQ(properties->PopupWidth(), c.width) << c.minimum << " / " << c.value;
        EXPECT_EQ(properties->PopupHeight(), c.height) << c.minimum << " / " << c.value;
    }
    properties->SetPopupMinWidth(-4);
    EXPECT_EQ(properties->PopupMinWidth(), 0);
    properties->SetPopupWidth(60);
    properties->SetPopupMinWidth(80);
    EXPECT_EQ(properties->PopupWidth(), 80) << "a new minimum raises the size";
    EXPECT_EQ(changes, 0);

    properties->SetPopupClientEdge(false);
    properties->SetPopupAlignment(taLeftJustify);
    EXPECT_EQ(changes, 0) << "equal values";
    properties->SetPopupClientEdge(true);
    properties->SetPopupAlignment(taRightJustify);
    properties->SetPopupSizeable(true);
    properties->SetPopupSysPanelStyle(true);
    EXPECT_EQ(changes, 4);
}

TEST_F(DropDownProperties, TheGlyphButtonShowsTheGlyphWhileThereIsOne)
{
    auto glyph = MakeObject<TBitmap>();
    Paint(glyph.get());
    properties->SetButtonGlyph(glyph.get());
    EXPECT_EQ(Button(0)->Kind(), bkGlyph);
    EXPECT_EQ(Button(0)->Glyph()->Width(), 7);
    EXPECT_GE(changes, 1);

    properties->ButtonGlyph()->SetSize(0, 0);
    EXPECT_EQ(Button(0)->Kind(), bkDown) << "back to the arrow";

    // Moving the glyph to another button clears the old one.
    static_cast<TcxEditButton*>(properties->Buttons()->Add())->SetKind(bkEllipsis);
    properties->SetButtonGlyph(glyph.get());
    properties->SetGlyphButtonIndex(1);
    EXPECT_EQ(Button(0)->Kind(), bkDown);
    EXPECT_TRUE(Button(0)->Glyph()->Empty());
    EXPECT_EQ(Button(1)->Kind(), bkGlyph);
    EXPECT_EQ(Button(1)->Glyph()->Height(), 4);

    properties->SetGlyphButtonIndex(5);
    EXPECT_EQ(Button(1)->Kind(), bkDown) << "an index without a button only clears";
    properties->ButtonGlyph()->SetSize(3, 3);
    EXPECT_EQ(properties->Buttons()->Count(), 2);
}

TEST_F(DropDownProperties, ListStylesAndRows)
{
    struct Case {
        TcxEditDropDownListStyle style;
        TcxEditEditingStyle editing;
        bool clickOpens;
    } cases[] = {
        {lsEditFixedList, esEditList, false}, {lsEditList, esEdit, false}, {lsFixedList, esFixedList, true}};
    for (const Case& c : cases) {
        properties->SetDropDownListStyle(c.style);
        EXPECT_EQ(properties->GetEditingStyle(), c.editing) << c.style;
        EXPECT_EQ(properties->DropDownOnClick(), c.clickOpens) << c.style;
    }
    EXPECT_TRUE(properties->UseLookupData());

    EXPECT_EQ(properties->DropDownRows(), 8);
    EXPECT_EQ(properties->GetDropDownPageRowCount(), 8);
    changes = 0;
    properties->SetDropDownRows(0);
    properties->SetDropDownRows(-1);
    properties->SetDropDownRows(8);
    EXPECT_EQ(properties->DropDownRows(), 8);
    EXPECT_EQ(changes, 0);
    properties->SetDropDownRows(12);
    EXPECT_EQ(properties->GetDropDownPageRowCount(), 12);
    properties->SetItemHeight(16);
    properties->SetItemHeight(16);
    EXPECT_EQ(changes, 2);

    properties->SetDropDownWidth(-3);
    EXPECT_EQ(properties->PopupWidth(), 0) << "through the popup's setter";
    properties->SetDropDownAutoWidth(false);
    EXPECT_FALSE(properties->PopupAutoSize());
    properties->SetDropDownSizeable(true);
    EXPECT_TRUE(properties->PopupSizeable());
    properties->Items()->Add("b");
    properties->Items()->Add("a");
    properties->SetSorted(true);
    EXPECT_EQ(properties->LookupItems()->Strings(0), "a");
}

TEST_F(DropDownProperties, AssignCopiesTheListAndPopupSettingsWithOneChange)
{
    auto source = MakeObject<TcxComboBoxProperties>(nullptr);
    source->SetDropDownListStyle(lsFixedList);
    source->SetDropDownRows(12);
    source->SetItemHeight(20);
    source->SetRevertable(true);
    source->SetImmediateDropDown(false);
    source->SetImmediatePopup(true);
    source->SetPopupMinWidth(90);
    source->SetPopupWidth(150);
    source->SetPopupSizeable(true);
    source->SetPostPopupValueOnTab(true);
    source->SetImmediatePost(true);
    source->Items()->Add("Low");
    int drawn = 0;
    source->OnDrawItem = TcxEditDrawItemEvent::FromFunction(
        [&](TcxCustomComboBox*, TcxCanvas*, int, const RECT&, TOwnerDrawState) { ++drawn; });
    auto glyph = MakeObject<TBitmap>();
    Paint(glyph.get());
    source->SetButtonGlyph(glyph.get());

    properties->Assign(source.get());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(properties->DropDownListStyle(), lsFixedList);
    EXPECT_EQ(properties->DropDownRows(), 12);
    EXPECT_EQ(properties->ItemHeight(), 20);
    EXPECT_TRUE(properties->Revertable());
    EXPECT_FALSE(properties->ImmediateDropDown());
    EXPECT_TRUE(properties->ImmediatePopup());
    EXPECT_EQ(properties->PopupMinWidth(), 90);
    EXPECT_EQ(properties->PopupWidth(), 150);
    EXPECT_TRUE(properties->PopupSizeable());
    EXPECT_TRUE(properties->PostPopupValueOnTab());
    EXPECT_TRUE(properties->ImmediatePost());
    EXPECT_EQ(properties->Items()->Count(), 1);
    EXPECT_EQ(Button(0)->Kind(), bkGlyph);
    properties->OnDrawItem(nullptr, nullptr, 0, RECT{}, TOwnerDrawState{});
    EXPECT_EQ(drawn, 1);

    // From a drop-down kind that is no combo box only the shared settings.
    auto plain = MakeObject<TcxCustomDropDownEditProperties>(nullptr);
    plain->SetPopupClientEdge(true);
    properties->Assign(plain.get());
    EXPECT_TRUE(properties->PopupClientEdge());
    EXPECT_EQ(properties->DropDownRows(), 12);
}

TEST_F(DropDownProperties, EditDataStartsFromTheStoredSize)
{
    properties->SetPopupWidth(140);
    properties->SetPopupHeight(90);
    ObjectPtr<TcxCustomDropDownEditData> data(CreateObject<TcxCustomDropDownEditData>(nullptr));
    data->SetPopupResized(true);
    data->SetWidth(1);
    data->Initialize(properties.get());
    EXPECT_FALSE(data->PopupResized());
    EXPECT_EQ(data->Width(), 140);
    EXPECT_EQ(data->Height(), 90);
}

class ComboForm : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<ComboForm, TComponent>("TestComboForm"); }
    TClass ClassType() const override { return StaticClass(); }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
};

TEST(ComboBoxKind, TheFormStreamKeepsTheCellsSettings)
{
    ScopedFormatSettings locale{FixedEnglishLocale()};
    RegisterClasses({ComboForm::StaticClass(), TcxEditRepositoryComboBoxItem::StaticClass(),
                     TcxComboBoxProperties::StaticClass()});
    auto form = MakeObject<ComboForm>(nullptr);
    auto* item = CreateObject<TcxEditRepositoryComboBoxItem>(form.get());
    item->SetName("Rule");
    auto* rule = static_cast<TcxComboBoxProperties*>(item->Properties());
    rule->SetDropDownListStyle(lsFixedList);
    rule->SetDropDownRows(12);
    rule->SetImmediatePost(true);
    rule->Items()->Add("");
    rule->Items()->Add("Ignore");
    rule->SetMaskKind(emkRegExpr);
    rule->SetEditMask("[A-Za-z ]*");
    const std::string written = WriteFormResource(form.get());
    EXPECT_EQ(written.find("DropDownWidth"), std::string::npos) << "defaults stay out\n" << written;

    ObjectPtr<TComponent> loaded(CreateFromFormResource(written, "rule.form", nullptr));
    auto* copy = As<TcxEditRepositoryComboBoxItem>(loaded->FindComponent("Rule"));
    ASSERT_NE(copy, nullptr) << written;
    auto* read = static_cast<TcxComboBoxProperties*>(copy->Properties());
    EXPECT_EQ(read->DropDownListStyle(), lsFixedList);
    EXPECT_EQ(read->DropDownRows(), 12);
    EXPECT_TRUE(read->ImmediatePost());
    EXPECT_EQ(read->Items()->Count(), 2);
    EXPECT_EQ(read->MaskKind(), emkRegExpr);
    EXPECT_EQ(read->EditMask(), "[A-Za-z ]*");
    EXPECT_EQ(read->Buttons()->Count(), 1) << "the drop-down button is not doubled";
}

TEST(ComboBoxKind, IsRegistered)
{
    cxDropDownEditInitialize();
    cxDropDownEditInitialize();
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    EXPECT_EQ(kinds->FindByClassName("TcxComboBoxProperties"), TcxComboBoxProperties::StaticClass());
    EXPECT_EQ(kinds->GetDescriptionByClass(TcxComboBoxProperties::StaticClass()), "ComboBox");
    cxDropDownEditFinalize();
    cxDropDownEditFinalize();
}

} // namespace
