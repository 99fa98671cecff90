#pragma once
// The layout fixture: a 300 x 200 tree list without border in the
// fixed-metrics face at -13 (glyphs 6 wide, text 13 high) and a painter of
// round metrics, with columns A (100) and B (80) in one band and the nodes
// N0 (expanded: C0, C1) and N1 (collapsed: D0). Derived values: header line
// 19, cells offset 19, level indent 15, left-most indent 0.

#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/graphics/wingdi.h"
#include "tests/components/treelist/tree_list_fixture.h"

namespace treelisttest {

// Header height h + 6, expand buttons 9, sort mark area 12 x 12, footer
// borders, cell borders and cell offsets 1, no header hot tracking.
class TestLayoutPainter final : public TcxCustomLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class()
    {
        static const TestLayoutPainter painter;
        return &painter;
    }
    const char* ClassName() const override { return "TestLayoutPainter"; }
    int HeaderHeight(int fontHeight) const override { return fontHeight + 6; }
    int SmallExpandButtonSize() const override { return 9; }
    POINT SortingMarkAreaSize() const override { return POINT{12, 12}; }
    int FooterBorderSize() const override { return 1; }
    int FooterCellBorderSize() const override { return 1; }
    int FooterCellOffset() const override { return 1; }
    bool IsHeaderHotTrack() const override { return false; }
};

class TreeListLayoutTest : public TreeListTest {
protected:
    TcxTreeList* MakeT()
    {
        if (form) form->Free();
        form = NewForm(400, 300);
        list = hostlib::CreateInstance<TcxTreeList>(listClass ? listClass : TcxTreeList::StaticClass(), form);
        list->BeginUpdate();
        list->SetBounds(0, 0, 300, 200);
        list->SetBorderStyle(cxcbsNone);
        list->Font()->SetName(quelvo::gfx::kFixedTestFace);
        list->Font()->SetHeight(-13);
        list->LookAndFeel()->SetPainter(TestLayoutPainter::Class());
        TcxTreeListOptionsView* view = list->OptionsView();
        view->SetBands(false);
        view->SetHeaders(true);
        view->SetIndicator(false);
        view->SetFooter(false);
        view->SetShowRoot(true);
        view->SetButtons(true);
        list->SetDefaultRowHeight(18);
        a = AddColumn("A", 100);
        b = AddColumn("B", 80);
        n0 = AddRow(nullptr, {"N0", "n0"});
        c0 = AddRow(n0, {"C0", "c0"});
        c1 = AddRow(n0, {"C1", "c1"});
        n1 = AddRow(nullptr, {"N1", "n1"});
        d0 = AddRow(n1, {"D0", "d0"});
        n0->SetExpanded(true);
        list->SetParent(form);
        list->EndUpdate();
        form->Show();
        Pump();
        return list;
    }
    TcxTreeListColumn* AddColumn(const std::string& caption, int width)
    {
        TcxTreeListColumn* column = list->CreateColumn();
        column->Caption()->SetText(caption);
        column->SetWidth(width);
        return column;
    }
    TcxTreeListViewInfo* ViewInfo() const { return list->TreeListViewInfo(); }
    // A column in a band of its own, created at the end of the bands.
    TcxTreeListBand* AddBand(TcxTreeListColumn* column, TcxTreeListBandFixedKind kind = tlbfNone)
    {
        TcxTreeListBand* band = list->Bands()->Add();
        band->SetFixedKind(kind);
        column->Position()->SetBandIndex(band->Index());
        return band;
    }
    RECT HeaderRect(TcxTreeListColumn* column) const { return column->ViewInfo()->ColumnHeader()->DisplayRect; }

    hostlib::TClass listClass = nullptr;

    TcxTreeListColumn* a = nullptr;
    TcxTreeListColumn* b = nullptr;
    TcxTreeListNode* n0 = nullptr;
    TcxTreeListNode* c0 = nullptr;
    TcxTreeListNode* c1 = nullptr;
    TcxTreeListNode* n1 = nullptr;
    TcxTreeListNode* d0 = nullptr;
};

} // namespace treelisttest
