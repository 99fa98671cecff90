#pragma once
// The editor control base: stand-alone on a form or the in-place editor of
// a list cell. It owns a properties object of its kind or uses those of a
// repository item, keeps the edit value, tells of changes (held back while
// change events are locked) and talks to its value's home through a data
// binding.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditDataBinding.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxContainer.h"
#include "platform/hostlib/visual/timer.h"

class TcxCustomEdit;
class TcxEditRepositoryItem;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;

// The editor's validation error raised later from its own message handling;
// wParam is the serial number of a text the editor keeps (see
// PostValidationError), so a stray message carries nothing to free.
inline constexpr UINT CM_EDITVALIDATIONERROR = 0x8069;

// The real control an editor may host (the typing window of text kinds);
// the editor talks to it only through this.
class IcxCustomInnerEdit : public IcxContainerInnerControl {
public:
    virtual hostlib::Variant GetEditValue() = 0;
    virtual hostlib::TNotifyEvent GetOnChange() = 0;
    virtual bool GetReadOnly() = 0;
    // Nested: each True is undone by one False; never below zero.
    virtual void LockBounds(bool lock) = 0;
    // Focuses without the platform's select-all on entering.
    virtual void SafelySetFocus() = 0;
    virtual void SetEditValue(const hostlib::Variant& value) = 0;
    virtual void SetParent(hostlib::TWinControl* value) = 0;
    virtual void SetOnChange(const hostlib::TNotifyEvent& value) = 0;
    virtual void SetReadOnly(bool value) = 0;

protected:
    ~IcxCustomInnerEdit() = default;
};

// Counts change-event locks and remembers what fired meanwhile.
class TcxEditChangeEventsCatcher : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxEditChangeEventsCatcher(TcxCustomEdit* edit) : edit_(edit) {}
    bool IsLocked() const { return lockCount_ > 0; }
    // The first lock forgets what was remembered; the last unlock with
    // invoke fires it.
    void Lock(bool lock, bool invokeChangedOnUnlock = true);
    bool OnChangeEvent = false;
    bool OnEditValueChangedEvent = false;

private:
    TcxCustomEdit* edit_;
    int lockCount_ = 0;
};

using TcxEditKeyEvent = hostlib::Event<hostlib::TObject*, WORD&, hostlib::TShiftState>;

class TcxCustomEdit : public TcxContainer {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    // The in-place constructor.
    virtual void Construct(bool isInplace, hostlib::TComponent* owner);
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Class factories.
    virtual hostlib::TClass GetPropertiesClass() const;
    virtual hostlib::TClass GetDataBindingClass() const;
    virtual hostlib::TClass GetEditDataClass() const { return nullptr; }
    // The class of the hosted real control (an IcxCustomInnerEdit); none here.
    virtual hostlib::TClass GetInnerEditClass() const { return nullptr; }

