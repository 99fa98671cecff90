#pragma once
// The items of an editing control and what binds them to the record store:
// each item's data binding names its value type, the control's data
// controller takes its items, notifications and pending edits from the
// control, a repository maps value-type names to classes, and the item
// itself chooses its editor kind, reads and writes its field and lays out
// and measures its cells.

#include <string>

#include "components/data/cxDataStorage.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxEditViewData.h"
#include "components/treelist/cxInplaceContainer.h"
#include "platform/hostlib/core/lists.h"

class TcxEditCellViewInfo;
class TcxEditContainerStyles;

// ---- data binding -----------------------------------------------------------------------

// Asked by an item's editor properties for defaults; no display format.
class TcxContainerItemDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool IsDisplayFormatDefined(bool) override { return false; }
};

class TcxCustomItemDataBinding : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;

    virtual TcxEditRepositoryItem* DefaultRepositoryItem();
    virtual IcxEditDefaultValuesProvider* GetDefaultValuesProvider(TcxCustomEditProperties* properties);
    virtual hostlib::TClass GetDefaultValuesProviderClass();
    virtual TcxValueTypeClass GetValueTypeClass();
    virtual void Init() {}
    virtual void ValueTypeClassChanged();

    TcxCustomInplaceEditContainer* GetEditContainer() const;
    TcxControlDataController* GetDataController() const;
    TcxCustomEditDefaultValuesProvider* DefaultValuesProvider() const { return provider_.get(); }

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<TcxCustomEditDefaultValuesProvider> provider_;
};

class TcxItemDataBinding : public TcxCustomItemDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    TcxValueTypeClass GetValueTypeClass() override;
    // "String" and the default are never written.
    virtual bool IsValueTypeStored() const;

    // The registered description, empty for an unregistered class.
    std::string ValueType() const;
    // An unknown text changes nothing.
    void SetValueType(const std::string& value);
    TcxValueTypeClass ValueTypeClass() { return GetValueTypeClass(); }
    void SetValueTypeClass(TcxValueTypeClass value);

private:
    TcxValueTypeClass valueTypeClass_ = nullptr;
};

// ---- the control's data controller ----------------------------------------------------

class TcxControlDataController : public TcxDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    int GetItemID(hostlib::TObject* item) const override;
    void UpdateControl(TcxUpdateControlInfo* info) override;
    void UpdateItemIndexes() override;
    hostlib::TObject* GetItem(int index) const override;
    TcxDataEditValueSource GetItemValueSource(int itemIndex) const override;
    void UpdateData() override;

    TcxEditingControl* GetControl() const;
};

// ---- value types by name -----------------------------------------------------------------

class TcxValueTypeClassRepository : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // A class already registered keeps its first description.
    void RegisterValueTypeClass(const std::string& description, TcxValueTypeClass cls);
    void UnRegisterValueTypeClass(TcxValueTypeClass cls);
    std::string FindByClassType(TcxValueTypeClass cls) const;
    // Ignoring case; nullptr when none.
    TcxValueTypeClass FindByDescription(const std::string& description) const;
    int GetCount() const { return static_cast<int>(entries_.size()); }
    TcxValueTypeClass GetValueTypeClass(int index) const { return entries_.at(static_cast<std::size_t>(index)).cls; }
    std::string GetDescription(int index) const { return entries_.at(static_cast<std::size_t>(index)).description; }

private:
    struct Entry {
        std::string description;
        TcxValueTypeClass cls = nullptr;
    };
    std::vector<Entry> entries_;
};

// Created by the unit's start-up, on first use otherwise.
TcxValueTypeClassRepository* cxieValueTypeClassRepository();
void cxieRegisterValueTypeClass(const std::string& description, TcxValueTypeClass cls);
void cxieUnRegisterValueTypeClass(TcxValueTypeClass cls);
void cxieFreeValueTypeClassRepository();

// ---- the item --------------------------------------------------------------------------

enum TcxEditItemShowEditButtons { eisbDefault, eisbNever, eisbAlways };
const hostlib::TEnumInfo& EnumTypeInfo(TcxEditItemShowEditButtons*);

