#pragma once
// The tree list's painter: draws what the layout computed, element by
// element, each replaceable by its custom-draw event. Unbuffered, every
// painted element leaves the clip region so that no pixel is painted twice
// and backgrounds go last into what is left; buffered, backgrounds go
// first and are overdrawn in the off-screen bitmap.

#include "components/treelist/cxTLViewInfo.h"

class TcxTreeListControlPainter : public TcxCustomControlPainter {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void AfterCustomDraw(TcxCustomViewInfoItem* item) override;
    void BeforeCustomDraw(TcxCustomViewInfoItem* item) override;
    void DoPaint() override;

    virtual void DrawBackgroundRect(const RECT& r);
    virtual void DrawBandItem(TcxTreeListBandViewInfo* band);
    virtual void DrawBandFooter(TcxTreeListBandViewInfo* band);
    virtual void DrawCellsGroup(TcxTreeListCellsGroupViewInfo* group);
    virtual void DrawEditCell(TcxTreeListEditCellViewInfo* cell, bool keepClip);
    virtual void DrawExpandButton(const RECT& r, bool expanded, hostlib::TBitmap* bitmap);
    virtual void DrawFocusRect(TcxTreeListNodeViewInfo* row);
    virtual void DrawFooter();
    virtual void DrawFooterItem(TcxTreeListFooterItemViewInfo* footer);
    virtual void DrawFooterRect(const RECT& r, TcxTreeListBandViewInfo* band);
    virtual void DrawHeader();
    virtual void DrawHeaderItem(TcxTreeListHeaderViewInfo* header, bool keepClip);
    virtual void DrawHeaderRect(const RECT& r, TcxTreeListBandViewInfo* band);
    virtual void DrawImage(TcxTreeListIndentViewInfo* indent);
    virtual void DrawIndicator(TcxTreeListIndicatorViewInfo* indicator);
    virtual void DrawNode(TcxTreeListNodeViewInfo* row);
    virtual void DrawNodeCells(TcxTreeListNodeViewInfo* row, int firstGroup, int lastGroup);
    virtual void DrawNodeIndent(TcxTreeListIndentViewInfo* indent);
    virtual void DrawNodePreview(TcxTreeListNodePreviewViewInfo* preview) { DrawEditCell(preview, false); }
    virtual void DrawNodes();
    virtual void DrawRect(const RECT& r, hostlib::TBrush* brush, hostlib::TBitmap* bitmap);
    virtual void DrawSeparators(const RECT (&separators)[2]);
    virtual void DrawTreeLines(TcxTreeListIndentViewInfo* indent);

    void DrawRectWithBorders(const RECT& r, hostlib::TBrush* brush, bool bordersOnly, TcxBorders borders,
                             hostlib::TBitmap* bitmap);
    void ExtDrawHeader(const RECT& bounds, const RECT& textArea, TcxNeighbors neighbors, TcxBorders borders,
                       TcxButtonState state, hostlib::TAlignment alignHorz, TcxAlignmentVert alignVert,
                       bool multiLine, bool showEndEllipsis, const std::string& text, hostlib::TFont* font,
                       hostlib::TColor textColor, hostlib::TColor color);
    bool DoCustomDrawEx(TcxCustomViewInfoItem* item, bool excludeWhenDone, const TcxCustomDrawViewInfoItemEvent& event);
    // Tiles the rectangle with the pending bitmap, if any, and consumes it.
    void DoPaintBackground(TcxCanvas* canvas, const RECT& r, bool& done);
    void RestoreClipping();
    bool GetViewState(int bit) const;
    bool GetIsFooterVisible() const;
    TcxCustomTreeListControl* GetTreeList() const;
    TcxTreeListViewInfo* GetTreeListViewInfo() const;
    TcxRegion* ContentClipRegion() const { return contentClipRegion_.get(); }

private:
    void DrawRowIndicatorGlyph(TcxTreeListIndicatorViewInfo* indicator);
    void DrawHeaderGlyphAndMarks(TcxTreeListHeaderViewInfo* header);
    void DrawCellsGroupBackground(TcxTreeListCellsGroupViewInfo* group);
    void PaintEditCellContent(TcxTreeListEditCellViewInfo* cell);
    void DrawTreeLine(const RECT& r, hostlib::TColor indentColor);
    // Removes r from both the canvas clip and the node area's region.
    void ExcludeFromContent(const RECT& r);

    hostlib::ObjectPtr<TcxRegion> contentClipRegion_;
    hostlib::TBitmap* currentBitmap_ = nullptr;
};