    bool IsInplace() const override { return isInplace_; }
    // The styles of the active properties' kind.
    TcxContainerStyleClass GetStyleClass() const override;
    TcxContainerStyleClass GetStyleExClass() const override;
    TcxContainerViewInfoClass GetViewInfoClass() const override;
    // A plain editor stores none of the button and popup values.
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;
    TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(TcxContainer::Style()); }
    void SetStyle(TcxEditStyle* value) { TcxContainer::SetStyle(value); }
    TcxEditStyleEx* StyleFocused() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleFocused()); }
    void SetStyleFocused(TcxEditStyleEx* value) { TcxContainer::SetStyleFocused(value); }
    TcxEditStyleEx* StyleDisabled() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleDisabled()); }
    void SetStyleDisabled(TcxEditStyleEx* value) { TcxContainer::SetStyleDisabled(value); }
    TcxEditStyleEx* StyleHot() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleHot()); }
    void SetStyleHot(TcxEditStyleEx* value) { TcxContainer::SetStyleHot(value); }
    TcxCustomEditViewInfo* ViewInfo() const;
    TcxCustomEditProperties* Properties() const { return properties_.get(); }
    void SetProperties(TcxCustomEditProperties* value) { properties_->Assign(value); }
    // The repository item's properties (given this editor's provider), else
    // the own ones.
    TcxCustomEditProperties* ActiveProperties() { return InternalGetActiveProperties(); }
    TcxCustomEditProperties* GetActiveProperties() { return InternalGetActiveProperties(); }
    TcxCustomEditProperties* InternalGetActiveProperties();
    TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
    // Raises Exception "The repository item is not acceptable" for an item
    // of another kind; the editor keeps its item then.
    void SetRepositoryItem(TcxEditRepositoryItem* value);
    TcxEditDataBinding* DataBinding() const { return dataBinding_.get(); }
    void SetDataBinding(TcxEditDataBinding* value);
    // The provider says a data set stands behind the editor.
    bool IsDBEdit();
    // A data-set editor painted as a copy of itself (grid rows).
    bool IsDBEditPaintCopyDrawing();
    bool HasInnerEdit() const { return innerEdit_ != nullptr; }
    IcxCustomInnerEdit* InnerEdit() const { return innerEdit_; }
    // Sizes itself to its content; True unless in place.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value) { SetEditAutoSize(value); }

    hostlib::Variant EditValue() { return GetEditValue(); }
    void SetEditValueProperty(const hostlib::Variant& value) { SetEditValue(value); }
    virtual hostlib::Variant GetEditValue() { return editValue_; }
    virtual void SetEditValue(const hostlib::Variant& value);
    void SetInternalEditValue(const hostlib::Variant& value);
    virtual void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue);
    virtual void Clear() { SetEditValue(hostlib::Variant::Null()); }
    virtual std::string GetDisplayValue() { return {}; }
    virtual void SetInternalDisplayValue(const hostlib::Variant& value) { (void)value; }
    virtual void SynchronizeDisplayValue() {}
    virtual void SynchronizeEditValue() {}
    virtual void ResetEditValue();
    virtual bool CanModify();
    virtual void SelectAll() {}
    virtual void CopyToClipboard() {}
    virtual void CutToClipboard() {}
    virtual void PasteFromClipboard() {}
    virtual bool HasPopupWindow() { return false; }
    virtual bool InternalFocused() { return Focused(); }
    virtual void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue, bool editFocused)
    {
        (void)displayValue, (void)editValue, (void)editFocused;
    }

    bool Modified() const { return modified_; }
    void SetModified(bool value);
    bool ModifiedAfterEnter() const { return modifiedAfterEnter_; }
    void SetModifiedAfterEnter(bool value);
    void SaveModified() { savedModified_.emplace_back(modified_, modifiedAfterEnter_); }
    void RestoreModified();

    virtual void PropertiesChanged(hostlib::TObject* sender);
    bool PropertiesChangeLocked() const;

    void LockChangeEvents(bool lock, bool invokeChangedOnUnlock = true) { catcher_->Lock(lock, invokeChangedOnUnlock); }
    bool AreChangeEventsLocked() const { return catcher_->IsLocked(); }
    TcxEditChangeEventsCatcher* ChangeEventsCatcher() const { return catcher_.get(); }
    void LockEditValueChanging(bool lock);
    void LockClick(bool lock);
    bool IsClickLocked() const { return clickLock_ > 0; }
    void DisableValidate() { ++validateDisableCount_; }
    void EnableValidate();
    void DoChange();
    void DoEditValueChanged();
    virtual void DoOnChange();
    virtual void DoOnEditValueChanged();
    bool IsOnChangeEventAssigned();
    bool IsOnEditValueChangedEventAssigned();
    bool IsOnValidateEventAssigned();
    void DoOnValidate(hostlib::Variant& displayValue, std::string& errorText, bool& error);
    bool DoEditing();
    // DoEditing is asking CanModify and OnEditing.
    bool IsInsideEditing() const { return insideEditing_; }
    void DoClick();
    void DoPostEditValue() { OnPostEditValue(this); }

    // Checks the text the user typed: valid, or (raiseError) the error is
    // shown and raised; the text stays as validation left it.
    bool ValidateEdit(bool raiseError);
    // Writes the value to its home: the data binding, or in place the
    // list control through OnPostEditValue.
    void PostEditValue();
    bool CanPostEditValue();
    void Reset() { dataBinding_->Reset(); }
    // Has the error text raised later from the editor's own message loop.
    void PostValidationError(const std::string& text);

    // Per-cell data of an in-place container.
    virtual void Activate(TcxCustomEditData*& editData);
    virtual void ActivateByKey(char key, TcxCustomEditData*& editData);
    // x, y in the parent's client coordinates.
    virtual void ActivateByMouse(hostlib::TShiftState shift, int x, int y, TcxCustomEditData*& editData);
    // Validates (raising) on leaving a cell; the value then shows as stored.
    virtual bool Deactivate();
    void DoClearEditData(TcxCustomEditData* editData);
    TcxCustomEditData* EditData() const { return editData_; }
    bool IsDblClickTimerRunning() const;

    // Visible index of the button at the point, -1 for none.
    int ButtonVisibleIndexAt(POINT p);
    virtual bool HandleMouseWheel(hostlib::TShiftState shift);
    virtual bool IsActiveControl();
    void GetTabOrderList(std::vector<hostlib::TWinControl*>& list) override;
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    void CalculateViewInfo(POINT p, bool mouseTracking) override;
    void CalculateViewInfo(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent);
    void SetSize() override;
    bool TabsNeeded() override { return true; }
    bool IsNativeStyle() override;
    void SafeSelectionFocusInnerControl() override;
    RECT GetBorderExtent() override;
    RECT GetShadowBounds() override;
    bool CanResize(int& width, int& height) override;
    void FocusChanged() override;
    void SetName(const std::string& name) override;
    void Click() override;
    using TcxContainer::MouseLeave;
    void MouseLeave(hostlib::TControl* control) override;

    TcxEditEditingEvent OnEditing;
    TcxEditKeyEvent OnAfterKeyDown;
    hostlib::TNotifyEvent OnPostEditValue;

