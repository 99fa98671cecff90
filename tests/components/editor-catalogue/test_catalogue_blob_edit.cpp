// The BLOB editor: what a cell of each kind shows, which kind bekAuto comes
// to for a field without changing the property, and the drop-down memo and
// picture as a user opens, edits, accepts or cancels them.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>

#include "components/editor-catalogue/cxBlobEdit.h"
#include "components/editors/cxEditConsts.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// A field that says what it holds.
class FieldProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<FieldProvider, TcxCustomEditDefaultValuesProvider>("TestBlobFieldProvider");
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxBlobKind DefaultBlobKind() override { return kind; }
    bool IsBlob() override { return blob; }
    TcxBlobKind kind = bkMemo;
    bool blob = false;
};

// A 40 x 30 bitmap's file data, red at the top left.
std::string BitmapData(int width = 40, int height = 30)
{
    ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(clLime);
    bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(RECT{0, 0, 4, 4});
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

struct BlobEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        cxBlobEditInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        edit = NewEdit(bekMemo);
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxBlobEditFinalize();
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
    }
    TcxBlobEdit* NewEdit(TcxBlobEditKind kind, int top = 10)
    {
        auto* e = Add<TcxBlobEdit>(form, "Blob" + std::to_string(++count), 10, top, 160, 24);
        e->Style()->LookAndFeel()->SetKind(lfStandard);
        e->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        e->Style()->Font()->SetHeight(-16);
        e->Properties()->SetBlobEditKind(kind);
        Pump();
        return e;
    }
    void Open(TcxBlobEdit* e)
    {
        e->SetFocus();
        Pump();
        e->DropDown();
        Pump();
        ASSERT_TRUE(e->DroppedDown());
        ASSERT_NE(e->PopupEditor(), nullptr);
    }
    TcxPopupMemo* Memo() { return As<TcxPopupMemo>(edit->PopupEditor()); }
    // Types into the open memo: at its end, then the text.
    void TypeInMemo(const std::string& text)
    {
        Memo()->SetSelStart(static_cast<int>(Memo()->Text().size()));
        Screen().TypeText(text);
        Pump();
    }
    int IconIndex(TcxCustomBlobEditProperties* p, const Variant& value)
    {
        ObjectPtr<TcxCustomEditViewData> data(p->CreateViewData(edit->Style(), true));
        ObjectPtr<TcxBlobEditViewInfo> info = MakeObject<TcxBlobEditViewInfo>();
        data->EditValueToDrawValue(edit->Canvas(), value, info.get());
        return info->ImageIndex;
    }

    TcxBlobEdit* edit = nullptr;
    int count = 0;
};

TEST_F(BlobEditTest, IsRegisteredWithItsDefaults)
{
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    TClass kind = kinds->FindByClassName("TcxBlobEditProperties");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kinds->GetDescriptionByClass(kind), "BlobEdit");
    EXPECT_EQ(kinds->GetHintByClass(kind), "Represents the BLOB editor");
    ObjectPtr<TcxBlobEditProperties> p = MakeObject<TcxBlobEditProperties>(nullptr);
    EXPECT_EQ(p->BlobEditKind(), bekAuto);
    EXPECT_EQ(p->BlobPaintStyle(), bpsIcon);
    EXPECT_TRUE(p->AlwaysSaveData());
    EXPECT_TRUE(p->ImmediatePopup());
    EXPECT_TRUE(p->DropDownOnClick());
    EXPECT_EQ(p->PopupMinWidth(), 160);
    EXPECT_EQ(p->PopupMinHeight(), 140);
    EXPECT_TRUE(p->MemoWantReturns());
    EXPECT_TRUE(p->MemoWantTabs());
    EXPECT_EQ(p->PictureGraphicClassName(), "TBitmap");
    EXPECT_FALSE(p->IsPictureGraphicClassNameStored());
    p->SetPictureGraphicClassName("TNoSuchGraphic");
    EXPECT_EQ(p->PictureGraphicClassName(), "TBitmap") << "an unknown name changes nothing";
    p->SetPictureGraphicClassName("");
    EXPECT_EQ(p->PictureGraphicClass(), nullptr);
    EXPECT_TRUE(p->IsPictureGraphicClassNameStored());
}

