#pragma once
// The lookup editor: a combo box whose drop-down is a grid of records
// instead of a list of strings. Its edit value is a key, its text the text
// of the list column of the record with that key; typing searches that
// column and, while the grid is open, may filter it. This layer keeps the
// grid abstract: the properties declare the grid hooks with neutral
// answers and the key is a record index; a concrete kind supplies the grid,
// its data controller and the key semantics.

#include <string>

#include "components/data/cxCustomData.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxTextEditLookup.h"

class TcxCustomLookupEdit;
class TcxCustomLookupEditProperties;

// (sender, accept): the grid asks its owner to close.
using TcxLookupEditCloseUpEvent = hostlib::Event<hostlib::TObject*, bool>;

// The lookup data of a lookup editor, over the grid's data controller.
class TcxCustomLookupEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // The owner is the editor.
    void Construct(hostlib::TPersistent* owner) override;

    // IcxTextEditLookupData.
    bool CanResizeVisualArea(SIZE& newSize, int maxHeight = 0, int maxWidth = 0) override;
    void CloseUp() override;
    void Deinitialize() override;
    void DropDown() override;
    void DroppedDown(const std::string& findText) override;
    bool Find(const std::string& text) override;
    hostlib::TWinControl* GetActiveControl() override;
    hostlib::Variant GetCurrentKey() override { return currentKey_; }
    std::string GetDisplayText(const hostlib::Variant& key) override;
    hostlib::TNotifyEvent GetOnCurrentKeyChanged() override { return OnCurrentKeyChanged; }
    hostlib::TNotifyEvent GetOnSelectItem() override { return OnSelectItem; }
    SIZE GetVisualAreaPreferredSize(int maxHeight, int width = 0) override;
    void Go(TcxEditLookupDataGoDirection direction, bool circular) override;
    void Initialize(hostlib::TWinControl* visualControlsParent) override;
    bool IsEmpty() override;
    bool IsMouseOverList(const POINT& screenPoint) override;
    bool Locate(std::string& text, std::string& tail, bool next) override;
    void PositionVisualArea(const RECT& clientRect) override;
    void PropertiesChanged() override {}
    void SelectItem() override;
    void SetCurrentKey(const hostlib::Variant& key) override;
    void SetOnCurrentKeyChanged(const hostlib::TNotifyEvent& value) override { OnCurrentKeyChanged = value; }
    void SetOnSelectItem(const hostlib::TNotifyEvent& value) override { OnSelectItem = value; }
    void TextChanged() override;

    virtual void DoCurrentKeyChanged() { OnCurrentKeyChanged(this); }
    virtual void DoSelectItem() { OnSelectItem(this); }
    // The key of a record (here its index).
    virtual void DoSetCurrentKey(int recordIndex);
    virtual void DoSyncGrid();
    virtual void GridClick(hostlib::TObject* sender);
    virtual void GridCloseUp(hostlib::TObject* sender, bool accept);
    virtual void GridFocusedRowChanged(hostlib::TObject* sender) { (void)sender; }
    // Exactly the focused row is selected.
    virtual bool IsKeySelected();
    virtual bool LocateText(const std::string& text);
    virtual void ResetIncrementalFilter();
    virtual void SyncGrid();
    virtual void SyncSelected();
    virtual void UpdateDropDownCount();

    void DoSetKeySelection(bool selected);
    void DisableChanging();
    void EnableChanging();
    TcxCustomLookupEdit* Edit() const;
    TcxCustomLookupEditProperties* Properties() const;
    TcxCustomDataController* DataController() const;
    bool Visible() const { return visible_; }

    hostlib::TNotifyEvent OnCurrentKeyChanged;
    hostlib::TNotifyEvent OnSelectItem;

protected:
    void SetStoredCurrentKey(const hostlib::Variant& key) { currentKey_ = key; }

private:
    // Runs proc with the properties' change lock raised.
    template <class F>
    void Changing(F&& proc);
    int LocateRecord(const std::string& text, int listIndex);
    int FilterRecords(const std::string& text, int listIndex);
    void MoveTo(TcxEditLookupDataGoDirection direction, bool circular);
    std::string EditText() const;

    bool visible_ = false;
    hostlib::Variant currentKey_ = hostlib::Variant::Null();
};