protected:
    void Destroy() override;
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void Loaded() override;
    void ReadState(hostlib::TReader& reader) override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void CreateHandle() override;
    void Paint() override;
    void RequestAlign() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void DblClick() override;
    void DoEnter() override;
    void DoExit() override;

    // Layout and the inner edit.
    virtual void AdjustInnerEditPosition();
    virtual bool CanAutoSize() { return true; }
    virtual bool CanAutoWidth();
    virtual void CreateInnerEdit();
    virtual TcxCustomEditViewData* CreateViewData();
    virtual void FillSizeProperties(TcxEditSizeProperties& sizeProperties);
    virtual void InitializeInnerEdit();
    virtual void InitializeViewData(TcxCustomEditViewData* viewData);
    virtual void ProcessViewInfoChanges(TcxCustomEditViewInfo* prevViewInfo, bool isMouseEvent);
    virtual void SetEditAutoSize(bool value);
    virtual LRESULT LockedInnerEditWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void LockInnerEditRepainting();
    void UnlockInnerEditRepainting();
    // Posting.
    virtual void AfterPosting() { posting_ = false; }
    virtual void BeforePosting() { posting_ = true; }
    void InternalPostEditValue(bool validateEdit);
    // Keys.
    virtual bool CanKeyDownModifyEdit(WORD key, hostlib::TShiftState shift) { return (void)key, (void)shift, false; }
    virtual bool CanKeyPressModifyEdit(char key) { return (void)key, false; }
    virtual void DoEditKeyDown(WORD& key, hostlib::TShiftState shift);
    virtual void DoEditKeyPress(char& key) { ValidateKeyPress(key); }
    virtual void DoEditKeyUp(WORD& key, hostlib::TShiftState shift) { (void)key, (void)shift; }
    virtual void DoEditProcessTab(hostlib::TShiftState shift) { (void)shift; }
    void DoAfterKeyDown(WORD& key, hostlib::TShiftState shift);
    virtual bool IsEditorKey(WORD key, hostlib::TShiftState shift);
    virtual bool SendActivationKey(char key) { return (void)key, true; }
    virtual bool ValidateKeyDown(WORD& key, hostlib::TShiftState shift);
    virtual void ValidateKeyPress(char& key);
    virtual bool WantNavigationKeys() { return false; }
    // Editing and values.
    virtual void ChangeHandler(hostlib::TObject* sender);
    virtual void EditingChanged() {}
    virtual void HandleValidationError(const std::string& errorText);
    virtual bool InternalDoEditing() { return true; }
    virtual void InternalSetDisplayValue(const hostlib::Variant& value) { (void)value; }
    virtual void InternalSetReadOnly(bool value);
    virtual void InternalValidateDisplayValue(const hostlib::Variant& displayValue);
    virtual bool IsEditValueStored() { return !editValue_.IsNull(); }
    virtual bool IsValidChar(char key);
    virtual void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue, bool editFocused);
    virtual bool SetDisplayText(const std::string& value) { return (void)value, false; }
    virtual bool UpdateContentOnFocusChanging() { return true; }
    virtual void UpdateDrawValue() {}
    // Buttons.
    void DefaultButtonClick();
    virtual void DoButtonClick(int buttonVisibleIndex);
    virtual void DoButtonDown(int buttonVisibleIndex) { (void)buttonVisibleIndex; }
    virtual void DoButtonUp(int buttonVisibleIndex) { (void)buttonVisibleIndex; }
    bool CheckButtonShortCuts(char key);
    // Classes and data.
    virtual bool IsClickEnabledDuringLoading() { return false; }
    virtual bool IsEditClass() { return false; }
    virtual bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* item);
    virtual void PaintCopyDraw();
    virtual void RepositoryItemAssigning() {}
    virtual void RepositoryItemAssigned() {}
    virtual void InitializeEditData() {}

    // The value alone, for kinds that derive it from their text.
    void StoreEditValue(const hostlib::Variant& value) { editValue_ = value; }
    // Escape reset the value; the character it makes is still to come.
    bool IsEscapeHandled() const { return escapeHandled_; }
    bool IsUserChange() const { return userChange_; }
    void SetUserChange(bool value) { userChange_ = value; }
    bool IsValidated() const { return validated_; }
    void SetValidated(bool value) { validated_ = value; }
    bool IsPosting() const { return posting_; }
    int CapturedButtonIndex() const { return capturedButtonIndex_; }
    hostlib::Variant& ValueAtEntry() { return valueAtEntry_; }

