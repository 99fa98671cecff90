#pragma once
// The customization form: a small tool window listing the tree list's
// hidden columns and bands. Dragging a header onto it hides it; dragging an
// entry back into the header shows it where it is dropped.

#include "components/editor-catalogue/cxListBox.h"
#include "components/treelist/cxTLDragAndDrop.h"
#include "platform/hostlib/stdctrls/extctrls.h"

class TcxTreeListCustomizing;
class TcxTreeListItemsCustomizeListBox;

class TcxTreeListCustomizationForm : public hostlib::TForm {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr unsigned kDeactivationInterval = 10;

    void Construct(hostlib::TComponent* owner) override;

    void StartDeactivationTimer(TcxTreeListItemsCustomizeListBox* listBox);
    void StopDeactivationTimer();
    TcxTreeListCustomizing* Customizing() const { return customizing_; }
    void SetCustomizing(TcxTreeListCustomizing* value) { customizing_ = value; }
    hostlib::TTimer* DeactivationTimer() const { return timer_; }

protected:
    void Destroy() override;

private:
    void DeactivationTimeHandler(hostlib::TObject* sender);

    TcxTreeListCustomizing* customizing_ = nullptr;
    hostlib::TTimer* timer_ = nullptr;
    TcxTreeListItemsCustomizeListBox* listBox_ = nullptr;
};

// One list of hidden headers, each entry painted as its header.
class TcxTreeListItemsCustomizeListBox : public TcxListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TComponent* owner, TcxCustomTreeListControl* treeList, bool bands);

    void RefreshList();
    int GetItemHeight(int index);
    bool IsBands() const { return bands_; }
    TcxCustomTreeListControl* TreeList() const { return treeList_; }
    TcxTreeListDragAndDropObject* DragObject() const { return dragObject_.get(); }
    bool DragStarted() const { return dragStarted_; }
    // Ends a running drag; a drop only when accepted.
    void FinishDrag(bool accept);
    void EndDrag(bool accept);

    bool DrawItem(TcxCanvas* canvas, int index, const RECT& rect, hostlib::TOwnerDrawState state) override;

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Resize() override;
    void FocusChanged() override;
    TcxCustomLookAndFeelPainterClass GetPainter();

private:
    void MeasureItem(TcxListBox* sender, int index, int& height);
    void InnerMouseDown(const POINT& p);
    void InnerMouseMove(const POINT& p);
    void InnerMouseUp();
    void BeginDrag();
    void InitDragAndDropObject();
    TcxTreeListHeaderViewInfo* Header(int index) const;
    void DoEndDrag(bool accept, bool touchDropInfo);

    TcxCustomTreeListControl* treeList_ = nullptr;
    bool bands_ = false;
    int dragIndex_ = -1;
    POINT mouseDownPos_{};
    bool dragStarted_ = false;
    POINT origin_{};
    hostlib::ObjectPtr<TcxTreeListDragAndDropObject> dragObject_;
    hostlib::TCursor savedCursor_ = hostlib::crDefault;
};

// The tree list's customizing object: owns the form and its lists.
class TcxTreeListCustomizing : public TcxOwnedInterfacedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr int kDefaultRowCount = 10;
    static constexpr POINT kNoPosition{-1000, -1000};

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    bool Visible();
    void SetVisible(bool value);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value) { rowCount_ = std::max(value, 2); }

    virtual void AdjustControls();
    virtual void Activate() {}
    virtual void Close(hostlib::TObject* sender, hostlib::TCloseAction& action);
    virtual void CreateControls();
    virtual void LookAndFeelChanged();
    virtual SIZE SizeDelta() { return SIZE{28, 4}; }
    virtual void Update();
    virtual void ComponentRemoved(hostlib::TObject*) {}
    virtual void Modified();

    void MakeBandSheetVisible();
    void MakeColumnSheetVisible();
    bool PtInCustomizingBox(const POINT& screenPoint);
    TcxCustomTreeListControl* TreeList() const;
    TcxTreeListCustomizationForm* Form() const { return form_; }
    TcxTreeListItemsCustomizeListBox* BandsListBox() const { return bandsListBox_; }
    TcxTreeListItemsCustomizeListBox* ColumnsListBox() const { return columnsListBox_; }
    hostlib::TPageControl* PageControl() const { return pageControl_; }
    int LineHeight() const { return lineHeight_; }
    // The header drag running from one of the lists, if any.
    TcxTreeListDragAndDropObject* DragObject() const { return dragObject_; }
    void SetDragObject(TcxTreeListDragAndDropObject* value) { dragObject_ = value; }
    // Frees the controls; the form is released (or freed at once while the
    // tree list goes).
    void ReleaseControls();

protected:
    void Destroy() override;

private:
    bool CanShow();
    void CreateCustomizingForm();
    void ShowCustomizingForm();
    void ValidateListBox(TcxTreeListItemsCustomizeListBox* listBox, int index);
    void VisibleChanged(hostlib::TObject* sender);
    void FormActivate(hostlib::TObject*) { Activate(); }
    void PlaceListBox(TcxTreeListItemsCustomizeListBox* listBox, hostlib::TWinControl* parent);
    void RememberPlace();

    TcxTreeListCustomizationForm* form_ = nullptr;
    TcxTreeListItemsCustomizeListBox* bandsListBox_ = nullptr;
    TcxTreeListItemsCustomizeListBox* columnsListBox_ = nullptr;
    hostlib::TPageControl* pageControl_ = nullptr;
    hostlib::TTabSheet* bandsSheet_ = nullptr;
    hostlib::TTabSheet* columnsSheet_ = nullptr;
    TcxTreeListDragAndDropObject* dragObject_ = nullptr;
    int lineHeight_ = 0;
    POINT lastPosition_ = kNoPosition;
    int lastBandIndex_ = -1;
    int lastColumnIndex_ = -1;
    int rowCount_ = kDefaultRowCount;
    bool visible_ = false;
};
