// The image editor: what a value's bytes become (header, short, foreign
// and undecodable data), the graphic class chosen by name, the picture as
// a user sees it stretched and centred, the clipboard commands and keys,
// and the popup menu with its items enabled by the picture and the class.
#include "tests/components/editors/editor_form_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxImage.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// The file data of a w x h picture of one colour in the class's format.
std::string Encoded(TClass graphicClass, int w, int h, TColor color)
{
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(w, h);
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(RECT{0, 0, w, h});
    ObjectPtr<TGraphic> graphic(CreateInstance<TGraphic>(graphicClass));
    graphic->Assign(bitmap.get());
    TMemoryStream stream;
    graphic->SaveToStream(stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

std::string WithHeader(const std::string& data, std::uint32_t length)
{
    std::string header{'\x01', '\x00', '\x00', '\x01'};
    for (int i = 0; i < 4; ++i) header += static_cast<char>((length >> (8 * i)) & 0xFF);
    return header + data;
}

struct ImageTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxImageInitialize();
        edit = Add<TcxImage>(form, "Picture", 10, 10, 100, 100);
        edit->Style()->SetBorderStyle(ebsNone);
        edit->Style()->SetColor(clAqua);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        Pump();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        Clipboard()->Clear();
        cxImageFinalize();
        EditorFormTest::TearDown();
    }
    std::uint32_t Pixel(int x, int y) { return Screen().ClientPixel(edit->Handle(), x, y); }
    TPicture* Picture() { return edit->Picture(); }

    TcxImage* edit = nullptr;
};

TEST_F(ImageTest, IsRegisteredWithItsDefaults)
{
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxImageProperties"), TcxImageProperties::StaticClass());
    EXPECT_EQ(edit->Properties()->GraphicClass(), TBitmap::StaticClass());
    EXPECT_TRUE(edit->Properties()->Center());
    EXPECT_FALSE(edit->Properties()->Stretch());
    const std::vector<TClass> expected{TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(),
                                       TJPEGImage::StaticClass(), TPngImage::StaticClass()};
    EXPECT_EQ(GetRegisteredGraphicClasses(), expected);
    EXPECT_EQ(edit->Properties()->GetDisplayText(Variant::Null()), "");
    edit->Properties()->SetCaption("(picture)");
    EXPECT_EQ(edit->Properties()->GetDisplayText(Variant(std::string("x"))), "(picture)");
}

TEST_F(ImageTest, ValuesDecodeByTheirClassAndBadOnesGiveAnEmptyPicture)
{
    const std::string bmp = Encoded(TBitmap::StaticClass(), 3, 2, clRed);
    struct Case {
        const char* name;
        TClass graphicClass;
        Variant value;
        int width;  // 0: empty
    };
    const Case cases[] = {
        {"bitmap", TBitmap::StaticClass(), Variant(bmp), 3},
        {"header", TBitmap::StaticClass(), Variant(WithHeader(bmp, static_cast<std::uint32_t>(bmp.size()))), 3},
        {"header, wrong length", TBitmap::StaticClass(),
         Variant(WithHeader(bmp, static_cast<std::uint32_t>(bmp.size() + 1))), 0},
        {"png", TPngImage::StaticClass(), Variant(Encoded(TPngImage::StaticClass(), 5, 4, clLime)), 5},
        {"jpeg", TJPEGImage::StaticClass(), Variant(Encoded(TJPEGImage::StaticClass(), 8, 8, clBlue)), 8},
        {"icon", TIcon::StaticClass(), Variant(Encoded(TIcon::StaticClass(), 16, 16, clBlue)), 16},
        {"no class: bitmap", nullptr, Variant(bmp), 3},
        {"no class: jpeg", nullptr, Variant(Encoded(TJPEGImage::StaticClass(), 8, 8, clBlue)), 0},
        {"seven bytes", TBitmap::StaticClass(), Variant(std::string("BM12345")), 0},
        {"garbage", TBitmap::StaticClass(), Variant(std::string(40, 'x')), 0},
        {"number", TBitmap::StaticClass(), Variant(5), 0},
        {"wide string", TBitmap::StaticClass(), Variant::FromOleStr("BM0123456789"), 0},
    };
    for (const Case& c : cases) {
        edit->Properties()->SetGraphicClass(c.graphicClass);
        edit->SetEditValue(Variant(bmp));  // something to clear
        edit->SetEditValue(c.value);
        EXPECT_EQ(Picture()->Width(), c.width) << c.name;
        EXPECT_EQ(VarIsNull(edit->EditValue()), c.width == 0) << c.name;
        EXPECT_FALSE(edit->ModifiedAfterEnter()) << c.name;
    }
    // What the editor gives back reads again as the same picture, headerless.
    edit->Properties()->SetGraphicClass(TPngImage::StaticClass());
    edit->SetEditValue(Variant(Encoded(TPngImage::StaticClass(), 5, 4, clLime)));
    const std::string saved = VarToStr(edit->EditValue());
    EXPECT_EQ(saved.compare(1, 3, "PNG"), 0);
    edit->SetEditValue(Variant(saved));
    EXPECT_EQ(Picture()->Width(), 5);
}

