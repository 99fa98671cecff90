#pragma once
// The combo box: a drop-down editor whose popup lists the properties'
// items. Its list style decides whether the text is free, completed from
// the list or fixed to it; the list follows the items and the room on the
// screen, and its rows may be measured and painted by the application.

#include "components/editors/cxDropDownEdit.h"
#include "platform/hostlib/stdctrls/listbox.h"

enum TcxEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditDropDownListStyle*);

class TcxCustomComboBox;
class TcxCanvas;

using TcxEditDrawItemEvent =
    hostlib::Event<TcxCustomComboBox*, TcxCanvas*, int, const RECT&, hostlib::TOwnerDrawState>;
using TcxEditMeasureItemEvent = hostlib::Event<TcxCustomComboBox*, int, TcxCanvas*, int&>;

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    int GetDropDownPageRowCount() override { return dropDownRows_; }
    TcxEditEditingStyle GetEditingStyle() override;
    bool UseLookupData() override { return true; }
    bool DropDownOnClick() override { return dropDownListStyle_ == lsFixedList; }
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetViewInfoClass() override;
    hostlib::TClass GetPopupWindowClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetLookupDataClass() override;

    TcxEditDropDownListStyle DropDownListStyle() const { return dropDownListStyle_; }
    void SetDropDownListStyle(TcxEditDropDownListStyle value);
    int DropDownRows() const { return dropDownRows_; }
    // Below one is ignored.
    void SetDropDownRows(int value);
    // 0 or less: the list's own row height.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    // A double-click on the closed editor steps to the next item.
    bool Revertable() const { return revertable_; }
    void SetRevertable(bool value) { revertable_ = value; }

    // The bases' settings under the names of a combo box.
    hostlib::TStringList* Items() const { return LookupItems(); }
    void SetItems(hostlib::TStrings* value) { SetLookupItems(value); }
    bool Sorted() const { return LookupItemsSorted(); }
    void SetSorted(bool value) { SetLookupItemsSorted(value); }
    bool DropDownAutoWidth() const { return PopupAutoSize(); }
    void SetDropDownAutoWidth(bool value) { SetPopupAutoSize(value); }
    bool DropDownSizeable() const { return PopupSizeable(); }
    void SetDropDownSizeable(bool value) { SetPopupSizeable(value); }
    int DropDownWidth() const { return PopupWidth(); }
    void SetDropDownWidth(int value) { SetPopupWidth(value); }

    TcxEditDrawItemEvent OnDrawItem;
    TcxEditMeasureItemEvent OnMeasureItem;

private:
    TcxEditDropDownListStyle dropDownListStyle_ = lsEditList;
    int dropDownRows_ = 8;
    int itemHeight_ = 0;
    bool revertable_ = false;
};

// The face of a fixed-list combo box may be painted by the application: the
// item to paint and, when an editor paints, the editor whose handlers run.
class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct() override;
    virtual void DoCustomDraw(TcxCanvas* canvas, const RECT& rect);

    TcxCustomComboBox* Edit = nullptr;
    int ItemIndex = -1;
};

class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    // A cell: the item of the value's text is painted by the handler.
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    bool IsComboBoxStyle() override { return true; }

    // Set by the editor: its current item.
    int EditItemIndex = -1;
    bool EditHasDrawItemHandler = false;

private:
    TcxCustomComboBoxProperties* ComboProperties() const
    {
        return static_cast<TcxCustomComboBoxProperties*>(Properties());
    }
};

// The list's popup: as high as the rows it shows, at least as wide as the
// editor, or the size the user gave it.
class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void CalculateSize() override;

private:
    int CalculateWidth(bool resized, const RECT& extent, SIZE preferred);
    int CalculateHeight(bool resized, const RECT& extent, SIZE preferred);
};

// The published settings of the combo box.
class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- the list and the editor ---------------------------------------------------------

// The rows of the combo box's list: of the fixed item height or measured by
// the application, painted by it when it asks to; a release over a row
// chooses it and closes the list.
class TcxComboBoxListBox : public TcxCustomEditListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool DoDrawItem(int index, const RECT& rect, hostlib::TOwnerDrawState state) override;
    int GetHeight(int rowCount) override;
    std::string GetItem(int index) override;
    int GetItemHeight(int index = -1) override;
    void RecreateWindow() override;
    TcxCustomComboBox* Edit() const;
    // The next mouse move is the cursor resting where the list opened.
    void IgnoreNextMouseMove() { ignoreNextMouseMove_ = true; }

protected:
    void MeasureItem(int index, int& height) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;

private:
    bool firstRecreation_ = true;
    bool prevMeasured_ = false;
    int prevItemHeight_ = 0;
    bool ignoreNextMouseMove_ = false;
};

class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetListBoxClass() override { return TcxComboBoxListBox::StaticClass(); }
    bool CanResizeVisualArea(SIZE& newSize, int maxHeight = 0, int maxWidth = 0) override;
    SIZE GetVisualAreaPreferredSize(int maxHeight, int width = 0) override;
    void Initialize(hostlib::TWinControl* visualControlsParent) override;
    TcxComboBoxListBox* ComboList() const { return static_cast<TcxComboBoxListBox*>(List()); }
};

class TcxCustomComboBoxInnerEdit : public TcxCustomDropDownInnerEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

protected:
    void Dispatch(hostlib::TMessage& message) override;
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomDropDownEdit::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    hostlib::TClass GetInnerEditClass() const override;
    TcxCustomComboBoxProperties* Properties() const
    {
        return static_cast<TcxCustomComboBoxProperties*>(TcxCustomDropDownEdit::Properties());
    }
    TcxCustomComboBoxProperties* ActiveProperties()
    {
        return static_cast<TcxCustomComboBoxProperties*>(TcxCustomDropDownEdit::ActiveProperties());
    }
    TcxComboBoxLookupData* ComboLookupData() const { return As<TcxComboBoxLookupData>(LookupData()); }

    void Activate(TcxCustomEditData*& editData) override;
    bool CanDropDown() override;
    SIZE GetPopupWindowClientPreferredSize() override;
    void DoOnDrawItem(TcxCanvas* canvas, int index, const RECT& rect, hostlib::TOwnerDrawState state);
    void DoOnMeasureItem(int index, TcxCanvas* canvas, int& height);
    bool IsOnDrawItemEventAssigned();
    bool IsOnMeasureItemEventAssigned();
    // The next opening sizes the list's height from its rows again.
    void ResetPopupHeight();
    // The current item follows the text.
    void SynchronizeItemIndex();

protected:
    void ChangeHandler(hostlib::TObject* sender) override;
    TcxCustomEditViewData* CreateViewData() override;
    void DblClick() override;
    void Dispatch(hostlib::TMessage& message) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void InitializePopupWindow() override;
    void PopupWindowShowed(hostlib::TObject* sender) override;

private:
    void StepToNextItem();
};

// The published combo box.
class TcxComboBox : public TcxCustomComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxComboBoxProperties* Properties() const
    {
        return static_cast<TcxComboBoxProperties*>(TcxCustomComboBox::Properties());
    }
    void SetProperties(TcxComboBoxProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxComboBoxProperties* ActiveProperties()
    {
        return static_cast<TcxComboBoxProperties*>(TcxCustomComboBox::ActiveProperties());
    }
};

// Unit start-up: the combo box, then the popup edit, join the registered
// editor kinds; shut-down only counts down.
void cxDropDownEditInitialize();
void cxDropDownEditFinalize();