TEST_F(BlobEditTest, CellTextsByKindAndPaintStyle)
{
    TcxBlobEditProperties* p = edit->Properties();
    const std::string longText = "\t  " + std::string(100, 'a');
    struct Case {
        TcxBlobEditKind kind;
        TcxBlobPaintStyle style;
        Variant value;
        std::string cell, display;
    } cases[] = {
        {bekMemo, bpsDefault, Variant::Null(), "(memo)", ""},
        {bekMemo, bpsDefault, Variant("x"), "(MEMO)", "(MEMO)"},
        {bekPict, bpsDefault, Variant::Null(), "(picture)", ""},
        {bekPict, bpsDefault, Variant("data"), "(PICTURE)", "(PICTURE)"},
        {bekOle, bpsDefault, Variant("data"), "", "OLE"},
        {bekBlob, bpsDefault, Variant("data"), "", "BLOB"},
        {bekMemo, bpsText, Variant(" \t one\r\ntwo\tthree"), "one  two three", "one  two three"},
        {bekMemo, bpsText, Variant(longText), std::string(80, 'a'), std::string(80, 'a')},
        {bekPict, bpsText, Variant("data"), "", "(PICTURE)"},
        {bekMemo, bpsIcon, Variant("x"), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell + "|" + c.display);
        p->SetBlobEditKind(c.kind);
        p->SetBlobPaintStyle(c.style);
        EXPECT_EQ(GetBlobText(c.value, p, false), c.cell);
        EXPECT_EQ(p->GetDisplayText(c.value), c.display);
    }
    p->SetBlobEditKind(bekMemo);
    EXPECT_EQ(p->GetDisplayText(Variant(" a\tb"), true), " a\tb") << "the full text is the memo's own";

    p->SetBlobPaintStyle(bpsText);
    EXPECT_TRUE(p->CompareDisplayValues(Variant("Abc"), Variant("Abc")));
    EXPECT_FALSE(p->CompareDisplayValues(Variant("Abc"), Variant("abc"))) << "letter case differs";
    p->SetBlobPaintStyle(bpsIcon);
    EXPECT_FALSE(p->CompareDisplayValues(Variant("Abc"), Variant("Abc")));
}

TEST_F(BlobEditTest, IconIndexIsTwiceTheKindRowPlusOneForAValue)
{
    TcxBlobEditProperties* p = edit->Properties();
    struct Case {
        TcxBlobEditKind kind;
        int empty, full;
    } cases[] = {{bekBlob, 0, 1}, {bekMemo, 2, 3}, {bekPict, 4, 5}, {bekOle, 6, 7}};
    for (const Case& c : cases) {
        p->SetBlobEditKind(c.kind);
        EXPECT_EQ(IconIndex(p, Variant::Null()), c.empty) << c.kind;
        EXPECT_EQ(IconIndex(p, Variant("v")), c.full) << c.kind;
    }
    p->SetBlobPaintStyle(bpsDefault);
    EXPECT_EQ(IconIndex(p, Variant("v")), -1) << "a text style draws no icon";
    EXPECT_EQ(cxBlobEditIcons()->Count(), 8);
    EXPECT_EQ(cxBlobEditIcons()->Width(), 18);
    EXPECT_EQ(cxBlobEditIcons()->Height(), 16);
}

