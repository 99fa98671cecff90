// Header items of the tree list: text, sort mark and glyph placement, glyph
// clipping, the ultra-flat overlap, neighbours for the extended painting,
// opaque bands, hints for cut captions, and the pressed header with the
// click sort cycle.
#include <array>

#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

using Box = std::array<int, 4>;
Box B(const RECT& r) { return Box{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                                  static_cast<int>(r.bottom)}; }

class HeaderItemsTest : public TreeListLayoutTest {
protected:
    TcxTreeListColumnHeaderViewInfo* Header(TcxTreeListColumn* column) const
    {
        return column->ViewInfo()->ColumnHeader();
    }
    TcxTreeListHitTest* HitTest() const { return static_cast<TcxTreeListHitTest*>(list->Controller()->HitTestController()); }
    TBitmap* Glyph(int width, int height)
    {
        auto* bitmap = CreateObject<TBitmap>();
        bitmap->SetSize(width, height);
        glyphs.emplace_back(bitmap);
        return bitmap;
    }
    std::vector<ObjectPtr<TBitmap>> glyphs;
};

TEST_F(HeaderItemsTest, TextSortMarkAndLeftGlyphShareTheHeader)
{
    MakeT();
    a->Caption()->SetGlyph(Glyph(16, 16));
    a->SetSortOrder(soAscending);
    TcxTreeListColumnHeaderViewInfo* header = Header(a);
    header->Calculate(RECT{0, 0, 100, 20}, RECT{0, 0, 100, 20});
    EXPECT_EQ(B(header->SortMarkRect), (Box{86, 2, 98, 18}));
    EXPECT_EQ(header->GlyphPos.x, 3);
    EXPECT_EQ(B(header->TextRect), (Box{21, 2, 83, 18}));
    EXPECT_EQ(header->GlyphPos.y, 2);
    EXPECT_EQ(header->TextRect.left - header->GlyphPos.x, 18);
    EXPECT_FALSE(header->GlyphClipped);
    EXPECT_EQ(header->Borders, cxBordersAll);

    // Without a sort order the text only loses the 2 + 1 pixel margins.
    a->SetSortOrder(soNone);
    a->Caption()->SetGlyph(Glyph(0, 0));
    header->Calculate(RECT{0, 0, 100, 20}, RECT{0, 0, 100, 20});
    EXPECT_EQ(B(header->TextRect), (Box{3, 2, 97, 18}));
}

