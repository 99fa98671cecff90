// The image combo box: which item a value shows, the default when none
// has it, hidden descriptions, the image indexes new items take and what a
// form keeps of them, the sizes it asks for, the word-wrapped list, and the
// image as a user sees it in the editor and in the list.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>

#include "components/editor-catalogue/cxImageComboBox.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// A form class of its own, so a written form can be read back into one.
class ImageComboForm : public TForm {
public:
    static TClass StaticClass() { return DefineClass<ImageComboForm, TForm>("TestImageComboForm"); }
    TClass ClassType() const override { return StaticClass(); }
};

constexpr TColor kImageColors[] = {clRed, clLime, clBlue, clYellow};

struct ImageComboTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        cxImageComboBoxInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        images = NewImages(form, 3);
        edit = Add<TcxImageComboBox>(form, "Choice", 10, 10, 200, 24);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        Pump();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxImageComboBoxFinalize();
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
    }
    // Solid 16 x 16 images in the colours above.
    static TImageList* NewImages(TComponent* owner, int count)
    {
        auto* list = CreateObject<TImageList>(owner);
        list->SetName("Pictures");
        auto strip = MakeObject<TBitmap>();
        strip->SetSize(16 * count, 16);
        for (int i = 0; i < count; ++i) {
            strip->Canvas()->Brush()->SetColor(kImageColors[i]);
            const RECT r{16 * i, 0, 16 * (i + 1), 16};
            strip->Canvas()->FillRect(r);
        }
        list->AddMasked(strip.get(), clNone);
        return list;
    }
    TcxImageComboBoxItem* AddItem(const Variant& value, const std::string& description, int image = -2)
    {
        TcxImageComboBoxItem* item = edit->Properties()->Items()->Add();
        item->SetValue(value);
        item->SetDescription(description);
        if (image != -2) item->SetImageIndex(image);
        return item;
    }
    void Shows(const Variant& value, const std::string& text, int image)
    {
        std::string shownText;
        int shownImage = -5;
        edit->Properties()->GetImageComboBoxDisplayValue(value, shownText, shownImage);
        EXPECT_EQ(shownText, text) << VarToStr(value);
        EXPECT_EQ(shownImage, image) << VarToStr(value);
    }
    SIZE ContentSize(TcxCustomEditProperties* properties, const Variant& value)
    {
        auto bitmap = MakeObject<TBitmap>();
        bitmap->SetSize(10, 10);
        bitmap->Canvas()->Font()->Assign(edit->Style()->Font());
        ObjectPtr<TcxCanvas> canvas(CreateObject<TcxCanvas>(bitmap->Canvas()));
        return properties->GetEditContentSize(canvas.get(), edit->Style(), false, value, TcxEditSizeProperties{});
    }
    std::uint32_t EditorPixel(int x, int y) { return Screen().ClientPixel(edit->Handle(), x, y); }

    TImageList* images = nullptr;
    TcxImageComboBox* edit = nullptr;
};

TEST_F(ImageComboTest, IsRegisteredAsAFixedList)
{
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxImageComboBoxProperties"),
              TcxImageComboBoxProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxImageComboBoxProperties::StaticClass()),
              "ImageComboBox");
    EXPECT_EQ(edit->Properties()->DropDownListStyle(), lsFixedList);
    EXPECT_TRUE(edit->Properties()->FixedListSelection());
    EXPECT_TRUE(edit->Properties()->ShowDescriptions());
    EXPECT_EQ(edit->Properties()->DefaultImageIndex(), -1);
}

TEST_F(ImageComboTest, AValueShowsItsFirstItemOrTheDefaults)
{
    edit->Properties()->SetImages(images);
    AddItem(Variant(1), "One", 0);
    AddItem(Variant(2), "Two", 1);
    AddItem(Variant(1), "Again", 2);
    edit->Properties()->SetDefaultDescription("None");
    edit->Properties()->SetDefaultImageIndex(2);
    Shows(Variant(1), "One", 0);  // the first of equal values
    Shows(Variant(2), "Two", 1);
    Shows(Variant(7), "None", 2);
    Shows(Variant::Null(), "None", 2);

    edit->SetEditValue(Variant(1));
    Pump();
    EXPECT_EQ(edit->Text(), "One");
    EXPECT_EQ(edit->LookupData()->CurrentKey(), 0);
    edit->SetEditValue(Variant(7));
    Pump();
    EXPECT_EQ(edit->Text(), "None");
    EXPECT_EQ(edit->LookupData()->CurrentKey(), -1);
}

