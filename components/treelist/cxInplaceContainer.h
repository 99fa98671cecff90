#pragma once
// The base of controls whose cells are painted by editor kinds and edited
// in place by one live editor at a time: it owns the helper objects (the
// controller with its editing, hit-test and hot-track controllers and cell
// navigator, the data controller holding the cell values, the view info
// with its painter, the styles, the shared edit style, a brush cache), each
// made through a virtual class getter, keeps the item list and the update
// brackets, runs the layout change and hands every input to the controller.
// Also the owned persistents the option objects build on, the three option
// objects of the extended control and the unit's small helpers.

#include <string>

#include "components/data/cxData.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/lists.h"

class TcxEditingControl;
class TcxCustomInplaceEditContainer;
class TcxCustomControlController;
class TcxEditingController;
class TcxCustomHitTestController;
class TcxHotTrackController;
class TcxDragImageHelper;
class TcxCustomControlViewInfo;
class TcxCustomControlPainter;
class TcxCustomControlStyles;
class TcxControlDataController;
class TcxCustomViewInfoItem;

using TcxecItemEvent = hostlib::Event<hostlib::TObject*, hostlib::TObject*>;
using TcxecEditingEvent = hostlib::Event<hostlib::TObject*, hostlib::TObject*, bool&>;
using TcxecInitEditEvent = hostlib::Event<hostlib::TObject*, hostlib::TObject*, TcxCustomEdit*>;
// Sender, canvas, the item painted, done.
using TcxCustomDrawViewInfoItemEvent =
    hostlib::Event<hostlib::TObject*, TcxCanvas*, TcxCustomViewInfoItem*, bool&>;

enum TcxEditingControlEditShowButtons { ecsbAlways, ecsbFocused, ecsbNever };
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditingControlEditShowButtons*);

// ---- unit helpers -------------------------------------------------------------------

inline bool cxInRange(int value, int min, int max) { return value >= min && value <= max; }
// True when value lies in [min, max]; otherwise value is clamped and false.
bool cxRange(int& value, int min, int max);
inline int cxSetValue(bool condition, int trueValue, int falseValue) { return condition ? trueValue : falseValue; }
// The application's OK/Cancel question box; true for OK.
bool cxConfirmMessageBox(const std::string& text, const std::string& caption);
// Raises hostlib::EAbstractError: a descendant had to supply the operation.
[[noreturn]] void cxAbstractError();

// ---- owned persistents ----------------------------------------------------------------

// A persistent whose owner (and so its name path) is given at creation.
class TcxOwnedPersistent : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner) { owner_ = owner; }
    hostlib::TPersistent* GetOwner() const override { return owner_; }

private:
    hostlib::TPersistent* owner_ = nullptr;
};

// Interfaces are found with hostlib::Supports and never counted.
class TcxOwnedInterfacedPersistent : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// A collection item whose interfaces are its collection owner's business.
class TcxInterfacedCollectionItem : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    // The collection's owner, kept from construction.
    hostlib::TPersistent* OwnerInterface() const { return ownerInterface_; }

private:
    hostlib::TPersistent* ownerInterface_ = nullptr;
};

// ---- options of the editing control ---------------------------------------------------

class TcxControlOptionsView;
class TcxControlOptionsData;
class TcxControlOptionsBehavior;

class IcxEditingControlOptions {
public:
    virtual TcxControlOptionsBehavior* GetOptionsBehavior() = 0;
    virtual TcxControlOptionsData* GetOptionsData() = 0;
    virtual TcxControlOptionsView* GetOptionsView() = 0;

protected:
    ~IcxEditingControlOptions() = default;
};

// The base of the option objects: owned by an editing control, assigned
// only from the same class.
class TcxControlOptions : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Changed() {}
    TcxEditingControl* EditingControl() const;

protected:
    bool SameClass(hostlib::TPersistent* source) const;
};