TEST_F(ImageTest, GraphicClassNameTakesKnownNamesAndStoresTheEmptyOne)
{
    TcxImageProperties* p = edit->Properties();
    p->SetGraphicClassName("tjpegimage");
    EXPECT_EQ(p->GraphicClass(), TJPEGImage::StaticClass());
    p->SetGraphicClassName("TNoSuchGraphic");
    EXPECT_EQ(p->GraphicClass(), TJPEGImage::StaticClass());
    EXPECT_TRUE(p->IsGraphicClassNameStored());
    p->SetGraphicClassName("");
    EXPECT_EQ(p->GraphicClass(), nullptr);
    EXPECT_EQ(p->GraphicClassName(), "");
    p->SetGraphicClassName("TBitmap");
    EXPECT_FALSE(p->IsGraphicClassNameStored());

    int asked = 0;
    p->SetGraphicClass(nullptr);
    edit->OnGetGraphicClass = TcxImageEditGraphicClassEvent::FromFunction([&](TObject*, bool, TClass& c) {
        ++asked;
        c = TJPEGImage::StaticClass();
    });
    edit->SetEditValue(Variant(Encoded(TJPEGImage::StaticClass(), 8, 8, clBlue)));
    EXPECT_EQ(Picture()->Width(), 8) << "the handler chose JPEG";
    EXPECT_EQ(asked, 1);
}

TEST_F(ImageTest, AStretchedPictureKeepsItsProportions)
{
    // A 200 x 100 picture in a 96 x 96 client area: 96 x 48 at the top, or
    // in the middle with Center; the background below (and above).
    for (const bool center : {false, true}) {
        edit->Properties()->SetStretch(true);
        edit->Properties()->SetCenter(center);
        edit->SetEditValue(Variant(Encoded(TBitmap::StaticClass(), 200, 100, clRed)));
        Pump();
        const RECT k = edit->ViewInfo()->ClientRect;
        ASSERT_EQ(k.right - k.left, 96);
        ASSERT_EQ(k.bottom - k.top, 96);
        const int top = k.top + (center ? 24 : 0);
        const std::uint32_t red = Rgb(ColorToRGB(clRed)), aqua = Rgb(ColorToRGB(clAqua));
        for (int x : {k.left, k.left + 48, k.right - 1}) {
            EXPECT_EQ(Pixel(x, top), red) << center << " " << x;
            EXPECT_EQ(Pixel(x, top + 47), red) << center << " " << x;
            EXPECT_EQ(Pixel(x, top + 48), aqua) << center << " " << x;
            if (center) {
                EXPECT_EQ(Pixel(x, top - 1), aqua) << x;
            }
        }
    }
}

TEST_F(ImageTest, APictureLargerThanTheEditorScrollsByEightPixels)
{
    // 300 x 200, red, with a black column at x = 20 and a black row at y = 20.
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(300, 200);
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(RECT{0, 0, 300, 200});
    bitmap->Canvas()->Brush()->SetColor(clBlack);
    bitmap->Canvas()->FillRect(RECT{20, 0, 21, 200});
    bitmap->Canvas()->FillRect(RECT{0, 20, 300, 21});
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    edit->Properties()->SetCenter(false);
    edit->SetEditValue(Variant(std::string(stream.Bytes().begin(), stream.Bytes().end())));
    Pump();
    TcxControlScrollBar* h = edit->HScrollBar();
    TcxControlScrollBar* v = edit->VScrollBar();
    ASSERT_TRUE(h->Visible());
    ASSERT_TRUE(v->Visible());
    const RECT k = edit->ViewInfo()->ClientRect;
    EXPECT_LE(k.right, v->Left()) << "the picture is not drawn under the bar";
    EXPECT_LE(k.bottom, h->Top());
    const std::uint32_t black = 0, red = Rgb(ColorToRGB(clRed));
    EXPECT_EQ(Pixel(k.left + 20, k.top + 50), black);
    EXPECT_EQ(Pixel(k.left + 50, k.top + 20), black);

    // One click on each bar's far arrow moves the picture by 8.
    ClickAt(h, h->Width() - 3, h->Height() / 2);
    ClickAt(v, v->Width() / 2, v->Height() - 3);
    EXPECT_EQ(h->Position(), 8);
    EXPECT_EQ(v->Position(), 8);
    EXPECT_EQ(Pixel(k.left + 12, k.top + 50), black);
    EXPECT_EQ(Pixel(k.left + 20, k.top + 50), red);
    EXPECT_EQ(Pixel(k.left + 50, k.top + 12), black);
    EXPECT_EQ(Pixel(k.left + 50, k.top + 20), red);

    // Scrolling stops where the picture's far edge meets the client's.
    for (int i = 0; i < 60; ++i) ClickAt(h, h->Width() - 3, h->Height() / 2);
    EXPECT_EQ(h->Position(), 300 - (k.right - k.left));
    EXPECT_EQ(edit->ViewInfo()->TopLeft.x, h->Position());

    // A new picture starts at the top left; a centred or stretched one has no bars.
    edit->SetEditValue(Variant(std::string(stream.Bytes().begin(), stream.Bytes().end())));
    Pump();
    EXPECT_EQ(h->Position(), 0);
    EXPECT_EQ(Pixel(k.left + 20, k.top + 50), black);
    edit->Properties()->SetStretch(true);
    Pump();
    EXPECT_FALSE(h->Visible());
    EXPECT_FALSE(v->Visible());
}

