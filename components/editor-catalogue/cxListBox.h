#pragma once
// A list box in a container: the container's border, styles and look and
// feel around a native list whose bars the library draws. Every list
// property and operation goes straight to the inner list; a binding object
// may tie the selected item's text to an outside value (the plain binding
// stores nothing).

#include <string>

#include "components/data/cxDataUtils.h"
#include "components/foundation/cxContainerListBox.h"

class TcxListBox;

using TcxListBoxDrawItemEvent = hostlib::Event<TcxListBox*, TcxCanvas*, int, RECT, hostlib::TOwnerDrawState>;
using TcxListBoxMeasureItemEvent = hostlib::Event<TcxListBox*, int, int&>;

// The native list of a TcxListBox; its owner is always that list box.
class TcxInnerListBox : public TcxCustomInnerListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual bool ExecuteAction(hostlib::TComponent* action);
    virtual bool UpdateAction(hostlib::TComponent* action);
    bool CanFocus() override;
    void Click() override;

protected:
    void CreateWindowHandle(const hostlib::TCreateParams& params) override;
    void DrawItem(int index, const RECT& rect, hostlib::TOwnerDrawState state) override;
    void WndProc(hostlib::TMessage& message) override;

private:
    TcxListBox* ListBox() const;
    bool SetEditMode() const;
    void WMLButtonDown(hostlib::TMessage& m);
};

class TcxListBox : public TcxContainer {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    TcxInnerListBox* InnerListBox() const { return innerListBox_; }
    TcxCustomDataBinding* DataBinding() const { return dataBinding_.get(); }

    // ---- pass-through to the inner list
    int Columns() const { return innerListBox_->Columns(); }
    void SetColumns(int value);
    bool ExtendedSelect() const { return innerListBox_->ExtendedSelect(); }
    void SetExtendedSelect(bool value) { innerListBox_->SetExtendedSelect(value); }
    int ItemHeight() const { return innerListBox_->ItemHeight(); }
    void SetItemHeight(int value) { innerListBox_->SetItemHeight(value); }
    hostlib::TStrings* Items() const { return innerListBox_->Items(); }
    // Assigns the strings, then lets the binding pick the item again.
    void SetItems(hostlib::TStrings* value);
    hostlib::TListBoxStyle ListStyle() const { return innerListBox_->Style(); }
    void SetListStyle(hostlib::TListBoxStyle value) { innerListBox_->SetStyle(value); }
    bool MultiSelect() const { return innerListBox_->MultiSelect(); }
    void SetMultiSelect(bool value) { innerListBox_->SetMultiSelect(value); }
    bool Sorted() const { return innerListBox_->Sorted(); }
    void SetSorted(bool value) { innerListBox_->SetSorted(value); }
    bool AutoComplete() const { return innerListBox_->AutoComplete(); }
    void SetAutoComplete(bool value) { innerListBox_->SetAutoComplete(value); }
    int ScrollWidth() const { return innerListBox_->ScrollWidth(); }
    void SetScrollWidth(int value) { innerListBox_->SetScrollWidth(value); }
    int TabWidth() const { return innerListBox_->TabWidth(); }
    void SetTabWidth(int value) { innerListBox_->SetTabWidth(value); }
    int Count() const { return innerListBox_->Count(); }
    void SetCount(int value) { innerListBox_->SetCount(value); }
    int ItemIndex() const { return innerListBox_->ItemIndex(); }
    void SetItemIndex(int value) { innerListBox_->SetItemIndex(value); }
    int SelCount() const { return innerListBox_->SelCount(); }
    bool Selected(int index) const { return innerListBox_->Selected(index); }
    void SetSelected(int index, bool value) { innerListBox_->SetSelected(index, value); }
    int TopIndex() const { return innerListBox_->TopIndex(); }
    void SetTopIndex(int value) { innerListBox_->SetTopIndex(value); }
    bool ReadOnly() const { return dataBinding_->GetReadOnly(); }
    void SetReadOnly(bool value) { dataBinding_->SetReadOnly(value); }
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool value);

    void AddItem(const std::string& text, hostlib::TObject* object);
    void Clear() { innerListBox_->Clear(); }
    void ClearSelection() { innerListBox_->ClearSelection(); }
    void DeleteSelected() { innerListBox_->DeleteSelected(); }
    void SelectAll() { innerListBox_->SelectAll(); }
    void CopySelection(hostlib::TListBox* destination) const { innerListBox_->CopySelection(destination); }
    void MoveSelection(hostlib::TListBox* destination) { innerListBox_->MoveSelection(destination); }
    bool ItemVisible(int index) const { return innerListBox_->ItemVisible(index); }
    // In this control's client coordinates.
    int ItemAtPos(POINT pos, bool existing) const;
    RECT ItemRect(int index) const;

    // The height that shows whole items only, near the one asked for.
    void GetOptimalHeight(int& height);

    hostlib::TLBGetDataEvent& OnData() { return innerListBox_->OnData; }
    hostlib::TLBFindDataEvent& OnDataFind() { return innerListBox_->OnDataFind; }
    hostlib::TLBGetDataObjectEvent& OnDataObject() { return innerListBox_->OnDataObject; }
    const TcxListBoxMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
    // Assigned, the inner list asks this control for variable heights.
    void SetOnMeasureItem(const TcxListBoxMeasureItemEvent& value);

    TcxListBoxDrawItemEvent OnDrawItem;

    // True when the item was drawn.
    virtual bool DrawItem(TcxCanvas* canvas, int index, const RECT& rect, hostlib::TOwnerDrawState state);
    virtual hostlib::TClass GetDataBindingClass() const { return TcxDataBinding::StaticClass(); }
    virtual hostlib::TClass GetInnerListBoxClass() const { return TcxInnerListBox::StaticClass(); }
    virtual bool ExecuteAction(hostlib::TComponent* action) { return dataBinding_->ExecuteAction(action); }
    virtual bool UpdateAction(hostlib::TComponent* action) { return dataBinding_->UpdateAction(action); }

    bool CanResize(int& newWidth, int& newHeight) override;
    bool IsInternalControl(hostlib::TControl* control) override;
    void DataChange() override;
    void SetSize() override;
    void UpdateData() override;

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void DoExit() override;
    void FontChanged() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    friend class TcxInnerListBox;

    void DoMeasureItem(hostlib::TWinControl* control, int index, int& height);
    void DataChangeHandler() { DataChange(); }
    void DataSetChangeHandler() { DataSetChange(); }
    void UpdateDataHandler() { UpdateData(); }
    bool IntegralHeightApplies() const;
    int OptimalItemHeight(int index);
    int OptimalCandidate(int itemsHeight, int shownItems, const RECT& border);
    void RemovePendingMouseMoves(const RECT& oldInnerBounds);

    TcxListBoxMeasureItemEvent onMeasureItem_;
    TcxInnerListBox* innerListBox_ = nullptr;
    hostlib::ObjectPtr<TcxCustomDataBinding> dataBinding_;
    bool exiting_ = false;
    bool integralHeight_ = false;
};