private:
    // How the editor hears of its repository item.
    class RepositoryListener : public IcxEditRepositoryItemListener {
    public:
        explicit RepositoryListener(TcxCustomEdit* edit) : edit_(edit) {}
        void ItemRemoved(TcxEditRepositoryItem* item) override;
        void PropertiesChanged(TcxEditRepositoryItem* item) override;

    private:
        TcxCustomEdit* edit_;
    };
    friend class TcxEditChangeEventsCatcher;
    friend struct TcxCustomEditAccess;
    // A data-aware binding passes its link's editing state on.
    friend class TcxDBEditDataBinding;

    bool IsLoadingOrDestroying() const { return IsLoading() || IsDestroying() || destroying_; }
    void AttachOwnProperties();
    template <class Fire>
    void FireInplaceGuarded(Fire&& fire);
    void RepositoryItemRemoved();
    bool ValidateDisplayText(bool raiseError);
    void RestoreDisplayAfterError(const std::string& displayValue);
    void PostingFailed();
    void ClearKeyPressed(WORD& key);
    void ClickKeyPressed(WORD& key);
    void TabPressed(WORD& key, hostlib::TShiftState shift);
    void EnterPressed(WORD& key);
    void DoHideEdit(bool exit);
    bool IsModalFormClosing();
    void RemovePendingChar();
    void DblClickTimerHandler(hostlib::TObject* sender);
    bool RefreshWithViewInfo(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent);
    SIZE ComputedEditSize();
    // One per message of WndProc and Dispatch.
    void CMDialogChar(hostlib::TMessage& m);
    void CMEditValidationError(hostlib::TMessage& m);
    void CMShowingChanged(hostlib::TMessage& m);
    void WMCut();
    void WMPaste();

    bool isInplace_ = false;
    bool destroying_ = false;
    hostlib::ObjectPtr<TcxCustomEditProperties> properties_;
    TcxEditRepositoryItem* repositoryItem_ = nullptr;
    std::unique_ptr<RepositoryListener> listener_;
    hostlib::ObjectPtr<TcxEditDataBinding> dataBinding_;
    hostlib::ObjectPtr<TcxEditChangeEventsCatcher> catcher_;
    IcxCustomInnerEdit* innerEdit_ = nullptr;
    hostlib::Variant editValue_;
    hostlib::Variant valueAtEntry_;
    bool modified_ = false;
    bool modifiedAfterEnter_ = false;
    std::vector<std::pair<bool, bool>> savedModified_;
    bool validated_ = false;
    bool userChange_ = false;
    bool insideEditing_ = false;
    bool posting_ = false;
    bool errorHandling_ = false;
    bool escapeHandled_ = false;
    bool lastFocused_ = false;
    bool autoSize_ = true;
    bool sizing_ = false;
    bool resizing_ = false;
    bool settingShadowRegion_ = false;
    int editValueChangingLock_ = 0;
    int clickLock_ = 0;
    int validateDisableCount_ = 0;
    int capturedButtonIndex_ = -1;
    TcxCustomEditData* editData_ = nullptr;
    hostlib::TTimer* dblClickTimer_ = nullptr;
    // Error texts waiting for their CM_EDITVALIDATIONERROR, by serial number.
    std::map<WPARAM, std::string> pendingErrors_;
    WPARAM nextErrorSerial_ = 1;
    WNDPROC savedInnerEditProc_ = nullptr;
};
using TcxCustomEditClass = hostlib::TClass;