TEST_F(ImageTest, ClipboardCommandsAndTheirKeys)
{
    edit->SetEditValue(Variant(Encoded(TBitmap::StaticClass(), 4, 3, clRed)));
    edit->SetFocus();
    Pump();
    KeyWith(VK_CONTROL, VK_INSERT);
    Pump();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE()));
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_PICTURE()));
    KeyWith(VK_SHIFT, VK_DELETE);  // cut
    Pump();
    EXPECT_TRUE(IsPictureEmpty(Picture()));
    EXPECT_TRUE(edit->ModifiedAfterEnter()) << "the user changed it";
    KeyWith(VK_SHIFT, VK_INSERT);
    Pump();
    EXPECT_EQ(Picture()->Width(), 4);

    // Pasting with the JPEG class stores JPEG data.
    edit->Properties()->SetGraphicClass(TJPEGImage::StaticClass());
    edit->PasteFromClipboard();
    EXPECT_NE(As<TJPEGImage>(Picture()->Graphic()), nullptr);
    EXPECT_EQ(VarToStr(edit->EditValue()).substr(0, 2), "\xFF\xD8");

    // An icon cannot be pasted; a read-only editor changes nothing.
    edit->Properties()->SetGraphicClass(TIcon::StaticClass());
    EXPECT_FALSE(edit->CanPasteFromClipboard());
    edit->Properties()->SetGraphicClass(TBitmap::StaticClass());
    edit->Properties()->SetReadOnly(true);
    edit->SetModifiedAfterEnter(false);  // no edit under way
    edit->Clear();
    EXPECT_FALSE(IsPictureEmpty(Picture()));
}

TEST_F(ImageTest, TheContextKeyShowsTheMenuAtTenTenWithItsItemsEnabledByThePicture)
{
    std::vector<std::pair<std::string, bool>> items;
    POINT at{};
    TPopupMenu::SetTracker([&](TPopupMenu* menu, int x, int y) -> TMenuItem* {
        at = POINT{x, y};
        items.clear();
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            if (item->Visible()) items.emplace_back(item->Caption(), item->Enabled());
        }
        return nullptr;
    });
    edit->SetFocus();
    Pump();
    Key(VK_APPS);
    Pump();
    const POINT expected = edit->ClientToScreen(POINT{10, 10});
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    using Items = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(items, (Items{{"Cu&t", false}, {"&Copy", false}, {"&Paste", false}, {"&Delete", false},
                            {"-", true}, {"&Load...", true}, {"Save &As...", false}}));

    edit->SetEditValue(Variant(Encoded(TBitmap::StaticClass(), 4, 3, clRed)));
    edit->Properties()->SetGraphicClass(TIcon::StaticClass());
    edit->Properties()->PopupMenuLayout()->SetMenuItems({pmiCut, pmiCopy, pmiSave, pmiCustom});
    edit->Properties()->PopupMenuLayout()->SetCustomMenuItemCaption("Rotate");
    Key(VK_APPS);
    Pump();
    EXPECT_EQ(items, (Items{{"Cu&t", false}, {"&Copy", false}, {"-", true}, {"Save &As...", true}, {"-", true},
                            {"Rotate", true}}));

    // Choosing Delete clears the picture.
    edit->Properties()->SetGraphicClass(TBitmap::StaticClass());
    edit->Properties()->PopupMenuLayout()->SetMenuItems({pmiDelete});
    TPopupMenu::SetTracker([](TPopupMenu* menu, int, int) { return menu->Items()->Items(3); });
    Key(VK_APPS);
    Pump();
    EXPECT_TRUE(IsPictureEmpty(Picture()));
}

TEST_F(ImageTest, TheMenuShowsItsImagesAndTheCustomGlyph)
{
    TCustomImageList* images = cxImageMenuImages();
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 6);
    EXPECT_EQ(images->Width(), 16);
    // A menu item draws its own glyph where an image would go.
    auto* item = CreateObject<TMenuItem>(static_cast<TComponent*>(nullptr));
    quelvo::sys::ScopeGuard freeItem([item] { item->Free(); });
    item->SetCaption("Rotate");
    item->Bitmap()->SetSize(16, 16);
    item->Bitmap()->Canvas()->Brush()->SetColor(clLime);
    item->Bitmap()->Canvas()->FillRect(RECT{0, 0, 16, 16});
    auto target = MakeObject<TBitmap>();
    target->SetSize(120, 20);
    item->DrawItem(target->Canvas(), RECT{0, 0, 120, 20}, false);
    EXPECT_EQ(ColorToRGB(target->Canvas()->Pixel(2 + 8, 10)), ColorToRGB(clLime));
    EXPECT_NE(ColorToRGB(target->Canvas()->Pixel(1, 10)), ColorToRGB(clLime));
}

}  // namespace
