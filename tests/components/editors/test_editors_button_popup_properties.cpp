// Button editor and popup editor properties: the default buttons and what a
// form stores instead, the popup editor's sizes, the popup control and its
// release, copying, the 3-D frame of the popup editor's window and the
// registered kinds.
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxPopupEdit.h"

#include <gtest/gtest.h>

#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxTextEditLookup.h"
#include "components/foundation/cxGraphics.h"
#include "fixed_locale.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/system/scope_guard.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using quelvo::gfx::test::Canvas;

namespace {

class PropertiesForm : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<PropertiesForm, TComponent>("TestPropertiesForm"); }
    TClass ClassType() const override { return StaticClass(); }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
};

TEST(ButtonEditProperties, OneEllipsisButtonUnlessTheFormStoresOthers)
{
    ScopedFormatSettings locale{FixedEnglishLocale()};
    auto properties = MakeObject<TcxButtonEditProperties>(nullptr);
    ASSERT_EQ(properties->Buttons()->Count(), 1);
    EXPECT_EQ(properties->Buttons()->Items(0)->Kind(), bkEllipsis);
    EXPECT_FALSE(properties->Buttons()->Items(0)->Default()) << "no default button at run time";
    EXPECT_TRUE(properties->GetSupportedOperations().Contains(esoHotTrack));
    EXPECT_EQ(properties->ClickKey(), 16397);
    EXPECT_TRUE(properties->ValidateOnEnter());

    RegisterClasses({PropertiesForm::StaticClass(), TcxEditRepositoryButtonItem::StaticClass(),
                     TcxButtonEditProperties::StaticClass()});
    auto form = MakeObject<PropertiesForm>(nullptr);
    auto* item = CreateObject<TcxEditRepositoryButtonItem>(form.get());
    item->SetName("Browse");
    auto* stored = static_cast<TcxButtonEditProperties*>(item->Properties());
    stored->Buttons()->Items(0)->SetKind(bkText);
    stored->Buttons()->Items(0)->SetCaption("Go");
    static_cast<TcxEditButton*>(stored->Buttons()->Add())->SetKind(bkGlyph);
    stored->SetHideCursor(true);
    const std::string written = WriteFormResource(form.get());
    EXPECT_EQ(written.find("HideCursor ="), std::string::npos) << "never stored\n" << written;

    ObjectPtr<TComponent> loaded(CreateFromFormResource(written, "browse.form", nullptr));
    auto* copy = As<TcxEditRepositoryButtonItem>(loaded->FindComponent("Browse"));
    ASSERT_NE(copy, nullptr) << written;
    TcxEditButtons* buttons = copy->Properties()->Buttons();
    ASSERT_EQ(buttons->Count(), 2) << written;
    EXPECT_EQ(buttons->Items(0)->Kind(), bkText);
    EXPECT_EQ(buttons->Items(0)->Caption(), "Go");
    EXPECT_EQ(buttons->Items(1)->Kind(), bkGlyph);
}

TEST(PopupEditProperties, DefaultsOfThePopupKind)
{
    auto custom = MakeObject<TcxCustomPopupEditProperties>(nullptr);
    EXPECT_EQ(custom->PopupWidth(), 250);
    EXPECT_EQ(custom->PopupHeight(), 200);
    EXPECT_EQ(custom->PopupMinWidth(), 100);
    EXPECT_EQ(custom->PopupMinHeight(), 100);
    EXPECT_TRUE(custom->PopupSizeable());
    EXPECT_TRUE(custom->PopupAutoSize());
    EXPECT_FALSE(custom->ImmediatePopup()) << "only the published kind opens on activation";
    EXPECT_TRUE(custom->PopupWindowCapturesFocus());
    EXPECT_FALSE(custom->IsLookupDataVisual());
    EXPECT_EQ(custom->GetLookupDataClass(), TcxCustomTextEditLookupData::StaticClass());
    EXPECT_EQ(custom->GetPopupWindowClass(), TcxPopupEditPopupWindow::StaticClass());
    EXPECT_EQ(custom->PopupControl(), nullptr);

    auto published = MakeObject<TcxPopupEditProperties>(nullptr);
    EXPECT_TRUE(published->ImmediateDropDown());
    EXPECT_TRUE(published->ImmediatePopup());
    ASSERT_EQ(published->Buttons()->Count(), 1);
    EXPECT_EQ(published->Buttons()->Items(0)->Kind(), bkDown);
}

TEST(PopupEditProperties, ThePopupControlIsReleasedWhenItGoes)
{
    auto properties = MakeObject<TcxPopupEditProperties>(nullptr);
    int changes = 0;
    properties->ChangeNotification = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    auto* first = CreateObject<TControl>(nullptr);
    auto* second = CreateObject<TControl>(nullptr);
    properties->SetPopupControl(first);
    properties->SetPopupControl(first);
    EXPECT_EQ(changes, 1);
    properties->SetPopupControl(second);
    first->Free();
    EXPECT_EQ(properties->PopupControl(), second) << "the old control is no longer watched";

    auto copy = MakeObject<TcxPopupEditProperties>(nullptr);
    properties->SetPopupWidth(300);
    copy->Assign(properties.get());
    EXPECT_EQ(copy->PopupControl(), second);
    EXPECT_EQ(copy->PopupWidth(), 300);

    second->Free();
    EXPECT_EQ(properties->PopupControl(), nullptr);
    EXPECT_EQ(copy->PopupControl(), nullptr) << "each copy watches the control";

    // A properties object that goes first leaves the control unwatched.
    auto* third = CreateObject<TControl>(nullptr);
    copy->SetPopupControl(third);
    copy.reset();
    third->Free();
}

