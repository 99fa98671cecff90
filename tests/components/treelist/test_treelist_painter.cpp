// Painting of the tree list as a user sees it on the headless display:
// header, rows, selection, grid lines, tree lines and buttons, the focus
// frame, a band's background, progress-bar and combo cells, buffered and
// unbuffered alike; and the order of the painting steps with the parts of
// the clip region each one leaves to the next.
#include <map>
#include <set>

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/treelist/cxTLPainter.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

// ---- a painter that records its steps --------------------------------------------------

struct Step {
    std::string name;
    std::map<std::string, bool> visible; // probe name -> in the canvas clip
};
std::vector<Step>& Steps()
{
    static std::vector<Step> steps;
    return steps;
}

const std::map<std::string, POINT>& Probes()
{
    static const std::map<std::string, POINT> probes{
        {"header", {50, 5}}, {"right", {250, 50}}, {"N0.A", {50, 25}}, {"N0.B", {150, 25}},
        // N0's cells below a header two lines high
        {"N0.A low", {50, 50}}, {"N0.B low", {150, 45}}};
    return probes;
}

class TRecordingPainter : public TcxTreeListControlPainter {
public:
    static TClass StaticClass() { return DefineClass<TRecordingPainter, TcxTreeListControlPainter>("TRecordingPainter"); }
    TClass ClassType() const override { return StaticClass(); }

    void DrawBackgroundRect(const RECT& r) override
    {
        Record("background");
        TcxTreeListControlPainter::DrawBackgroundRect(r);
    }
    void DrawHeader() override
    {
        Record("header");
        TcxTreeListControlPainter::DrawHeader();
    }
    void DrawFooter() override
    {
        Record("footer");
        TcxTreeListControlPainter::DrawFooter();
    }
    void DrawNodes() override
    {
        Record("nodes");
        TcxTreeListControlPainter::DrawNodes();
    }
    void DrawNode(TcxTreeListNodeViewInfo* row) override
    {
        Record("node " + Name(row->Node));
        TcxTreeListControlPainter::DrawNode(row);
    }
    void DrawNodeIndent(TcxTreeListIndentViewInfo* indent) override
    {
        Record("indent " + std::to_string(indent->IsLevel ? indent->Level : -1));
        TcxTreeListControlPainter::DrawNodeIndent(indent);
    }
    void DrawEditCell(TcxTreeListEditCellViewInfo* cell, bool keepClip) override
    {
        Record("cell " + Name(cell->GetNode()) + "." + cell->GetColumn()->Caption()->Text());
        TcxTreeListControlPainter::DrawEditCell(cell, keepClip);
    }
    void DrawFocusRect(TcxTreeListNodeViewInfo* row) override
    {
        Record("focus " + Name(row->Node));
        TcxTreeListControlPainter::DrawFocusRect(row);
    }
    void DrawIndicator(TcxTreeListIndicatorViewInfo* indicator) override
    {
        TcxTreeListControlPainter::DrawIndicator(indicator);
        const POINT c = cxRectCenter(indicator->DisplayRect);
        Step step{"indicator drawn", {}};
        step.visible["indicator"] = Canvas()->RectVisible(RECT{c.x, c.y, c.x + 1, c.y + 1});
        step.visible["indicator in node area"] = ContentClipRegion() && ContentClipRegion()->PtInRegion(c);
        Steps().push_back(step);
    }

private:
    static std::string Name(TcxTreeListNode* node) { return node ? node->GetValue(0).AsString() : "?"; }
    void Record(const std::string& name)
    {
        Step step{name, {}};
        for (const auto& [probe, p] : Probes()) step.visible[probe] = Canvas()->RectVisible(RECT{p.x, p.y, p.x + 1, p.y + 1});
        Steps().push_back(step);
    }
};