TEST_F(BlobEditTest, AutoKindFollowsTheCurrentFieldAndStaysAuto)
{
    ObjectPtr<TcxBlobEditProperties> p = MakeObject<TcxBlobEditProperties>(nullptr);
    EXPECT_EQ(p->ActiveBlobEditKind(), bekBlob) << "no field: opaque data";
    EXPECT_EQ(p->GetDisplayText(Variant("v")), "BLOB");
    EXPECT_EQ(p->Buttons()->Items(0)->Kind(), bkEllipsis);
    EXPECT_EQ(IconIndex(p.get(), Variant("v")), 1);

    ObjectPtr<FieldProvider> memoField = MakeObject<FieldProvider>();
    p->SetIDefaultValuesProvider(memoField.get());
    EXPECT_EQ(p->ActiveBlobEditKind(), bekMemo);
    EXPECT_EQ(IconIndex(p.get(), Variant("v")), 3);
    EXPECT_EQ(p->Buttons()->Items(0)->Kind(), bkDown) << "the button follows the field";
    EXPECT_EQ(p->BlobEditKind(), bekAuto) << "painting stores no kind";
    EXPECT_EQ(p->GetEditValueSource(false), evsText);
    memoField->blob = true;
    EXPECT_EQ(p->GetEditValueSource(false), evsValue);

    ObjectPtr<FieldProvider> pictureField = MakeObject<FieldProvider>();
    pictureField->kind = bkGraphic;
    p->SetIDefaultValuesProvider(pictureField.get());
    EXPECT_EQ(p->ActiveBlobEditKind(), bekPict) << "the next field decides again";
    EXPECT_EQ(IconIndex(p.get(), Variant::Null()), 4);
    pictureField->kind = bkOle;
    EXPECT_EQ(IconIndex(p.get(), Variant::Null()), 6);
    EXPECT_EQ(p->Buttons()->Items(0)->Kind(), bkEllipsis);
    p->SetIDefaultValuesProvider(nullptr);
    EXPECT_EQ(p->BlobEditKind(), bekAuto);

    // A stand-alone editor's own provider holds a memo.
    TcxBlobEdit* e = NewEdit(bekAuto, 50);
    EXPECT_EQ(e->ActiveProperties()->ActiveBlobEditKind(), bekMemo);
    Open(e);
    EXPECT_NE(As<TcxPopupMemo>(e->PopupEditor()), nullptr);
    e->CloseUp(false);
    Pump();
    EXPECT_EQ(e->Properties()->BlobEditKind(), bekAuto);
    // Opaque data has no drop-down.
    e->Properties()->SetBlobEditKind(bekOle);
    e->DropDown();
    Pump();
    EXPECT_FALSE(e->DroppedDown());
    EXPECT_EQ(e->PopupEditor(), nullptr);
}

TEST_F(BlobEditTest, TheMemoOpensWithTheValueAndOKWaitsForAChange)
{
    edit->SetEditValue(Variant("first"));
    Open(edit);
    ASSERT_NE(Memo(), nullptr);
    EXPECT_EQ(Memo()->Text(), "first");
    EXPECT_EQ(edit->Text(), "first");
    ASSERT_NE(edit->OKButton(), nullptr);
    ASSERT_NE(edit->CancelButton(), nullptr);
    EXPECT_EQ(edit->CancelButton()->Caption(), "&Cancel");
    EXPECT_FALSE(edit->OKButton()->Enabled());
    EXPECT_EQ(edit->OKButton()->Width(), edit->CancelButton()->Width());
    EXPECT_LT(edit->OKButton()->Left(), edit->CancelButton()->Left());
    EXPECT_EQ(edit->OKButton()->Top(), edit->CancelButton()->Top());
    TypeInMemo("!");
    EXPECT_TRUE(edit->OKButton()->Enabled());
    EXPECT_TRUE(edit->OKButton()->Default());
    ClickAt(edit->OKButton(), 5, 5);
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->PopupEditor(), nullptr) << "the drop-down's controls go with it";
    EXPECT_EQ(edit->OKButton(), nullptr);
    EXPECT_EQ(VarToStr(edit->EditValue()), "first!");
    EXPECT_TRUE(edit->ModifiedAfterEnter());
}