class TcxControlOptionsView : public TcxControlOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Changed() override;
    void Assign(hostlib::TPersistent* source) override;

    bool CellAutoHeight() const { return cellAutoHeight_; }
    void SetCellAutoHeight(bool value) { Set(cellAutoHeight_, value); }
    bool CellEndEllipsis() const { return cellEndEllipsis_; }
    void SetCellEndEllipsis(bool value) { Set(cellEndEllipsis_, value); }
    int CellTextMaxLineCount() const { return cellTextMaxLineCount_; }
    void SetCellTextMaxLineCount(int value) { Set(cellTextMaxLineCount_, value); }
    // The control's own ScrollBars.
    hostlib::TScrollStyle ScrollBars() const;
    void SetScrollBars(hostlib::TScrollStyle value);
    TcxEditingControlEditShowButtons ShowEditButtons() const { return showEditButtons_; }
    void SetShowEditButtons(TcxEditingControlEditShowButtons value) { Set(showEditButtons_, value); }

private:
    template <class T>
    void Set(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }

    bool cellAutoHeight_ = false;
    bool cellEndEllipsis_ = false;
    int cellTextMaxLineCount_ = 0;
    TcxEditingControlEditShowButtons showEditButtons_ = ecsbNever;
};

class TcxControlOptionsData : public TcxControlOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;

    bool CancelOnExit() const { return cancelOnExit_; }
    void SetCancelOnExit(bool value) { cancelOnExit_ = value; }
    bool Editing() const { return editing_; }
    // Switching it off hides a shown editor without posting.
    void SetEditing(bool value);

private:
    bool cancelOnExit_ = true;
    bool editing_ = true;
};

class TcxControlOptionsBehavior : public TcxControlOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Changed() override;
    // Leaves DragDropText, IncSearch and IncSearchItem alone.
    void Assign(hostlib::TPersistent* source) override;

    bool AlwaysShowEditor() const { return alwaysShowEditor_; }
    void SetAlwaysShowEditor(bool value) { Set(alwaysShowEditor_, value); }
    bool CellHints() const { return cellHints_; }
    void SetCellHints(bool value) { Set(cellHints_, value); }
    bool DragDropText() const { return dragDropText_; }
    void SetDragDropText(bool value) { dragDropText_ = value; }
    bool FocusCellOnCycle() const { return focusCellOnCycle_; }
    void SetFocusCellOnCycle(bool value) { Set(focusCellOnCycle_, value); }
    bool FocusFirstCellOnNewRecord() const { return focusFirstCellOnNewRecord_; }
    void SetFocusFirstCellOnNewRecord(bool value) { Set(focusFirstCellOnNewRecord_, value); }
    bool GoToNextCellOnEnter() const { return goToNextCellOnEnter_; }
    void SetGoToNextCellOnEnter(bool value) { Set(goToNextCellOnEnter_, value); }
    bool GoToNextCellOnTab() const { return goToNextCellOnTab_; }
    // The control takes Tab from the dialog manager only while this is on.
    void SetGoToNextCellOnTab(bool value);
    bool ImmediateEditor() const { return immediateEditor_; }
    void SetImmediateEditor(bool value) { Set(immediateEditor_, value); }
    bool IncSearch() const { return incSearch_; }
    void SetIncSearch(bool value);
    TcxCustomInplaceEditContainer* IncSearchItem() const { return incSearchItem_; }
    virtual void SetIncSearchItem(TcxCustomInplaceEditContainer* value);

private:
    template <class T>
    void Set(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }
    void CancelIncSearching();

    bool alwaysShowEditor_ = false;
    bool cellHints_ = false;
    bool dragDropText_ = false;
    bool focusCellOnCycle_ = false;
    bool focusFirstCellOnNewRecord_ = false;
    bool goToNextCellOnEnter_ = false;
    bool goToNextCellOnTab_ = false;
    bool immediateEditor_ = true;
    bool incSearch_ = false;
    TcxCustomInplaceEditContainer* incSearchItem_ = nullptr;
};

// ---- the editing control ----------------------------------------------------------------