TEST_F(HeaderItemsTest, ACentredGlyphWiderThanTheHeaderIsClipped)
{
    MakeT();
    const struct {
        int width;
        bool clipped;
    } cases[] = {{16, false}, {120, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        a->Caption()->SetGlyph(Glyph(c.width, 10));
        a->Caption()->SetGlyphAlignHorz(taCenter);
        TcxTreeListColumnHeaderViewInfo* header = Header(a);
        header->Calculate(RECT{0, 0, 100, 20}, RECT{0, 0, 100, 20});
        EXPECT_EQ(header->GlyphPos.x, (3 + 97 - c.width) / 2);
        EXPECT_EQ(header->GlyphClipped, c.clipped);
        EXPECT_EQ(B(header->TextRect), (Box{3, 2, 97, 18})) << "a centred glyph leaves the text alone";
    }
}

TEST_F(HeaderItemsTest, AdjacentHeadersOverlapOnlyInTheUltraFlatLook)
{
    MakeT();
    EXPECT_FALSE(Header(b)->OverlapLeft);
    list->LookAndFeel()->SetPainter(TcxUltraFlatLookAndFeelPainter::Class());
    EXPECT_TRUE(Header(b)->OverlapLeft);
    EXPECT_EQ(Header(b)->GetDisplayRect().left, 99);
    EXPECT_EQ(Header(b)->ClipRect.left, 99);
    EXPECT_EQ(Header(a)->GetDisplayRect().left, 0) << "the first of a row has nothing to overlap";
    list->OptionsView()->SetExtPaintStyle(true);
    EXPECT_FALSE(Header(b)->OverlapLeft);
}

TEST_F(HeaderItemsTest, NeighboursFaceTheOtherHeadersOfTheRow)
{
    MakeT();
    TcxTreeListColumn* c = AddColumn("C", 60);
    list->OptionsView()->SetBands(true);
    EXPECT_EQ(Header(a)->Neighbors, TcxNeighbors{nRight});
    EXPECT_EQ(Header(b)->Neighbors, (TcxNeighbors{nLeft, nRight}));
    EXPECT_EQ(Header(c)->Neighbors, TcxNeighbors{nLeft});
    EXPECT_EQ(list->Bands()->Items(0)->ViewInfo()->Header()->Neighbors, TcxNeighbors{});
    b->SetVisible(false);
    c->SetVisible(false);
    EXPECT_EQ(Header(a)->Neighbors, TcxNeighbors{});
}

TEST_F(HeaderItemsTest, ABandIsOpaqueWhenItsRowsFillEveryHeaderLine)
{
    MakeT();
    TcxTreeListBandViewInfo* band = list->Bands()->Items(0)->ViewInfo();
    EXPECT_TRUE(band->Opaque);
    // A spans two lines and B one in the same row: B leaves a hole.
    list->BeginUpdate();
    a->Position()->SetLineCount(2);
    list->EndUpdate();
    ASSERT_EQ(list->HeaderLineCount(), 2);
    EXPECT_FALSE(band->Opaque);
    b->Position()->SetLineCount(2);
    EXPECT_TRUE(band->Opaque);
    // One line each in two rows fill two lines as well.
    list->BeginUpdate();
    a->Position()->SetLineCount(1);
    b->Position()->SetLineCount(1);
    b->Position()->SetRowIndex(1);
    list->EndUpdate();
    ASSERT_EQ(list->HeaderLineCount(), 2);
    EXPECT_TRUE(band->Opaque);
    EXPECT_EQ(b->ViewInfo()->YOfs, 1);
    EXPECT_EQ(B(HeaderRect(b)), (Box{0, 19, 100, 38}));
}

TEST_F(HeaderItemsTest, AHintIsNeededOnlyForACutCaption)
{
    MakeT();
    std::string text;
    bool multiLine = true;
    bool offset = true;
    RECT textRect{};
    TcxTreeListColumnHeaderViewInfo* header = Header(a);
    const POINT inside{10, 8};
    EXPECT_FALSE(header->IsNeedHint(list->Canvas(), inside, text, multiLine, textRect, offset));
    EXPECT_EQ(text, "A");
    EXPECT_FALSE(multiLine);
    EXPECT_FALSE(offset);
    a->Caption()->SetText(std::string(20, 'W'));
    EXPECT_TRUE(header->IsNeedHint(list->Canvas(), inside, text, multiLine, textRect, offset));
    EXPECT_EQ(textRect.right - textRect.left, 120);
    EXPECT_FALSE(header->IsNeedHint(list->Canvas(), POINT{1, 8}, text, multiLine, textRect, offset))
        << "outside the text a wide caption needs no hint";
}

TEST_F(HeaderItemsTest, PressingASecondHeaderReleasesTheFirstAndClicksSortInACycle)
{
    MakeT();
    std::vector<TcxTreeListColumn*> clicks;
    list->OnColumnHeaderClick =
        TcxTreeListColumnChangedEvent::FromFunction([&](TObject*, TcxTreeListColumn* column) { clicks.push_back(column); });
    const auto click = [&](TcxTreeListColumn* column) {
        Header(column)->SetPressed(true);
        EXPECT_EQ(Header(column)->ButtonState, cxbsPressed);
        Header(column)->SetPressed(false);
    };
    std::vector<TcxDataSortOrder> orders;
    for (int i = 0; i < 3; ++i) {
        click(b);
        orders.push_back(b->SortOrder());
    }
    EXPECT_EQ(orders, (std::vector<TcxDataSortOrder>{soAscending, soDescending, soAscending}));
    EXPECT_EQ(clicks, (std::vector<TcxTreeListColumn*>{b, b, b}));
    // A plain click sorts by that column alone.
    click(a);
    EXPECT_EQ(a->SortOrder(), soAscending);
    EXPECT_EQ(b->SortOrder(), soNone);
    // After a header drag only the click event comes.
    static_cast<TcxTreeListController*>(list->Controller())->SetHeaderDragged(true);
    click(a);
    EXPECT_EQ(a->SortOrder(), soAscending);
    EXPECT_EQ(clicks.size(), 5u);
    static_cast<TcxTreeListController*>(list->Controller())->SetHeaderDragged(false);

    Header(a)->SetPressed(true);
    Header(b)->SetPressed(true);
    EXPECT_FALSE(Header(a)->Pressed);
    EXPECT_TRUE(Header(b)->Pressed);
    EXPECT_EQ(HitTest()->PressedHeader(), Header(b));
    Header(b)->SetPressed(false);
    EXPECT_EQ(HitTest()->PressedHeader(), nullptr);
    list->OnColumnHeaderClick = {};
}

} // namespace