TEST(PopupEditProperties, TheMinimumsAreReadBeforeTheSizes)
{
    RegisterClasses({PropertiesForm::StaticClass(), TcxEditRepositoryPopupItem::StaticClass(),
                     TcxPopupEditProperties::StaticClass()});
    auto form = MakeObject<PropertiesForm>(nullptr);
    auto* item = CreateObject<TcxEditRepositoryPopupItem>(form.get());
    item->SetName("Pick");
    auto* stored = static_cast<TcxPopupEditProperties*>(item->Properties());
    stored->SetPopupMinWidth(0);
    stored->SetPopupMinHeight(0);
    stored->SetPopupWidth(60);
    stored->SetPopupHeight(40);
    const std::string written = WriteFormResource(form.get());
    ObjectPtr<TComponent> loaded(CreateFromFormResource(written, "pick.form", nullptr));
    auto* copy = As<TcxEditRepositoryPopupItem>(loaded->FindComponent("Pick"));
    ASSERT_NE(copy, nullptr) << written;
    auto* read = static_cast<TcxPopupEditProperties*>(copy->Properties());
    EXPECT_EQ(read->PopupWidth(), 60) << written;
    EXPECT_EQ(read->PopupHeight(), 40) << written;
}

// The frame's rings from the outside in, on a window-sized canvas.
std::vector<COLORREF> Rings(TcxCustomEditPopupWindowViewInfo* viewInfo, RECT& inside)
{
    Canvas cv(40, 30);
    auto host = MakeObject<TCanvas>();
    host->SetHandle(cv.dc());
    TcxCanvas canvas(host.get());
    inside = RECT{0, 0, 40, 30};
    viewInfo->DrawBorder(&canvas, inside);
    std::vector<COLORREF> rings;
    for (int i = 0; i < 4; ++i)
        rings.push_back(cv.At(i, 15));
    return rings;
}

TEST(PopupEditPopupWindow, TheFrame3DHasTwoFlatRingsInside)
{
    // The two flat rings apart, as they are under some colour schemes.
    INT element = COLOR_INACTIVEBORDER;
    COLORREF value = RGB(90, 60, 30);
    SetSysColors(1, &element, &value);
    quelvo::sys::ScopeGuard restore([] { quelvo::gfx::ResetSysColors(); });
    auto own = MakeObject<TcxPopupEditPopupWindowViewInfo>();
    auto base = MakeObject<TcxCustomEditPopupWindowViewInfo>();
    for (auto* vi : {static_cast<TcxCustomEditPopupWindowViewInfo*>(own.get()), base.get()})
        vi->PopupBorderStyle = epbsFrame3D;
    RECT ownInside{}, baseInside{};
    const std::vector<COLORREF> ownRings = Rings(own.get(), ownInside);
    const std::vector<COLORREF> baseRings = Rings(base.get(), baseInside);
    EXPECT_EQ(ownInside.left, 4);
    EXPECT_EQ(ownInside.bottom, 26);
    EXPECT_EQ(baseInside.left, 4);
    EXPECT_EQ(ownRings[0], baseRings[0]) << "the same raised edges";
    EXPECT_EQ(ownRings[1], baseRings[1]);
    EXPECT_EQ(ownRings[2], GetSysColor(COLOR_INACTIVEBORDER));
    EXPECT_EQ(ownRings[3], GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(baseRings[3], GetSysColor(COLOR_BTNFACE)) << "the base draws a sunken edge there";

    // Every other style is the base's.
    own->PopupBorderStyle = epbsSingle;
    base->PopupBorderStyle = epbsSingle;
    EXPECT_EQ(Rings(own.get(), ownInside), Rings(base.get(), baseInside));
    own->PopupBorderStyle = epbsFrame3D;
    own->NativeStyle = true;
    Rings(own.get(), ownInside);
    EXPECT_EQ(ownInside.left, 1) << "native: one frame line";
}

TEST(DropDownKinds, TheComboBoxIsRegisteredBeforeThePopupEdit)
{
    cxButtonEditInitialize();
    cxDropDownEditInitialize();
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    EXPECT_EQ(kinds->GetDescriptionByClass(TcxButtonEditProperties::StaticClass()), "ButtonEdit");
    EXPECT_EQ(kinds->GetDescriptionByClass(TcxPopupEditProperties::StaticClass()), "PopupEdit");
    int combo = -1, popup = -1;
    for (int i = 0; i < kinds->Count(); ++i) {
        if (kinds->Items(i) == TcxComboBoxProperties::StaticClass())
            combo = i;
        if (kinds->Items(i) == TcxPopupEditProperties::StaticClass())
            popup = i;
    }
    EXPECT_GE(combo, 0);
    EXPECT_EQ(popup, combo + 1);
    cxDropDownEditFinalize();
    cxButtonEditFinalize();
}

} // namespace