class TcxEditingControl : public TcxControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void Loaded() override;

    // Update brackets, nested with the data controller's. An unmatched
    // close is ignored: the lock counter never goes below 0.
    void BeginUpdate() { DoBeginUpdate(); }
    void EndUpdate() { DoEndUpdate(); }
    void CancelUpdate();
    int LockCount() const { return lockCount_; }
    void LayoutChanged();
    void UpdateViewStyles();
    void UpdateIndexes();
    // Swaps two items' places in the item list and renumbers them.
    void ExchangeItems(int index1, int index2);
    void FinishDragImages();
    int LayoutChangeDepth() const { return layoutChangeDepth_; }
    bool FullRepaintNeeded() const { return fullRepaint_; }
    void SetFullRepaintNeeded(bool value) { fullRepaint_ = value; }
    POINT DragStartPoint() const { return dragStartPoint_; }

    int ItemCount() const { return items_->Count(); }
    TcxCustomInplaceEditContainer* Items(int index) const;
    TcxCustomControlPainter* GetPainter() const;
    bool BufferedPaint() const;
    void SetBufferedPaint(bool value);
    TcxCustomEditStyle* EditStyle() const { return editStyle_.get(); }
    void SetEditStyle(TcxCustomEditStyle* value) { editStyle_->Assign(value); }
    TcxCustomControlStyles* Styles() const { return styles_.get(); }
    void SetStyles(TcxCustomControlStyles* value);
    TcxCustomControlController* Controller() const { return controller_.get(); }
    TcxControlDataController* DataController() const { return dataController_.get(); }
    TcxCustomControlViewInfo* ViewInfo() const { return viewInfo_.get(); }
    TcxBrushCache* BrushCache() const { return brushCache_.get(); }
    TcxDragImageHelper* DragImageHelper() const { return dragImageHelper_.get(); }
    IcxEditingControlOptions* Options() { return GetOptions(); }

    // The host dispatches no actions: false here, then the data controller's.
    virtual bool ExecuteAction(hostlib::TComponent* action);
    virtual bool UpdateAction(hostlib::TComponent* action);
    // Hides the tooltip, posts a shown editor and starts the host drag.
    virtual void BeginAutoDrag();
    // Notification dispatch by the info's class.
    virtual void ControlUpdateData(TcxUpdateControlInfo* info);
    virtual void DoInplaceEditContainerItemAdded(TcxCustomInplaceEditContainer* item);
    virtual void DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* item);
    virtual bool IsLocked();
    virtual void RecreateViewInfo();
    virtual void UpdateData();
    virtual IcxEditingControlOptions* GetOptions();
    virtual bool DoEditing(TcxCustomInplaceEditContainer* item);
    virtual void DoEditChanged(TcxCustomInplaceEditContainer* item);
    virtual void DoEdited(TcxCustomInplaceEditContainer* item);
    virtual void DoEditValueChanged(TcxCustomInplaceEditContainer* item);
    virtual void DoInitEdit(TcxCustomInplaceEditContainer* item, TcxCustomEdit* edit);
    virtual void BeforeUpdate() {}
    virtual hostlib::TClass GetEditingControllerClass();
    virtual hostlib::TClass GetHitTestControllerClass();
    virtual hostlib::TClass GetHotTrackControllerClass();
    virtual RECT DragDropImageDisplayRect() { return RECT{}; }
    virtual void DrawDragDropImage(hostlib::TBitmap*, TcxCanvas*) {}
    virtual bool HasDragDropImages();

    // The handlers the controller and the items call back.
    using TcxControl::MouseEnter;
    using TcxControl::MouseLeave;
    void MouseEnter(hostlib::TControl* control) override;
    void MouseLeave(hostlib::TControl* control) override;
    void DblClick() override;
    void FocusChanged() override;
    void DoCancelMode() override;
    void BoundsChanged() override;
    bool CanDrag(int x, int y) override;
    bool GetDesignHitTest(int x, int y, hostlib::TShiftState shift) override;
    bool MayFocus() override;
    void AfterMouseDown(hostlib::TMouseButton button, int x, int y) override;
    hostlib::TCursor GetCursor(int x, int y) override;
    bool GetIsFocused() override;
    TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override;
    void InitControl() override;
    void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values) override;
    void InitScrollBarsParameters() override;
    bool IsPixelScrollBar(hostlib::TScrollBarKind kind) override;
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& pos) override;
    TcxDragAndDropObjectClass GetDragAndDropObjectClass() override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const POINT& p, bool& accepted) override;
    void EndDragAndDrop(bool accepted) override;
    bool StartDragAndDrop(const POINT& p) override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    void DoExit() override;

    TcxCustomDrawViewInfoItemEvent OnCustomDrawCell;
    TcxecItemEvent OnEditChanged;
    TcxecItemEvent OnEdited;
    TcxecEditingEvent OnEditing;
    TcxecItemEvent OnEditValueChanged;
    TcxecInitEditEvent OnInitEdit;

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void AlignControls(hostlib::TControl* control, RECT& rect) override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void Paint() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void FontChanged() override;
    void DoStartDrag(hostlib::TDragObject*& dragObject) override;
    void DoEndDrag(hostlib::TObject* target, int x, int y) override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;

    // The slots descendants replace.
    virtual void AfterLayoutChanged() {}
    virtual void CreateSubClasses();
    virtual void DataChanged();
    virtual void DataLayoutChanged();
    virtual void DestroySubClasses();
    virtual void DoBeginUpdate();
    virtual void DoEndUpdate();
    virtual void DoLayoutChanged();
    virtual hostlib::TClass GetControllerClass();
    virtual hostlib::TClass GetControlStylesClass();
    virtual hostlib::TClass GetDataControllerClass();
    virtual hostlib::TClass GetDragImageHelperClass();
    virtual hostlib::TClass GetEditStyleClass();
    virtual hostlib::TClass GetViewInfoClass();
    virtual hostlib::TClass GetPainterClass();
    virtual void SelectionChanged(TcxSelectionChangedInfo*) {}

