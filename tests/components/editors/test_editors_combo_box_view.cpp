// The combo box's face without a control: the selection bar of a focused
// fixed-list editor, the owner-drawn face of a fixed-list cell and the state
// its handler gets, the arrow centred in the combo button, and the size of
// the list's popup. Distinct
// system colours make every pixel tell which colour painted it.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "tests/components/editors/editors_canvas.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace visualtest;
using quelvo::gfx::test::Distinct;

namespace {

struct Drawn {
    TcxCustomComboBox* control = nullptr;
    int index = -2;
    RECT rect{};
    TOwnerDrawState state;
};

struct ComboView : VisualTest {
    static constexpr RECT kBounds{4, 4, 164, 26};
    quelvo::editors::test::FixedCanvas cv{180, 40};
    ObjectPtr<TCanvas> host = MakeObject<TCanvas>();
    TcxCanvas canvas{nullptr};
    ObjectPtr<TcxComboBoxProperties> properties = MakeObject<TcxComboBoxProperties>(nullptr);
    ObjectPtr<TFont> font = MakeObject<TFont>();
    ObjectPtr<TcxEditStyle> style;
    ObjectPtr<TcxCustomComboBoxViewData> data;
    ObjectPtr<TcxCustomComboBoxViewInfo> info;
    std::vector<Drawn> drawn;

    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        host->SetHandle(cv.dc());
        canvas.SetCanvas(host.get());
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
        for (const char* item : {"Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime"})
            properties->Items()->Add(item);
    }
    void TearDown() override
    {
        info.reset();
        data.reset();
        style.reset();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }
    // Fills the face with the window text colour and notes the call.
    void HandleDrawItem()
    {
        properties->OnDrawItem = TcxEditDrawItemEvent::FromFunction(
            [this](TcxCustomComboBox* control, TcxCanvas* c, int index, const RECT& r, TOwnerDrawState state) {
                drawn.push_back({control, index, r, state});
                c->SetBrushColor(clWindowText);
                c->FillRect(r);
            });
    }
    // A cell (in place) or a stand-alone editor's face (not), painted.
    void Show(const std::string& value, bool inplace, bool focused)
    {
        style.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), inplace));
        if (inplace)
            style->SetFont(font.get());
        else
            style->Font()->Assign(font.get());
        style->SetColor(clWindow);
        style->SetTextColor(clWindowText);
        style->LookAndFeel()->SetKind(lfStandard);
        data.reset(static_cast<TcxCustomComboBoxViewData*>(properties->CreateViewData(style.get(), inplace)));
        data->Focused = focused;
        info.reset(CreateInstance<TcxCustomComboBoxViewInfo>(properties->GetViewInfoClass()));
        data->EditValueToDrawValue(&canvas, Variant(value), info.get());
        data->CalculateEx(&canvas, kBounds, POINT{-1, -1}, cxmbNone, {}, info.get(), false);
        cv.Clear(quelvo::gfx::test::kWhite);
        info->PaintEx(&canvas);
    }
    int Count(COLORREF colour, const RECT& r)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += cv.At(x, y) == colour;
        return n;
    }
    RECT Client() const
    {
        RECT r = info->ClientRect;
        OffsetRect(&r, info->Left, info->Top);
        return r;
    }
};

COLORREF Sys(int index) { return Distinct(index); }

