// Data-aware editors in a real X11 window under the test's own Xvfb, driven
// by another client: text typed into the text twin and a day clicked in the
// date twin's drop-down calendar put the in-memory data set into edit state
// and reach its fields when the record is posted.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "components/editor-catalogue/cxDBEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxFormats.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/system/scope_guard.h"
#include "tests/components/editors/fixed_locale.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

const TDateTime kDay = EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0);

class DBEditOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
        cxContainerPopupInitialize();
        cxTextEditInitialize();
        cxDateEditInitialize();
        cxDBEditInitialize();
        savedUpdate = cxFormatSettingsUpdate();
        cxFormatSettingsUpdate().Reload = [] {};
        cxFormatController()->FormatChanged();
    }
    void DoneUnits() override
    {
        cxDBEditFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxDateEditFinalize();
        cxTextEditFinalize();
        cxContainerPopupFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
        cxFormatSettingsUpdate() = savedUpdate;
    }
    template <class T>
    T* Place(TForm* form, int y, const std::string& field)
    {
        auto* edit = CreateObject<T>(static_cast<TComponent*>(form));
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetBounds(20, y, 200, 24);
        edit->SetParent(form);
        edit->DataBinding()->SetDataSource(source.get());
        edit->DataBinding()->SetDataField(field);
        return edit;
    }
    // The calendar cell that shows a day; empty when it is not on the grid.
    static RECT DayCell(TcxPopupCalendar* calendar, TDateTime day)
    {
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 7; ++c) {
                const RECT cell = calendar->CellRect(r, c);
                if (calendar->PosToDateTime(POINT{cell.left + 2, cell.top + 2}) == day)
                    return cell;
            }
        return RECT{};
    }

    ScopedFormatSettings locale{FixedEnglishLocale()};
    TcxFormatSettingsUpdate savedUpdate;
    ObjectPtr<TMemDataSet> data = MakeObject<TMemDataSet>(nullptr);
    ObjectPtr<TDataSource> source = MakeObject<TDataSource>(nullptr);
};

TEST_F(DBEditOnX11, TypedTextAndAClickedDayReachTheDataSetOnPosting)
{
    data->FieldDefs().Add("title", ftString, 20);
    data->FieldDefs().Add("day", ftDateTime);
    data->Open();
    data->AppendRecord({Variant(std::string("first")), Variant::FromDate(kDay)});
    source->SetDataSet(data.get());

    TForm* form = Application->CreateForm<TForm>();
    quelvo::sys::ScopeGuard freeForm([form] { form->Free(); });
    form->SetBounds(40, 40, 320, 120);
    auto* title = Place<TcxDBTextEdit>(form, 10, "title");
    auto* date = Place<TcxDBDateEdit>(form, 45, "day");
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    ASSERT_EQ(title->Text(), "first");

    ClickScreen(title->ClientToScreen(POINT{20, 12}));
    ASSERT_TRUE(PumpUntil([&] { return title->Focused(); }));
    for (KeySym key : {XK_End, XK_z, XK_e, XK_d})
        TypeKey(key);
    ASSERT_TRUE(PumpUntil([&] { return title->Text() == "firstzed"; })) << title->Text();
    EXPECT_EQ(data->State(), dsEdit) << "typing enters edit state";

    HWND popup = nullptr;
    ASSERT_NO_FATAL_FAILURE(DropDownByButton(date, form->Handle(), popup));
    Settle();
    const TDateTime target = EncodeDate(2004, 5, 20);
    const RECT day = DayCell(date->Calendar(), target);
    ASSERT_NE(day.right, 0) << "20 May is on the grid";
    ClickScreen(date->Calendar()->ClientToScreen(POINT{(day.left + day.right) / 2, (day.top + day.bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return !date->DroppedDown(); }));
    EXPECT_EQ(data->FieldByName("day")->AsDateTime(), kDay) << "nothing written before posting";

    data->Post();
    EXPECT_EQ(data->FieldByName("title")->AsString(), "firstzed");
    EXPECT_NEAR(data->FieldByName("day")->AsDateTime(), target + EncodeTime(14, 30, 0, 0), 1e-9)
        << "the clicked day keeps the field's time";
    Settle();
    EXPECT_EQ(date->Text(), "5/20/2004 2:30:00 PM");
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the form painted";
}

}  // namespace