TEST_F(BlobEditTest, KeysInTheMemoAcceptOrCancel)
{
    struct Case {
        const char* name;
        int modifier;
        WORD key;
        bool alwaysSave, wantReturns;
        bool kept;
        bool closes;
    } cases[] = {
        {"F4 saving", 0, VK_F4, true, true, true, true},
        {"F4 not saving", 0, VK_F4, false, true, false, true},
        {"Alt+Up saving", VK_MENU, VK_UP, true, true, true, true},
        {"Alt+Down not saving", VK_MENU, VK_DOWN, false, true, false, true},
        {"Esc", 0, VK_ESCAPE, true, true, false, true},
        {"Ctrl+Enter", VK_CONTROL, VK_RETURN, false, true, true, true},
        {"Enter without returns", 0, VK_RETURN, false, false, true, true},
        {"Enter with returns", 0, VK_RETURN, false, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->Properties()->SetAlwaysSaveData(c.alwaysSave);
        edit->Properties()->SetMemoWantReturns(c.wantReturns);
        edit->SetEditValue(Variant("ab"));
        Open(edit);
        TypeInMemo("c");
        if (c.modifier) KeyWith(c.modifier, c.key);
        else Key(c.key);
        Pump();
        EXPECT_EQ(edit->DroppedDown(), !c.closes);
        if (!c.closes) {
            EXPECT_EQ(Memo()->Text(), "abc\r\n") << "Enter breaks the line";
            edit->CloseUp(false);
            Pump();
            continue;
        }
        EXPECT_EQ(VarToStr(edit->EditValue()), c.kept ? "abc" : "ab");
    }
}

TEST_F(BlobEditTest, AReadOnlyEditorOpensWithCloseOnly)
{
    edit->Properties()->SetReadOnly(true);
    edit->SetEditValue(Variant("text"));
    Open(edit);
    EXPECT_EQ(edit->OKButton(), nullptr);
    ASSERT_NE(edit->CancelButton(), nullptr);
    EXPECT_EQ(edit->CancelButton()->Caption(), "&Close");
    EXPECT_TRUE(Memo()->ActiveProperties()->ReadOnly());
    TypeInMemo("x");
    EXPECT_EQ(Memo()->Text(), "text");
    ClickAt(edit->CancelButton(), 5, 5);
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(VarToStr(edit->EditValue()), "text");
}

TEST_F(BlobEditTest, ATypedCharacterOpensTheMemoAndMayReplaceItsText)
{
    for (bool replace : {true, false}) {
        SCOPED_TRACE(replace);
        edit->Properties()->SetMemoAutoReplace(replace);
        edit->SetEditValue(Variant("old"));
        edit->SetFocus();
        Pump();
        Screen().TypeText("k");
        Pump();
        ASSERT_TRUE(edit->DroppedDown());
        ASSERT_NE(Memo(), nullptr);
        if (replace) {
            EXPECT_EQ(Memo()->Text(), "k");
            EXPECT_EQ(Memo()->SelStart(), 1);
        } else {
            EXPECT_EQ(Memo()->Text().find('k') == std::string::npos, false) << Memo()->Text();
            EXPECT_NE(Memo()->Text(), "k");
        }
        Key(VK_ESCAPE);
        EXPECT_FALSE(edit->DroppedDown());
        EXPECT_EQ(VarToStr(edit->EditValue()), "old");
    }
}

TEST_F(BlobEditTest, APictureOpensInAnImageEditorSizedToIt)
{
    TcxBlobEdit* e = NewEdit(bekPict, 50);
    e->SetEditValue(Variant(BitmapData(200, 150)));
    Open(e);
    auto* image = As<TcxPopupImage>(e->PopupEditor());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Picture()->Width(), 200);
    EXPECT_TRUE(image->Properties()->Stretch());
    EXPECT_FALSE(image->Properties()->ShowFocusRect());
    EXPECT_GE(e->PopupWindow()->ClientWidth(), 204);
    EXPECT_FALSE(e->OKButton()->Enabled());
    // Cut by its key, then Enter accepts in the image.
    KeyWith(VK_SHIFT, VK_DELETE);
    EXPECT_TRUE(e->OKButton()->Enabled());
    bool assigned = false;
    e->Properties()->OnAssignPicture =
        TcxImageAssignPictureEvent::FromFunction([&](TObject*, TPicture*) { assigned = true; });
    Key(VK_RETURN);
    EXPECT_FALSE(e->DroppedDown());
    EXPECT_TRUE(VarIsNull(e->EditValue()));
    EXPECT_TRUE(assigned);

    // Undecodable data opens an empty picture and Esc keeps the value.
    e->SetEditValue(Variant(std::string("not a picture at all")));
    Open(e);
    EXPECT_TRUE(IsPictureEmpty(As<TcxPopupImage>(e->PopupEditor())->Picture()));
    Key(VK_ESCAPE);
    EXPECT_EQ(VarToStr(e->EditValue()), "not a picture at all");
}