TEST_F(ComboView, AFocusedFixedListEditorShowsItsSelectionBar)
{
    struct Case {
        TcxEditDropDownListStyle list;
        bool inplace;
        bool focused;
        bool popup;
        bool bar;
    } cases[] = {
        {lsFixedList, false, true, false, true},  {lsFixedList, false, false, false, false},
        {lsFixedList, true, true, false, false},  {lsFixedList, false, true, true, false},
        {lsEditList, false, true, false, false},  {lsEditFixedList, false, true, false, false},
    };
    for (const Case& c : cases) {
        properties->SetDropDownListStyle(c.list);
        style.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), c.inplace));
        style->SetFont(font.get());
        data.reset(static_cast<TcxCustomComboBoxViewData*>(properties->CreateViewData(style.get(), c.inplace)));
        data->Focused = c.focused;
        data->HasPopup = c.popup;
        info.reset(CreateInstance<TcxCustomComboBoxViewInfo>(properties->GetViewInfoClass()));
        data->EditValueToDrawValue(&canvas, Variant("Normal"), info.get());
        data->CalculateEx(&canvas, kBounds, POINT{-1, -1}, cxmbNone, {}, info.get(), false);
        EXPECT_EQ(info->DrawSelectionBar, c.bar) << &c - cases;
    }
    // As the user sees it: the text on the highlight, in the highlight's text colour.
    properties->SetDropDownListStyle(lsFixedList);
    Show("Normal", false, true);
    const RECT client = Client();
    EXPECT_GT(Count(Sys(COLOR_HIGHLIGHT), client), (client.right - client.left) * 4);
    EXPECT_GT(Count(Sys(COLOR_HIGHLIGHTTEXT), client), 10);
    EXPECT_EQ(Count(Sys(COLOR_WINDOWTEXT), client), 0);
    Show("Normal", false, false);
    EXPECT_EQ(Count(Sys(COLOR_HIGHLIGHT), Client()), 0);
    EXPECT_GT(Count(Sys(COLOR_WINDOWTEXT), Client()), 10);
}

TEST_F(ComboView, AFixedListCellIsOwnerDrawnForAnItemOnly)
{
    HandleDrawItem();
    struct Case {
        TcxEditDropDownListStyle list;
        const char* value;
        int index;
    } cases[] = {
        {lsFixedList, "Normal", 2}, {lsFixedList, "normal", 2}, {lsFixedList, "Idle", -1}, {lsEditList, "Normal", -1},
    };
    for (const Case& c : cases) {
        properties->SetDropDownListStyle(c.list);
        drawn.clear();
        Show(c.value, true, false);
        EXPECT_EQ(info->ItemIndex, c.index) << c.value;
        EXPECT_EQ(info->IsOwnerDrawing, c.index != -1);
        ASSERT_EQ(drawn.size(), c.index == -1 ? 0u : 1u) << c.value;
        if (drawn.empty())
            continue;
        EXPECT_EQ(drawn[0].control, nullptr) << "a cell has no editor";
        EXPECT_EQ(drawn[0].index, c.index);
        EXPECT_TRUE(drawn[0].state == TOwnerDrawState{odComboBoxEdit});
        const RECT client = Client();
        EXPECT_GT(Count(Sys(COLOR_WINDOWTEXT), client), (client.right - client.left - 2) * (client.bottom - client.top - 2) - 1)
            << "the handler paints the face";
    }
    properties->OnDrawItem = {};
    Show("Normal", true, false);
    EXPECT_EQ(info->ItemIndex, -1) << "without a handler the text shows";
}

TEST_F(ComboView, TheHandlerHearsTheFocusOnlyWhenFocused)
{
    HandleDrawItem();
    properties->SetDropDownListStyle(lsFixedList);
    for (bool focused : {false, true}) {
        drawn.clear();
        Show("High", false, focused);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].index, 4);
        EXPECT_TRUE(drawn[0].state.Contains(odComboBoxEdit));
        EXPECT_EQ(drawn[0].state.Contains(odSelected), focused);
        EXPECT_EQ(drawn[0].state.Contains(odFocused), focused);
    }
}