class TRecordingPaintTreeList : public TcxTreeList {
public:
    static TClass StaticClass() { return DefineClass<TRecordingPaintTreeList, TcxTreeList>("TRecordingPaintTreeList"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    TClass GetPainterClass() override { return TRecordingPainter::StaticClass(); }
};

// ---- the fixture ------------------------------------------------------------------------

class PainterTest : public TreeListLayoutTest {
protected:
    void SetUp() override
    {
        TreeListLayoutTest::SetUp();
        Steps().clear();
    }
    void TearDown() override
    {
        if (list) {
            list->OnCustomDrawCell = {};
            list->OnCustomDrawIndicatorCell = {};
            list->OnCustomDrawBackground = {};
        }
        TreeListLayoutTest::TearDown();
    }
    static std::uint32_t Rgb(TColor color)
    {
        const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    std::uint32_t Pixel(int x, int y) { return Screen().ClientPixel(list->Handle(), x, y); }
    void Repaint()
    {
        list->Invalidate();
        Pump();
    }
    TcxStyle* NewStyle(TColor color)
    {
        auto* style = CreateObject<TcxStyle>(form);
        style->SetColor(color);
        return style;
    }
    // Content yellow, background teal, no row focused or selected.
    void MakeColoured()
    {
        MakeT();
        list->Styles()->SetContent(NewStyle(kContent));
        list->Styles()->SetBackground(NewStyle(kBackground));
        list->SetFocusedNode(nullptr);
        list->ClearSelection();
        Repaint();
    }
    int CountIn(const RECT& r, std::uint32_t color)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == color;
        return n;
    }
    std::vector<std::uint32_t> Capture()
    {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < list->Height(); ++y)
            for (int x = 0; x < list->Width(); ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    }

    static constexpr TColor kContent = 0x0000FFFF;    // yellow
    static constexpr TColor kBackground = 0x00808000; // teal
    static constexpr TColor kRed = 0x000000FF;
};

TEST_F(PainterTest, HeaderRowsAndBackgroundWhereTheLayoutPutsThem)
{
    MakeColoured();
    const std::uint32_t content = Rgb(kContent), background = Rgb(kBackground);
    const std::uint32_t header = Rgb(ViewInfo()->GetBand(0)->GetColumn(0)->ColumnHeader()->ViewParams.Color);
    ASSERT_NE(header, content);
    struct Case {
        const char* what;
        int x, y;
        std::uint32_t color;
    };
    const Case cases[] = {
        {"header A", 90, 3, header},         {"header B", 170, 3, header},
        {"cell A of N0", 95, 20, content},   {"cell B of N1", 175, 89, content},
        {"right of the bands", 250, 50, background}, {"below the rows", 50, 150, background},
        {"right of the header", 250, 5, background},
    };
    for (const Case& c : cases) EXPECT_EQ(Pixel(c.x, c.y), c.color) << c.what;
    // The texts are drawn: the caption in its header, the value in its cell.
    EXPECT_GT(19 * 100 - CountIn(RECT{0, 0, 100, 19}, header), 10) << "caption A";
    EXPECT_GT(18 * 85 - CountIn(RECT{15, 19, 100, 37}, content), 10) << "N0's text";
}

TEST_F(PainterTest, SelectedAndFocusedRows)
{
    MakeColoured();
    auto* other = Add<visualtest::TTraceControl>(form, "other", 320, 0, 40, 40);
    list->SetFocus();
    list->SetFocusedColumn(a);
    list->SetFocusedNode(c0);
    list->OptionsSelection()->SetHideFocusRect(true);
    struct Case {
        bool cellSelect, invertSelect, hideSelection, focused;
        bool selectedA, selectedB; // A is the focused column
    };
    const Case cases[] = {
        {false, true, false, true, true, true},    {true, true, false, true, false, true},
        {true, false, false, true, true, false},   {false, true, true, false, false, false},
        {false, true, false, false, true, true},
    };
    for (const Case& c : cases) {
        list->OptionsSelection()->SetCellSelect(c.cellSelect);
        list->OptionsSelection()->SetInvertSelect(c.invertSelect);
        list->OptionsSelection()->SetHideSelection(c.hideSelection);
        if (c.focused) list->SetFocus();
        else other->SetFocus();
        Pump();
        ASSERT_EQ(list->Focused(), c.focused);
        c0->SetSelected(true);
        Repaint();
        const std::uint32_t selection = Rgb(ViewInfo()->SelectionParams().Color);
        ASSERT_NE(selection, Rgb(kContent));
        const std::string label = std::to_string(c.cellSelect) + std::to_string(c.invertSelect) +
                                  std::to_string(c.hideSelection) + std::to_string(c.focused);
        // Inside C0's cells, away from the texts and the focus frame.
        EXPECT_EQ(Pixel(97, 52), c.selectedA ? selection : Rgb(kContent)) << label;
        EXPECT_EQ(Pixel(177, 52), c.selectedB ? selection : Rgb(kContent)) << label;
        EXPECT_EQ(Pixel(97, 34), Rgb(kContent)) << label << " N0 is neither selected nor focused";
    }
}

TEST_F(PainterTest, GridLines)
{
    MakeColoured();
    list->OptionsView()->SetGridLineColor(kRed);
    const std::uint32_t red = Rgb(kRed);
    struct Case {
        TcxTreeListGridLines lines;
        std::vector<POINT> redPoints, otherPoints;
    };
    const Case cases[] = {
        // C0 continues N0's indentation, so N0's indent has no bottom line.
        {tlglHorz, {{15, 36}, {100, 36}, {179, 36}, {30, 54}}, {{7, 36}, {14, 36}, {99, 30}, {180, 36}, {50, 30}}},
        // The second cell starts one pixel left of its column: they share x 99.
        {tlglVert, {{99, 30}, {179, 30}, {99, 80}}, {{50, 36}, {98, 30}, {100, 30}, {7, 25}}},
        {tlglBoth, {{99, 30}, {179, 30}, {50, 36}}, {{7, 36}, {50, 30}}},
        {tlglNone, {}, {{99, 30}, {179, 30}, {50, 36}}},
    };
    for (const Case& c : cases) {
        list->OptionsView()->SetGridLines(c.lines);
        Repaint();
        for (const POINT& p : c.redPoints) EXPECT_EQ(Pixel(p.x, p.y), red) << c.lines << " at " << p.x << "," << p.y;
        for (const POINT& p : c.otherPoints) EXPECT_NE(Pixel(p.x, p.y), red) << c.lines << " at " << p.x << "," << p.y;
    }
    // A whole pixel row under N0 from its cells' left edge to the last column.
    list->OptionsView()->SetGridLines(tlglHorz);
    Repaint();
    EXPECT_EQ(CountIn(RECT{15, 36, 180, 37}, red), 165);
    EXPECT_EQ(CountIn(RECT{0, 36, 15, 37}, red), 0);
}

TEST_F(PainterTest, ASecondHeaderLineLiftsTheRowsGridLine)
{
    MakeColoured();
    list->OptionsView()->SetGridLineColor(kRed);
    list->OptionsView()->SetGridLines(tlglHorz);
    b->Position()->SetRowIndex(1);
    Repaint();
    // B sits under A: its cell starts one pixel higher than A ends, so the
    // two share the grid line between them.
    TcxTreeListNodeViewInfo* row = nullptr;
    ASSERT_TRUE(ViewInfo()->NodesViewInfo()->FindNodeViewInfo(n0, row));
    const RECT cellA = row->GetCell(0)->DisplayRect;
    const RECT cellB = row->GetCell(1)->DisplayRect;
    ASSERT_EQ(cellB.top, cellA.bottom - 1);
    const int x = (cellB.left + cellB.right) / 2;
    EXPECT_EQ(Pixel(x, cellB.top), Rgb(kRed)) << "the shared line";
    EXPECT_NE(Pixel(x, cellB.top + 1), Rgb(kRed)) << "inside B";
    EXPECT_EQ(Pixel(x, cellB.bottom - 1), Rgb(kRed)) << "the row's bottom line";
}

TEST_F(PainterTest, CustomDrawCellRecoloursTheCellItsEditorPaints)
{
    MakeColoured();
    list->OnCustomDrawCell =
        TcxCustomDrawViewInfoItemEvent::FromFunction([this](TObject*, TcxCanvas* canvas, TcxCustomViewInfoItem* item, bool& done) {
            auto* cell = As<TcxTreeListEditCellViewInfo>(item);
            if (cell && cell->GetNode() == c1 && cell->GetColumn() == a) canvas->SetBrushColor(kRed);
            done = false;
        });
    Repaint();
    const RECT cell{31, 56, 99, 72}; // C1's cell A inside its borders
    const int red = CountIn(cell, Rgb(kRed));
    const int all = (cell.right - cell.left) * (cell.bottom - cell.top);
    EXPECT_GT(red, all * 3 / 4) << "the background";
    EXPECT_LT(red, all) << "the editor's text";
    EXPECT_EQ(CountIn(cell, Rgb(kContent)), 0);
    EXPECT_EQ(Pixel(97, 34), Rgb(kContent)) << "other cells keep their colour";
    EXPECT_EQ(Pixel(177, 70), Rgb(kContent)) << "C1's cell B too";
}

TEST_F(PainterTest, TreeLinesAndExpandButtons)
{
    MakeColoured();
    list->OptionsView()->SetTreeLineColor(kRed);
    const std::uint32_t red = Rgb(kRed);
    struct Case {
        TcxTreeListTreeLineStyle style;
        std::string below; // x 7 from y 33 to 36, 'r' red, '.' other
    };
    const Case cases[] = {{tllsDot, "?"}, {tllsSolid, "rrrr"}, {tllsNone, "...."}};
    for (const Case& c : cases) {
        list->OptionsView()->SetTreeLineStyle(c.style);
        Repaint();
        std::string below;
        for (int y = 33; y < 37; ++y) below += Pixel(7, y) == red ? 'r' : '.';
        if (c.style == tllsDot) EXPECT_TRUE(below == "r.r." || below == ".r.r") << below;
        else EXPECT_EQ(below, c.below);
        // N0's button (3, 23, 12, 32): its frame in the tree-line colour and
        // its minus sign, N1's plus sign.
        EXPECT_EQ(Pixel(3, 27), red) << c.style;
        EXPECT_EQ(Pixel(11, 27), red) << c.style;
        const int minus = CountIn(RECT{4, 24, 11, 31}, Rgb(clBtnText));
        const int plus = CountIn(RECT{4, 78, 11, 85}, Rgb(clBtnText));
        EXPECT_GT(minus, 2) << c.style;
        EXPECT_GT(plus, minus) << c.style;
    }
}

TEST_F(PainterTest, FocusFrameWithoutInputFocus)
{
    MakeColoured();
    auto* other = Add<visualtest::TTraceControl>(form, "other", 320, 0, 40, 40);
    other->SetFocus();
    list->SetFocusedNode(n1);
    list->ClearSelection();
    Pump();
    ASSERT_FALSE(list->Focused());
    list->OptionsSelection()->SetHideFocusRect(true);
    Repaint();
    const std::uint32_t plain = Pixel(50, 73);
    list->OptionsSelection()->SetHideFocusRect(false);
    Repaint();
    // An inverted frame around N1's cells (15, 73, 180, 91).
    const std::uint32_t inverted = Rgb(kContent) ^ 0xFFFFFF;
    ASSERT_EQ(plain, Rgb(kContent));
    struct Case {
        int x, y;
        std::uint32_t color;
    };
    const Case cases[] = {{50, 73, inverted}, {50, 90, inverted}, {15, 85, inverted}, {50, 89, Rgb(kContent)},
                          {16, 85, Rgb(kContent)}};
    for (const Case& c : cases) EXPECT_EQ(Pixel(c.x, c.y), c.color) << c.x << "," << c.y;
    EXPECT_EQ(Pixel(50, 60), Rgb(kContent)) << "another row";
}

TEST_F(PainterTest, ANonOpaqueBandShowsItsBackgroundBelowShorterHeaders)
{
    MakeT();
    list->Styles()->SetBandBackground(NewStyle(kBackground));
    a->Position()->SetLineCount(2);
    Repaint();
    TcxTreeListBandViewInfo* band = ViewInfo()->GetBand(0);
    ASSERT_FALSE(band->Opaque);
    const RECT headerB = HeaderRect(b);
    ASSERT_EQ(headerB.bottom, 19);
    const int bottom = band->DisplayRect.bottom;
    ASSERT_GT(bottom, 30);
    EXPECT_EQ(Pixel(140, 28), Rgb(kBackground)) << "below B's header";
    EXPECT_EQ(Pixel(140, bottom - 1), Rgb(clBtnShadow)) << "the background's bottom line";
    EXPECT_EQ(Pixel(band->DisplayRect.right - 1, 28), Rgb(clBtnShadow)) << "the last band's right line";
    EXPECT_NE(Pixel(50, 28), Rgb(kBackground)) << "A's header spans both lines";
}

TEST_F(PainterTest, ProgressBarCellFillsToItsPosition)
{
    cxTextEditInitialize();
    cxProgressBarInitialize();
    MakeColoured();
    b->SetPropertiesClassName("TcxProgressBarProperties");
    static_cast<TcxItemDataBinding*>(b->DataBinding())->SetValueType("Integer");
    auto* bar = As<TcxCustomProgressBarProperties>(b->Properties());
    ASSERT_NE(bar, nullptr);
    bar->SetBeginColor(kRed);
    bar->SetShowText(false);
    n0->SetValue(1, 50);
    Repaint();
    TcxTreeListNodeViewInfo* row = nullptr;
    ASSERT_TRUE(ViewInfo()->NodesViewInfo()->FindNodeViewInfo(n0, row));
    const RECT content = row->GetCell(1)->ContentRect;
    const int middle = (content.left + content.right) / 2;
    const int y = (content.top + content.bottom) / 2;
    EXPECT_EQ(Pixel((content.left + middle) / 2, y), Rgb(kRed));
    EXPECT_EQ(Pixel(middle - 4, y), Rgb(kRed));
    EXPECT_NE(Pixel(middle + 4, y), Rgb(kRed));
    EXPECT_NE(Pixel((middle + content.right) / 2, y), Rgb(kRed));
    form->Free();
    form = nullptr;
    list = nullptr;
    cxProgressBarFinalize();
    cxTextEditFinalize();
}

TEST_F(PainterTest, ComboColumnShowsItsButtonsInEveryRow)
{
    cxDropDownEditInitialize();
    MakeColoured();
    b->SetPropertiesClassName("TcxComboBoxProperties");
    struct Case {
        TcxEditItemShowEditButtons show;
        bool buttons;
    };
    for (const Case& c : {Case{eisbNever, false}, Case{eisbAlways, true}}) {
        b->Options()->SetShowEditButtons(c.show);
        Repaint();
        for (TcxTreeListNode* node : {n0, c0, c1, n1}) {
            TcxTreeListNodeViewInfo* row = nullptr;
            ASSERT_TRUE(ViewInfo()->NodesViewInfo()->FindNodeViewInfo(node, row));
            const RECT cell = row->GetCell(1)->DisplayRect;
            // The button's arrow, a few pixels left of the cell's right edge.
            const RECT edge{cell.right - 14, cell.top + 1, cell.right - 1, cell.bottom - 1};
            const int plain = CountIn(edge, Rgb(kContent));
            const int all = (edge.right - edge.left) * (edge.bottom - edge.top);
            if (c.buttons) EXPECT_LT(plain, all / 2) << node->GetValue(0).AsString();
            else EXPECT_EQ(plain, all) << node->GetValue(0).AsString();
        }
    }
    form->Free();
    form = nullptr;
    list = nullptr;
    cxDropDownEditFinalize();
}

TEST_F(PainterTest, BufferedAndUnbufferedPaintTheSamePixels)
{
    MakeColoured();
    // A look that draws the footer's border, so that every pixel is painted.
    list->LookAndFeel()->SetPainter(TcxUltraFlatLookAndFeelPainter::Class());
    list->OptionsView()->SetGridLines(tlglBoth);
    list->OptionsView()->SetIndicator(true);
    list->OptionsView()->SetFooter(true);
    list->OptionsView()->SetTreeLineStyle(tllsSolid);
    list->SetFocusedNode(c0);
    Repaint();
    const std::vector<std::uint32_t> direct = Capture();
    list->SetBufferedPaint(true);
    Repaint();
    const std::vector<std::uint32_t> buffered = Capture();
    ASSERT_EQ(direct.size(), buffered.size());
    int differing = 0, first = -1;
    for (std::size_t i = 0; i < direct.size(); ++i)
        if (direct[i] != buffered[i] && differing++ == 0) first = static_cast<int>(i);
    EXPECT_EQ(differing, 0) << "first at x " << first % list->Width() << ", y " << first / list->Width() << std::hex
                            << " direct " << direct[first] << " buffered " << buffered[first];
}

TEST_F(PainterTest, StepsInOrderAndWhatEachLeavesToTheNext)
{
    listClass = TRecordingPaintTreeList::StaticClass();
    MakeT();
    list->SetFocusedNode(n0);
    list->FullRefresh();
    Steps().clear();
    Repaint();
    ASSERT_TRUE(n0->Focused());
    std::vector<std::string> order;
    for (const Step& s : Steps()) order.push_back(s.name);
    const std::vector<std::string> expected{
        "background", "header", "nodes",
        "node N0", "indent 0", "cell N0.A", "cell N0.B", "focus N0",
        "node C0", "indent 1", "indent 0", "cell C0.A", "cell C0.B",
        "node C1", "indent 1", "indent 0", "cell C1.A", "cell C1.B",
        "node N1", "indent 0", "cell N1.A", "cell N1.B",
        "background"};
    ASSERT_EQ(order, expected);
    struct Case {
        std::size_t step;
        const char* probe;
        bool visible;
    };
    const Case cases[] = {
        {0, "header", true},  {0, "right", true},                          // nothing painted yet
        {1, "right", false},  {1, "header", true},                         // the background right of the bands
        {2, "header", false}, {2, "N0.A", true},                           // the header strip
        {6, "N0.A", true},    {6, "N0.B", true},                           // cells of an opaque band keep the clip
        {7, "N0.A", true},                                                 // the focus frame: the node area again
    };
    for (const Case& c : cases)
        EXPECT_EQ(Steps()[c.step].visible.at(c.probe), c.visible) << Steps()[c.step].name << " " << c.probe;

    // A band whose cells leave gaps: each cell leaves the clip, and the
    // band's background goes into what is left.
    a->Position()->SetLineCount(2);
    Steps().clear();
    Repaint();
    ASSERT_FALSE(ViewInfo()->GetBand(0)->Opaque);
    bool seen = false;
    for (const Step& step : Steps())
        if (step.name == "cell N0.B") {
            seen = true;
            EXPECT_FALSE(step.visible.at("N0.A low"));
            EXPECT_TRUE(step.visible.at("N0.B low"));
        }
    EXPECT_TRUE(seen);
}

TEST_F(PainterTest, AnIndicatorCellAHandlerDrewStaysOutOfTheNodeArea)
{
    listClass = TRecordingPaintTreeList::StaticClass();
    MakeT();
    list->OptionsView()->SetIndicator(true);
    int calls = 0;
    list->OnCustomDrawIndicatorCell =
        TcxCustomDrawViewInfoItemEvent::FromFunction([&calls](TObject*, TcxCanvas*, TcxCustomViewInfoItem*, bool& done) {
            ++calls;
            done = true;
        });
    Steps().clear();
    Repaint();
    EXPECT_GE(calls, 5) << "the corner and every row";
    int rows = 0;
    for (const Step& s : Steps()) {
        if (s.name != "indicator drawn" || !s.visible.count("indicator in node area")) continue;
        EXPECT_FALSE(s.visible.at("indicator"));
        if (ViewInfo()->NodesViewInfo()->Count > 0 && s.visible.at("indicator in node area") == false) ++rows;
    }
    EXPECT_GE(rows, 4);
}

} // namespace