class TcxCustomEditContainerItemOptions : public TcxOwnedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Changed();
    void Assign(hostlib::TPersistent* source) override;

    bool Customizing() const { return customizing_; }
    void SetCustomizing(bool value) { customizing_ = value; }
    bool Editing() const { return editing_; }
    void SetEditing(bool value);
    bool Filtering() const { return filtering_; }
    void SetFiltering(bool value);
    bool Focusing() const { return focusing_; }
    void SetFocusing(bool value);
    bool IncSearch() const { return incSearch_; }
    void SetIncSearch(bool value);
    bool Moving() const { return moving_; }
    void SetMoving(bool value) { moving_ = value; }
    TcxEditItemShowEditButtons ShowEditButtons() const { return showEditButtons_; }
    void SetShowEditButtons(TcxEditItemShowEditButtons value);
    bool Sorting() const { return sorting_; }
    void SetSorting(bool value) { sorting_ = value; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }

    TcxCustomInplaceEditContainer* Item() const;

private:
    bool customizing_ = true;
    bool editing_ = true;
    bool filtering_ = true;
    bool focusing_ = true;
    bool incSearch_ = true;
    bool moving_ = true;
    TcxEditItemShowEditButtons showEditButtons_ = eisbDefault;
    bool sorting_ = true;
    bool tabStop_ = true;
};

// Sender (the item), the record's identity, the properties to use.
using TcxGetEditPropertiesEvent = hostlib::Event<TcxCustomInplaceEditContainer*, void*, TcxCustomEditProperties*&>;

class IcxEditorPropertiesContainer {
public:
    virtual TcxCustomEditProperties* GetProperties() = 0;
    virtual hostlib::TClass GetPropertiesClass() = 0;
    virtual void SetPropertiesClass(hostlib::TClass value) = 0;

protected:
    ~IcxEditorPropertiesContainer() = default;
};