TEST_F(ComboView, TheArrowSitsCentredInItsButton)
{
    Show("Low", false, false);
    ASSERT_EQ(info->ButtonCount(), 1);
    EXPECT_TRUE(info->ButtonsInfo[0]->Data.ComboBoxStyle) << "the lone drop-down button is a combo button";
    RECT b = info->ButtonsInfo[0]->Bounds;
    OffsetRect(&b, info->Left, info->Top);
    int left = b.right, right = b.left - 1, top = b.bottom, bottom = b.top - 1;
    for (int y = b.top + 2; y < b.bottom - 2; ++y)
        for (int x = b.left + 2; x < b.right - 2; ++x)
            if (cv.At(x, y) == Sys(COLOR_BTNTEXT)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_LE(left, right) << "no arrow";
    EXPECT_LE(std::abs((left - b.left) - (b.right - 1 - right)), 1) << left << ".." << right << " in " << b.left
                                                                      << ".." << b.right;
    EXPECT_LE(std::abs((top - b.top) - (b.bottom - 1 - bottom)), 1) << top << ".." << bottom;
    EXPECT_GT(bottom - top, 0) << "a triangle, not a line";
}

// An editor that answers the list popup's questions with fixed facts.
class TListOwner : public TTraceControl, public IcxEditPopupWindowOwner {
public:
    static TClass StaticClass() { return DefineClass<TListOwner, TTraceControl>("TListOwner"); }
    TClass ClassType() const override { return StaticClass(); }

    bool PopupWindowAcceptsAnySize() override { return true; }
    SIZE GetPopupWindowClientPreferredSize() override { return preferred; }
    RECT GetPopupWindowOwnerControlBounds() override { return RECT{Left(), Top(), Left() + Width(), Top() + Height()}; }
    void PositionPopupWindowChilds(const RECT&) override {}
    TcxLookAndFeelKind GetPopupLookAndFeelKind() override { return lfStandard; }
    bool IsPopupLookupDataVisual() override { return true; }
    bool CanResizePopupVisualArea(SIZE&, int) override { return true; }
    void PopupWindowResizedByUser() override {}
    void ClosePopupWindowByButton() override {}
    bool IsPopupResized() override { return resized; }

    SIZE preferred{60, 48};
    bool resized = false;
};

struct ComboPopup : VisualTest {
    TForm* form = nullptr;
    TListOwner* edit = nullptr;
    TcxComboBoxPopupWindow* popup = nullptr;
    void SetUp() override
    {
        VisualTest::SetUp();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        form = NewForm(400, 300);
        edit = Add<TListOwner>(form, "edit", 20, 20, 120, 24);
        form->Show();
        Pump();
        popup = CreateObject<TcxComboBoxPopupWindow>(static_cast<TWinControl*>(edit));
        popup->SetBorderStyle(epbsSingle);
    }
    void TearDown() override
    {
        popup->Free();
        form->Free();
        Screen().SetWorkArea(RECT{});
        VisualTest::TearDown();
    }
};

TEST_F(ComboPopup, SizeFollowsTheRowsTheEditorAndWhatTheUserChose)
{
    // A single frame: one pixel on every side.
    struct Case {
        bool autoSize;
        bool sizeable;
        bool resized;
        int width;
        int height;
        SIZE preferred;
        SIZE expected;
    } cases[] = {
        {true, false, false, 0, 0, {60, 48}, {120, 50}},     // at least the editor's width
        {true, false, false, 0, 0, {200, 48}, {202, 50}},    // wider rows widen it
        {true, false, true, 300, 90, {60, 48}, {120, 50}},   // not sizeable: never the user's size
        {false, false, false, 0, 0, {200, 48}, {120, 50}},   // no auto size, no width: the editor's
        {false, false, false, 300, 0, {200, 48}, {300, 50}}, // the stored width
        {true, true, true, 300, 90, {60, 48}, {300, 90}},    // resized by the user
        {true, true, false, 300, 0, {60, 48}, {120, 50}},    // not resized, no height: the rows
        {true, true, false, 300, 90, {60, 48}, {120, 90}},   // a stored height
    };
    for (const Case& c : cases) {
        popup->SetPopupAutoSize(c.autoSize);
        popup->SetSizeable(c.sizeable);
        popup->SetPopupWidth(c.width);
        popup->SetPopupHeight(c.height);
        edit->resized = c.resized;
        edit->preferred = c.preferred;
        popup->CalculateSize();
        EXPECT_EQ(popup->Width(), c.expected.cx) << &c - cases;
        EXPECT_EQ(popup->Height(), c.expected.cy) << &c - cases;
    }
    popup->SetSizeable(true);
    popup->SetMinWidth(150);
    popup->SetMinHeight(70);
    edit->resized = false;
    popup->SetPopupHeight(0);
    popup->CalculateSize();
    EXPECT_EQ(popup->Width(), 150) << "minimums raise a sizeable popup";
    EXPECT_EQ(popup->Height(), 70);
    EXPECT_EQ(popup->ViewInfo()->SizeGripCorner, egcBottomRight);
}

} // namespace