public:
    hostlib::TClass PainterClass() { return GetPainterClass(); }
    void IncLockCount() { ++lockCount_; }
    void DecLockCount() { if (lockCount_ > 0) --lockCount_; }

private:
    // IcxMouseTrackingCaller of the control itself.
    class MouseTracker : public IcxMouseTrackingCaller {
    public:
        explicit MouseTracker(TcxEditingControl* control) : control_(control) {}
        void MouseLeave() override { control_->MouseLeave(control_); }

    private:
        TcxEditingControl* control_;
    };
    void FinishLayoutChange();
    bool PointerOverClient();
    void WMCancelMode(hostlib::TMessage& m);
    void WMSetCursor(hostlib::TMessage& m);
    void ItemsPropertiesChanged();
    void InstallDragHook();

    hostlib::ObjectPtr<TcxBrushCache> brushCache_;
    int layoutChangeDepth_ = 0;
    hostlib::ObjectPtr<hostlib::TList> items_;
    hostlib::ObjectPtr<TcxDragImageHelper> dragImageHelper_;
    POINT dragStartPoint_{0, 0};
    hostlib::ObjectPtr<TcxCustomEditStyle> editStyle_;
    bool fullRepaint_ = false;
    hostlib::ObjectPtr<TcxCustomControlStyles> styles_;
    hostlib::ObjectPtr<TcxCustomControlViewInfo> viewInfo_;
    hostlib::ObjectPtr<TcxCustomControlController> controller_;
    hostlib::ObjectPtr<TcxControlDataController> dataController_;
    int lockCount_ = 0;
    MouseTracker mouseTracker_{this};
};

// Adds the view, data and behaviour options.
class TcxExtEditingControl : public TcxEditingControl, public IcxEditingControlOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxControlOptionsBehavior* OptionsBehavior() const { return optionsBehavior_.get(); }
    void SetOptionsBehavior(TcxControlOptionsBehavior* value) { optionsBehavior_->Assign(value); }
    TcxControlOptionsData* OptionsData() const { return optionsData_.get(); }
    void SetOptionsData(TcxControlOptionsData* value) { optionsData_->Assign(value); }
    TcxControlOptionsView* OptionsView() const { return optionsView_.get(); }
    void SetOptionsView(TcxControlOptionsView* value) { optionsView_->Assign(value); }

    TcxControlOptionsBehavior* GetOptionsBehavior() override { return optionsBehavior_.get(); }
    TcxControlOptionsData* GetOptionsData() override { return optionsData_.get(); }
    TcxControlOptionsView* GetOptionsView() override { return optionsView_.get(); }
    IcxEditingControlOptions* GetOptions() override { return this; }

protected:
    void CreateSubClasses() override;
    void DestroySubClasses() override;
    virtual hostlib::TClass GetOptionsBehaviorClass();
    virtual hostlib::TClass GetOptionsDataClass();
    virtual hostlib::TClass GetOptionsViewClass();

private:
    hostlib::ObjectPtr<TcxControlOptionsBehavior> optionsBehavior_;
    hostlib::ObjectPtr<TcxControlOptionsData> optionsData_;
    hostlib::ObjectPtr<TcxControlOptionsView> optionsView_;
};

// Unit start-up (the value-type repository) and shut-down (a drag mouse
// hook still installed is removed, the repository freed).
void cxInplaceContainerInitialize();
void cxInplaceContainerFinalize();