class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {}; }
    hostlib::TClass GetContainerClass() override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    bool FindLookupText(const std::string& text) override;
    hostlib::TClass GetLookupDataClass() override;
    bool IsPopupKey(WORD key, hostlib::TShiftState shift) override;

    // The grid hooks: neutral here, a concrete kind gives its grid.
    virtual hostlib::TWinControl* GetLookupGridActiveControl() { return GetLookupGridControl(); }
    virtual bool GetLookupGridCanResize() { return true; }
    virtual int GetLookupGridColumnCount() { return 0; }
    virtual hostlib::TWinControl* GetLookupGridControl() { return nullptr; }
    virtual TcxCustomDataController* GetLookupGridDataController() { return nullptr; }
    virtual int GetLookupGridVisualAreaPreferredWidth() { return 0; }
    virtual int GetLookupGridNearestPopupHeight(int height) { return height; }
    virtual int GetLookupGridPopupHeight(int rowCount) { return (void)rowCount, 0; }
    virtual bool IsLookupGridMouseOverList(const POINT& p) { return (void)p, false; }
    virtual void LookupGridDeinitialize() {}
    virtual void LookupGridDroppedDown(const std::string& findText) { (void)findText; }
    virtual void LookupGridInitEvents(const hostlib::TNotifyEvent& onClick,
                                      const hostlib::TNotifyEvent& onFocusedRowChanged,
                                      const TcxLookupEditCloseUpEvent& onCloseUp)
    {
        (void)onClick, (void)onFocusedRowChanged, (void)onCloseUp;
    }
    virtual void LookupGridInitialize() {}
    virtual void LookupGridInitLookAndFeel(TcxLookAndFeel* lookAndFeel, hostlib::TColor color, hostlib::TFont* font)
    {
        (void)lookAndFeel, (void)color, (void)font;
    }
    virtual void LookupGridLockMouseMove() {}
    virtual void LookupGridMakeFocusedRowVisible() {}
    virtual void LookupGridUnlockMouseMove() {}

    virtual void DeinitializeDataController();
    // The record of the first row whose item text matches from record 0 on.
    virtual int FindByText(int itemIndex, const std::string& text, bool partial);
    virtual int GetDisplayColumnIndex() { return displayColumnIndex_; }
    virtual std::string GetDisplayLookupText(const hostlib::Variant& key) { return (void)key, std::string(); }
    virtual bool GetIncrementalFiltering() { return incrementalFiltering_; }
    // The list column: the display column, or the last one; -1 without.
    virtual int GetListIndex();
    virtual hostlib::Variant GetNullKey() { return hostlib::Variant::Null(); }
    virtual void GridDataChanged(hostlib::TObject* sender);
    virtual void InitializeDataController();
    virtual bool IsChangeLocked() { return changeLockCount_ != 0; }
    virtual bool IsDataChangedPostponed();
    virtual bool IsDefinedByLookup() { return IsLookupField(); }
    virtual bool IsPickMode() { return false; }
    virtual void LockDataChanged();
    virtual void SetDisplayColumnIndex(int index);
    virtual void UnlockDataChanged();
    virtual void UnlinkLookupGridControlParent();
    virtual bool IsLookupField() { return false; }

    // Lowers a display column index past the columns to the last one.
    void CheckDisplayColumnIndex();
    TcxCustomDataController* GetDataController() { return GetLookupGridDataController(); }
    void DisableChanging() { ++changeLockCount_; }
    void EnableChanging() { --changeLockCount_; }
    bool InDataChange() const { return inDataChange_; }

    bool DropDownAutoSize() const { return PopupAutoSize(); }
    void SetDropDownAutoSize(bool value) { SetPopupAutoSize(value); }
    int DropDownHeight() const { return PopupHeight(); }
    void SetDropDownHeight(int value) { SetPopupHeight(value); }
    bool IncrementalFiltering() const { return incrementalFiltering_; }
    void SetIncrementalFiltering(bool value) { incrementalFiltering_ = value; }

private:
    int displayColumnIndex_ = 0;
    int changeLockCount_ = 0;
    bool inDataChange_ = false;
    bool incrementalFiltering_ = true;
};

class TcxCustomLookupEdit : public TcxCustomComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomComboBox::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomLookupEditProperties* Properties() const
    {
        return static_cast<TcxCustomLookupEditProperties*>(TcxCustomComboBox::Properties());
    }
    TcxCustomLookupEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomLookupEditProperties*>(TcxCustomComboBox::ActiveProperties());
    }
    TcxCustomLookupEditLookupData* LookupData() const
    {
        return hostlib::As<TcxCustomLookupEditLookupData>(LookupDataObject());
    }
    void SetLookupData(TcxCustomLookupEditLookupData* value) { LookupData()->Assign(value); }

    void PropertiesChanged(hostlib::TObject* sender) override;
    void SynchronizeDisplayValue() override;
    bool InternalFocused() override { return true; }
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue, bool editFocused) override;
    void DropDown() override;
    // Lays the open popup out again after the grid's height changed.
    void RelayoutPopup() { SetupPopupWindow(); }

protected:
    void AfterPosting() override;
    void BeforePosting() override;
    void RepositoryItemAssigning() override;
};
