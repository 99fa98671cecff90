// The spin, currency and date editors in a real X11 window under the test's
// own Xvfb, driven by another client: a click on the spin editor's up button
// steps its value, digits typed into the currency editor show as money when
// it loses the focus, and the date editor's calendar opens as a window of
// its own below the editor, where a click on a day makes it the value.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <string>

#include "components/editor-catalogue/cxCurrencyEdit.h"
#include "components/editor-catalogue/cxDateEdit.h"
#include "components/editor-catalogue/cxSpinEdit.h"
#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxFormats.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "tests/components/editors/fixed_locale.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

const TDateTime kNow = EncodeDate(2004, 3, 17) + EncodeTime(10, 30, 0, 0);

class DateAndSpinOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
        cxContainerPopupInitialize();
        savedNow = cxDateUtils::NowFunc();
        cxDateUtils::NowFunc() = [] { return kNow; };
        cxFormatController()->FormatChanged();
    }
    void DoneUnits() override
    {
        cxDateUtils::NowFunc() = savedNow;
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerPopupFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    template <class T>
    T* Place(TForm* form, int y)
    {
        auto* edit = CreateObject<T>(static_cast<TComponent*>(form));
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetBounds(20, y, 200, 24);
        edit->SetParent(form);
        return edit;
    }
    static POINT Centre(TControl* c, const RECT& r)
    {
        return c->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    ScopedFormatSettings locale{FixedEnglishLocale()};
    std::function<TDateTime()> savedNow;
};

TEST_F(DateAndSpinOnX11, SpinCurrencyAndTheDropDownCalendarAnswerTheMouseAndKeys)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 360, 160);
    auto* spin = Place<TcxSpinEdit>(form, 10);
    auto* currency = Place<TcxCurrencyEdit>(form, 45);
    auto* date = Place<TcxDateEdit>(form, 80);
    date->Properties()->SetInputKind(ikStandard);
    date->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17)));
    spin->SetValue(Variant(3));
    quelvo::sys::ScopeGuard freeForm([form] { form->Free(); });
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    ClickScreen(Centre(spin, spin->ViewInfo()->ButtonsInfo[sebForward]->Bounds));
    ASSERT_TRUE(PumpUntil([&] { return spin->Value().AsInt64() == 4; })) << spin->Text();

    ClickScreen(currency->ClientToScreen(POINT{20, 12}));
    ASSERT_TRUE(PumpUntil([&] { return currency->Focused(); }));
    for (KeySym key : {XK_1, XK_2, XK_period, XK_5})
        TypeKey(key);
    ASSERT_TRUE(PumpUntil([&] { return currency->Text() == "12.5"; })) << currency->Text();

    HWND popup = nullptr;
    ASSERT_NO_FATAL_FAILURE(DropDownByButton(date, form->Handle(), popup));
    EXPECT_EQ(currency->Text(), "$12.50") << "left unfocused it shows as money";
    Settle();

    TcxPopupCalendar* calendar = date->Calendar();
    const TDateTime target = EncodeDate(2004, 5, 20);
    RECT day{};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c) {
            const RECT cell = calendar->CellRect(r, c);
            if (calendar->PosToDateTime(POINT{cell.left + 2, cell.top + 2}) == target)
                day = cell;
        }
    ASSERT_NE(day.right, 0) << "20 May is on the grid";
    ClickScreen(Centre(calendar, day));
    ASSERT_TRUE(PumpUntil([&] { return !date->DroppedDown(); }));
    EXPECT_EQ(date->Date(), target);
    Settle();
    EXPECT_EQ(date->Text(), "5/20/2004");
}

}  // namespace