// ---- as a user sees it ---------------------------------------------------------------------------

TEST_F(BlobEditTest, TheClosedEditorShowsItsIconCentredOrItsWord)
{
    TcxBlobEdit* e = NewEdit(bekMemo, 60);
    e->SetEditValue(Variant("x"));
    Pump();
    auto* info = static_cast<TcxBlobEditViewInfo*>(e->ViewInfo());
    const RECT& c = info->ClientRect;
    const RECT& icon = info->IconRect;
    EXPECT_EQ(icon.left - c.left, (c.right - c.left - 18) / 2);
    EXPECT_EQ(icon.top - c.top, (c.bottom - c.top - 16) / 2);
    // The full memo icon: a white page with black lines; no olive mask shows.
    const std::uint32_t olive = 0x808000, white = 0xFFFFFF, black = 0;
    int whites = 0, blacks = 0, olives = 0;
    for (int y = icon.top; y < icon.bottom; ++y)
        for (int x = icon.left; x < icon.right; ++x) {
            const std::uint32_t px = Screen().ClientPixel(e->Handle(), x, y);
            whites += px == white;
            blacks += px == black;
            olives += px == olive;
        }
    EXPECT_GT(whites, 40);
    EXPECT_GT(blacks, 20);
    EXPECT_EQ(olives, 0) << "the mask colour is transparent";
    // Left of the icon is plain background.
    EXPECT_EQ(Screen().ClientPixel(e->Handle(), c.left + 3, (c.top + c.bottom) / 2),
              Rgb(ColorToRGB(e->Style()->GetColor())));

    // The default style writes its word instead, in the text colour.
    e->Properties()->SetBlobPaintStyle(bpsDefault);
    Pump();
    EXPECT_EQ(info->ImageIndex, -1);
    int ink = 0;
    for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.left + 6 * 8; ++x) ink += Screen().ClientPixel(e->Handle(), x, y) == Rgb(ColorToRGB(clWindowText));
    EXPECT_GT(ink, 30) << "\"(MEMO)\" is written";
}

TEST_F(BlobEditTest, TheOpenDropDownShowsTheMemoAndItsButtons)
{
    edit->SetEditValue(Variant("WWWW"));
    Open(edit);
    TcxCustomEditPopupWindow* popup = edit->PopupWindow();
    ASSERT_TRUE(popup->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    TcxPopupMemo* memo = Memo();
    EXPECT_EQ(memo->Parent(), popup);
    EXPECT_LT(memo->Top() + memo->Height(), edit->CancelButton()->Top() + 1) << "the buttons lie below the memo";
    // The memo's text is inked in the popup's memo area.
    const POINT origin = memo->ClientToScreen(POINT{0, 0});
    const POINT popupOrigin = popup->ClientToScreen(POINT{0, 0});
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ink += Screen().ClientPixel(popup->Handle(), origin.x - popupOrigin.x + x, origin.y - popupOrigin.y + y) ==
                   Rgb(ColorToRGB(clWindowText));
    EXPECT_GT(ink, 20);
    // The cancel button shows its face inside the system panel.
    TcxButton* cancel = edit->CancelButton();
    EXPECT_TRUE(IsWindowVisible(cancel->Handle()));
    EXPECT_LE(cancel->Left() + cancel->Width(), popup->ClientWidth());
    EXPECT_LE(cancel->Top() + cancel->Height(), popup->ClientHeight());
}

}  // namespace