class TcxCustomInplaceEditContainer : public hostlib::TComponent,
                                      public IcxEditorPropertiesContainer,
                                      public IcxEditRepositoryItemListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void Assign(hostlib::TPersistent* source) override;

    // ---- editor choice
    TcxCustomEditProperties* GetProperties() override { return properties_.get(); }
    TcxCustomEditProperties* Properties() const { return properties_.get(); }
    // Copies into the own properties; nothing without them.
    void SetProperties(TcxCustomEditProperties* value);
    hostlib::TClass GetPropertiesClass() override { return propertiesClass_; }
    void SetPropertiesClass(hostlib::TClass value) override;
    std::string PropertiesClassName() const;
    void SetPropertiesClassName(const std::string& value);
    TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
    void SetRepositoryItem(TcxEditRepositoryItem* value);
    // The effective default properties (never owned).
    TcxCustomEditProperties* PropertiesValue() const { return propertiesValue_; }
    void InternalPropertiesChanged();
    TcxCustomEditProperties* DoGetEditProperties(void* data);
    void DoGetEditingProperties(void* data, TcxCustomEditProperties*& properties);

    // ---- owned parts
    TcxCustomItemDataBinding* DataBinding() const { return dataBinding_.get(); }
    void SetDataBinding(TcxCustomItemDataBinding* value) { dataBinding_->Assign(value); }
    TcxCustomEditContainerItemOptions* Options() const { return options_.get(); }
    void SetOptions(TcxCustomEditContainerItemOptions* value) { options_->Assign(value); }
    TcxEditContainerStyles* Styles() const { return styles_.get(); }
    void SetStyles(TcxEditContainerStyles* value);
    TcxCustomEditViewData* EditViewData() const { return editViewData_.get(); }
    TcxCustomEditData* EditData() const { return editData_; }
    TcxCustomEditData*& EditDataRef() { return editData_; }
    TcxDataEditValueSource EditValueSource() const { return editValueSource_; }
    void SetEditValueSource(TcxDataEditValueSource value) { editValueSource_ = value; }

    // ---- control
    TcxEditingControl* EditingControl() const { return editingControl_; }
    void SetEditingControl(TcxEditingControl* value) { DoSetEditingControl(value); }
    // The control is going away: leave it without any notification.
    void ForgetEditingControl();
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int value) { itemIndex_ = value; }

    // ---- values
    int ValueCount() { return GetValueCount(); }
    hostlib::Variant EditValue() { return GetEditValue(); }
    void SetEditValueProperty(const hostlib::Variant& value) { SetEditValue(value); }

    // ---- state
    bool Editing() { return GetEditing(); }
    void SetEditingProperty(bool value) { SetEditing(value); }
    bool Focused();
    void SetFocused(bool value);
    bool IncSearching();
    void CancelIncSearching();
    TcxEditCellViewInfo* FocusedCellViewInfo();
    bool IsEditPartVisible();
    bool IsDestroying() const { return ComponentState().Contains(hostlib::csDestroying); }
    TcxControlDataController* GetDataController() const;

    // ---- the slots
    virtual void CalculateEditViewInfo(const hostlib::Variant& value, TcxEditCellViewInfo* cell, const POINT& mousePos);
    virtual bool CanEdit();
    virtual bool CanFocus();
    virtual bool CanInitEditing();
    virtual bool CanIncSearch();
    virtual bool CanTabStop();
    virtual void Changed();
    virtual void DataChanged();
    virtual TcxCustomEditProperties* DoGetPropertiesFromEvent(void* data, TcxCustomEditProperties* properties,
                                                              const TcxGetEditPropertiesEvent& event);
    virtual void DoOnPropertiesChanged(hostlib::TObject* sender);
    virtual TcxCanvas* GetControlCanvas();
    virtual TcxCustomControlController* GetController();
    virtual hostlib::Variant GetCurrentValue();
    virtual hostlib::TClass GetDataBindingClass();
    virtual TcxCustomEditProperties* GetDefaultEditProperties();
    virtual hostlib::Variant GetDisplayValue(TcxCustomEditProperties* properties, int recordIndex);
    virtual TcxValueTypeClass GetEditDataValueTypeClass();
    virtual int GetEditDefaultHeight(hostlib::TFont* font);
    virtual int GetEditHeight(TcxEditCellViewInfo* cell);
    virtual bool GetEditing();
    virtual TcxCustomEditStyle* GetEditStyle(void* data);
    virtual hostlib::Variant GetEditValue();
    virtual int GetEditWidth(TcxEditCellViewInfo* cell);
    virtual hostlib::TClass GetOptionsClass();
    virtual hostlib::TClass GetStylesClass();
    virtual hostlib::Variant GetValue(int recordIndex);
    virtual int GetValueCount();
    virtual void InitEditViewInfo(TcxEditCellViewInfo* cell);
    virtual void InitProperties(TcxCustomEditProperties* properties);
    virtual void PropertiesChanged();
    virtual void SetCurrentValue(const hostlib::Variant& value);
    virtual void SetEditing(bool value);
    virtual void DoSetEditingControl(TcxEditingControl* value);
    virtual void SetEditValue(const hostlib::Variant& value);
    virtual void SetValue(int recordIndex, const hostlib::Variant& value);

    // IcxEditRepositoryItemListener
    void ItemRemoved(TcxEditRepositoryItem* sender) override;
    void PropertiesChanged(TcxEditRepositoryItem* sender) override;

    hostlib::TNotifyEvent PropertiesEvents;
    TcxGetEditPropertiesEvent OnGetEditProperties;
    TcxGetEditPropertiesEvent OnGetEditingProperties;

protected:
    void Destroy() override;

private:
    void FreeEditParts();
    void PrepareCellViewData(TcxEditCellViewInfo* cell, TcxCustomEditProperties* previous);
    void ApplyIncSearchHighlight(TcxEditCellViewInfo* cell);
    SIZE MeasureCell(TcxEditCellViewInfo* cell, int width);

    TcxCustomEditData* editData_ = nullptr;
    TcxEditingControl* editingControl_ = nullptr;
    hostlib::ObjectPtr<TcxCustomEditViewData> editViewData_;
    TcxDataEditValueSource editValueSource_ = evsValue;
    int itemIndex_ = -1;
    hostlib::ObjectPtr<TcxCustomEditContainerItemOptions> options_;
    hostlib::ObjectPtr<TcxCustomEditProperties> properties_;
    hostlib::TClass propertiesClass_ = nullptr;
    TcxCustomEditProperties* propertiesValue_ = nullptr;
    TcxEditRepositoryItem* repositoryItem_ = nullptr;
    hostlib::ObjectPtr<TcxEditContainerStyles> styles_;
    hostlib::ObjectPtr<TcxCustomItemDataBinding> dataBinding_;
};
