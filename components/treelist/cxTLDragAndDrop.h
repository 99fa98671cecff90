#pragma once
// Moving band and column headers: the dragged header follows the mouse as a
// translucent picture, two arrows show where it would land, and the drop
// places it between other headers, into a new header row, into an empty
// band or, over the customization form, hides it.

#include "components/treelist/cxInplaceContainerDragAndDrop.h"
#include "components/treelist/cxTL.h"

class TcxTreeListDragDropInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct() {}

    POINT Point{};  // client coordinates
    bool Accepted = false;
};

class TcxTreeListHeaderDragDropInfo : public TcxTreeListDragDropInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxTreeListBand* Band = nullptr;
    hostlib::TObject* HeaderItem = nullptr;
    bool InsertRow = false;
    // For a band drag: the target visible position.
    int ColIndex = 0;
    int RowIndex = 0;
};

// Where a dragged item lands beside a target item: before it (left border)
// or after it (right border).
enum TcxTreeListDropBorder { tldbLeft, tldbTop, tldbRight, tldbBottom };

// The drop refused (false, newIndex := current) onto the item itself, the
// right half of the item before it or the left half of the one after it;
// else before or after the target by the half the drop x lies in.
bool cxTreeListCheckDropPos(int current, int target, bool check, TcxTreeListDropBorder& border, int& newIndex,
                            int dropX, int centreX);

class TcxTreeListDragAndDropObject : public TcxCustomControlDragAndDropObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr int kArrowLength = 10;
    static constexpr int kArrowWidth = 20;
    static constexpr int kScrollStrip = 10;

    virtual void DropHeaderItem();
    virtual void DropNodes() {}
    virtual hostlib::TClass GetDragDropInfoClass() { return TcxTreeListHeaderDragDropInfo::StaticClass(); }
    virtual void InitDropHeaderInfo();
    virtual void InitDropInfo(const POINT& p);

    RECT GetAcceptedRect() override;
    RECT GetDisplayRect() override;
    void OwnerImageChanged() override;
    void OwnerImageChanging() override;
    void Paint() override;

    TcxCustomTreeListControl* TreeList() const;
    TcxTreeListController* Controller() const;
    TcxTreeListHitTest* HitTest() const;
    TcxTreeListHeaderViewInfo* DragItem() const;
    bool IsDragColumn() const;
    bool IsDragBand() const;
    TcxTreeListColumn* GetDragColumn() const;
    TcxTreeListBand* GetDragBand() const;
    TcxTreeListHeaderDragDropInfo* DropInfo() const { return dropInfo_.get(); }
    bool ArrowsShown() const { return arrowsShown_; }
    // The arrows' screen base line: from (left, top) to (right - 1, bottom - 1).
    RECT ArrowBaseLine() const { return arrowBaseLine_; }
    HWND ArrowWindow(int index) const { return arrowWindows_[index].Handle(); }
    // Screen rectangles of the two arrows at a base line.
    static void GetArrowRects(const RECT& baseLine, RECT& first, RECT& second);

    bool CanDropHeaderObject();
    bool CheckCustomizingBox();
    bool CustomizingFormVisible() const;
    void StorePosition();
    void RestorePosition();

protected:
    void Destroy() override;
    hostlib::TCursor GetDragAndDropCursor(bool accepted) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const POINT& p, bool& accepted) override;
    void EndDragAndDrop(bool accepted) override;

private:
    bool CanMoveToBand(TcxTreeListBand* band) const;
    void InitDropColumnInfo();
    void InitDropBandInfo();
    bool DropIntoEmptyTree(RECT& r, TcxTreeListDropBorder& border);
    bool DropOnColumnHeader(RECT& r, TcxTreeListDropBorder& border);
    bool DropOnHeaderPanel(RECT& r, TcxTreeListDropBorder& border);
    // Shows the arrows at a border of a client rectangle, or hides them.
    void ChangeArrowPos(const RECT& r, TcxTreeListDropBorder border, bool hide);
    void DoDrawArrows();
    void RestoreArrows();
    RECT GetArrowBaseLine(const RECT& r, TcxTreeListDropBorder border) const;
    void HideDroppedHeader();
    void AddScrollStrips();

    hostlib::ObjectPtr<TcxTreeListHeaderDragDropInfo> dropInfo_;
    int savedColIndex_ = 0;
    bool positionStored_ = false;
    bool imageDrawn_ = false;
    bool arrowsShown_ = false;
    RECT arrowBaseLine_{};
    TcxDragWindow arrowWindows_[2];
};