TEST_F(ImageComboTest, HiddenDescriptionsShowNoTextAndOfferNoSearch)
{
    AddItem(Variant(1), "One");
    TcxImageComboBoxProperties* p = edit->Properties();
    EXPECT_EQ(p->FindItemByText("ONE"), p->Items()->Items(0));
    EXPECT_TRUE(p->GetSupportedOperations().Contains(esoIncSearch));
    p->SetShowDescriptions(false);
    Shows(Variant(1), "", -1);
    EXPECT_EQ(p->FindItemByText("One"), nullptr);
    EXPECT_FALSE(p->FindLookupText("One"));
    EXPECT_FALSE(p->GetSupportedOperations().Contains(esoIncSearch));
    EXPECT_EQ(p->GetDisplayText(Variant(1)), "One") << "the display text still names the item";
    edit->SetEditValue(Variant(1));
    Pump();
    EXPECT_EQ(edit->ViewInfo()->Text, "");
}

TEST_F(ImageComboTest, NewItemsTakeTheirOwnImageWhileTheListHasOne)
{
    edit->Properties()->SetImages(images);  // three images
    for (int i = 0; i < 4; ++i) AddItem(Variant(i), "x");
    const int expected[] = {0, 1, 2, -1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(edit->Properties()->Items()->Items(i)->ImageIndex(), expected[i]) << i;
    edit->Properties()->SetImages(nullptr);
    EXPECT_EQ(AddItem(Variant(9), "y")->ImageIndex(), -1);
}

TEST_F(ImageComboTest, AFormKeepsAnUnsetImageAndOnlyValuesThatAreSet)
{
    RegisterClasses({ImageComboForm::StaticClass(), TcxImageComboBox::StaticClass(),
                     TcxImageComboBoxProperties::StaticClass(), TImageList::StaticClass()});
    auto* source = CreateObject<ImageComboForm>(static_cast<TComponent*>(nullptr));
    source->SetName("Source");
    TImageList* list = NewImages(source, 3);
    auto* written = Add<TcxImageComboBox>(source, "Kind", 10, 10, 150, 24);
    written->Properties()->SetImages(list);
    TcxImageComboBoxItem* first = written->Properties()->Items()->Add();
    first->SetImageIndex(-1);  // took 0 on creation
    first->SetDescription("no picture");
    TcxImageComboBoxItem* second = written->Properties()->Items()->Add();
    second->SetValue(Variant(5));
    const std::string text = WriteFormResource(source);
    source->Free();

    auto* read = CreateObject<ImageComboForm>(static_cast<TComponent*>(nullptr));
    quelvo::sys::ScopeGuard freeRead([read] { read->Free(); });
    ReadFormResource(read, text, "kind.form");
    auto* kind = As<TcxImageComboBox>(read->FindComponent("Kind"));
    ASSERT_NE(kind, nullptr) << text;
    TcxImageComboBoxItems* items = kind->Properties()->Items();
    ASSERT_EQ(items->Count(), 2) << text;
    EXPECT_EQ(items->Items(0)->ImageIndex(), -1) << text;
    EXPECT_TRUE(VarIsNull(items->Items(0)->Value()));
    EXPECT_EQ(items->Items(1)->ImageIndex(), 1);
    EXPECT_EQ(items->Items(1)->Value().AsInteger(), 5);
    EXPECT_EQ(kind->Properties()->Images(), read->FindComponent("Pictures"));
}

TEST_F(ImageComboTest, NoItemChosenIsNull)
{
    AddItem(Variant(3), "Three");
    Variant value(1);
    edit->LookupKeyToEditValue(Variant(-1), value);
    EXPECT_TRUE(VarIsNull(value));
    edit->LookupKeyToEditValue(Variant(0), value);
    EXPECT_EQ(value.AsInteger(), 3);
    edit->SetEditValue(Variant(8));
    edit->PrepareEditValue(Variant(std::string("Three")), value, true);
    EXPECT_TRUE(VarIsNull(value)) << "the key, not the text, decides";
}

TEST_F(ImageComboTest, TheContentMakesRoomForTheImage)
{
    AddItem(Variant(1), "Four");
    // A fixed-list combo box showing the same text.
    auto* plain = CreateObject<TcxComboBoxProperties>(nullptr);
    quelvo::sys::ScopeGuard freePlain([plain] { plain->Free(); });
    plain->SetDropDownListStyle(lsFixedList);
    plain->Items()->Add("Four");
    const SIZE text = ContentSize(plain, Variant(std::string("Four")));
    EXPECT_EQ(ContentSize(edit->Properties(), Variant(1)).cx, text.cx + 1);
    edit->Properties()->SetImages(images);
    EXPECT_EQ(ContentSize(edit->Properties(), Variant(1)).cx, text.cx + 16 + 5);
}

TEST_F(ImageComboTest, TheEditorDrawsTheImageTwoPixelsInAndKeepsItsPlaceWithoutOne)
{
    edit->Properties()->SetImages(images);
    AddItem(Variant(1), "One", 1);
    edit->SetEditValue(Variant(1));
    Pump();
    // The client area starts inside the border and ends at the button; the
    // stand-alone editor's client becomes the text's part of it.
    const RECT client{edit->ViewInfo()->BorderRect.left, 0, edit->ViewInfo()->ClientRect.right, 0};
    const RECT image = edit->ViewInfo()->ImageRect;
    EXPECT_EQ(image.left - client.left, 2);
    const int midY = (image.top + image.bottom) / 2;
    EXPECT_EQ(EditorPixel(image.left, midY), Rgb(ColorToRGB(clLime)));
    EXPECT_EQ(EditorPixel(image.left + 15, midY), Rgb(ColorToRGB(clLime)));
    EXPECT_NE(EditorPixel(image.left - 1, midY), Rgb(ColorToRGB(clLime)));
    EXPECT_NE(EditorPixel(image.left + 16, midY), Rgb(ColorToRGB(clLime)));
    EXPECT_GE(edit->ViewInfo()->TextRect.left, image.right + 2);

    // No item has the value and no default image: nothing drawn, the room kept.
    edit->SetEditValue(Variant(9));
    Pump();
    EXPECT_EQ(edit->ViewInfo()->ImageRect.left, image.left);
    EXPECT_GE(edit->ViewInfo()->TextRect.left, image.right + 2);
    EXPECT_NE(EditorPixel(image.left + 8, midY), Rgb(ColorToRGB(clLime)));

    // Without descriptions the image sits in the middle of the text area.
    edit->Properties()->SetShowDescriptions(false);
    edit->SetEditValue(Variant(1));
    Pump();
    const RECT centred = edit->ViewInfo()->ImageRect;
    EXPECT_EQ(centred.left - client.left, (client.right - client.left - 16) / 2);
    EXPECT_EQ(EditorPixel(centred.left + 8, midY), Rgb(ColorToRGB(clLime)));

    edit->Properties()->SetImageAlign(iaRight);
    edit->Properties()->SetShowDescriptions(true);
    Pump();
    EXPECT_EQ(client.right - edit->ViewInfo()->ImageRect.right, 2);
}

TEST_F(ImageComboTest, TheListShowsEachItemWithItsImage)
{
    edit->Properties()->SetImages(images);
    AddItem(Variant(1), "Red", 0);
    AddItem(Variant(2), "Green", 1);
    AddItem(Variant(3), "Blue", 2);
    edit->SetFocus();
    Pump();
    Screen().PressKey(VK_F4);
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    TcxComboBoxListBox* list = edit->ComboLookupData()->ComboList();
    ASSERT_NE(As<TcxImageComboBoxListBox>(list), nullptr);
    const POINT origin = list->ClientToScreen(POINT{0, 0});
    int top = 0;
    for (int row = 0; row < 3; ++row) {
        const int h = list->GetItemHeight(row);
        EXPECT_EQ(h, 18) << "the image and a pixel above and below";
        // The image starts 3 pixels in: the text edge, then one more.
        EXPECT_EQ(Screen().ScreenPixel(origin.x + 3, origin.y + top + h / 2), Rgb(ColorToRGB(kImageColors[row])))
            << row;
        EXPECT_NE(Screen().ScreenPixel(origin.x + 2, origin.y + top + h / 2), Rgb(ColorToRGB(kImageColors[row])))
            << row;
        top += h;
    }
    EXPECT_GE(list->Width(), As<TcxImageComboBoxListBox>(list)->GetMaxItemWidth());
}

TEST_F(ImageComboTest, WrappedDescriptionsAskForNoWidthAndWrapNarrowerBesideAScrollBar)
{
    edit->Properties()->SetMultiLineText(true);
    edit->SetFocus();
    Pump();
    // As many two-letter words as fill one row of the widest possible list.
    std::string words;
    auto fill = [&](int width) {
        words.clear();
        while (static_cast<int>(words.size() + 3) * 8 <= width) words += words.empty() ? "ab" : " ab";
    };
    AddItem(Variant(0), "short");
    Screen().PressKey(VK_F4);
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->GetPopupWindowClientPreferredSize().cx, 0);
    TcxComboBoxListBox* list = edit->ComboLookupData()->ComboList();
    const int single = list->GetItemHeight(0);
    fill(list->ClientWidth() - 2);
    edit->CloseUp(false);
    Pump();

    edit->Properties()->Items()->Items(0)->SetDescription(words);
    Screen().PressKey(VK_F4);
    Pump();
    EXPECT_EQ(list->GetItemHeight(0), single) << words << " fits one row";
    edit->CloseUp(false);
    Pump();

    edit->Properties()->SetDropDownRows(2);
    for (int i = 1; i < 5; ++i) AddItem(Variant(i), "more");
    Screen().PressKey(VK_F4);
    Pump();
    EXPECT_GT(list->GetItemHeight(0), single) << "a scroll bar takes its width from the rows";
    edit->CloseUp(false);
    Pump();
}

}  // namespace
