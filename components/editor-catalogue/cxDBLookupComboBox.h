#pragma once
// The lookup combo box: a data-set lookup editor that owns its drop-down
// grid (a data-set lookup grid marked a popup control) and answers the grid
// hooks from it. Its value is the key of the chosen record of the list
// source, its text that record's list field.

#include <string>

#include "components/editor-catalogue/cxDBEdit.h"
#include "components/editor-catalogue/cxDBLookupEdit.h"
#include "components/editor-catalogue/cxDBLookupGrid.h"
#include "components/editors/cxEditRepositoryItems.h"

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties, public IcxLookupGridListOptions {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetContainerClass() override;

    int GetLookupGridColumnCount() override;
    hostlib::TWinControl* GetLookupGridControl() override { return grid_.get(); }
    TcxCustomDataController* GetLookupGridDataController() override;
    int GetLookupGridVisualAreaPreferredWidth() override;
    int GetLookupGridNearestPopupHeight(int height) override { return grid_->GetNearestPopupHeight(height); }
    int GetLookupGridPopupHeight(int rowCount) override { return grid_->GetPopupHeight(rowCount); }
    bool IsLookupGridMouseOverList(const POINT& p) override { return grid_->IsMouseOverList(p); }
    void LookupGridInitEvents(const hostlib::TNotifyEvent& onClick, const hostlib::TNotifyEvent& onFocusedRowChanged,
                              const TcxLookupEditCloseUpEvent& onCloseUp) override;
    void LookupGridInitLookAndFeel(TcxLookAndFeel* lookAndFeel, hostlib::TColor color, hostlib::TFont* font) override;
    void LookupGridLockMouseMove() override { grid_->SetPopupMouseMoveLocked(true); }
    void LookupGridMakeFocusedRowVisible() override { grid_->MakeFocusedRowVisible(); }
    void LookupGridUnlockMouseMove() override;

    void DBLookupGridBeginUpdate() override { grid_->BeginUpdate(); }
    void DBLookupGridCheckColumnByFieldName(const std::string& name) override;
    void DBLookupGridCreateColumnsByFieldNames(const std::string& names) override;
    void DBLookupGridEndUpdate() override { grid_->EndUpdate(); }
    hostlib::TField* GetDBLookupGridColumnField(int index) override;
    std::string GetDBLookupGridColumnFieldName(int index) override;
    int GetDBLookupGridColumnIndexByFieldName(const std::string& name) override;
    TcxDBDataController* GetDBLookupGridDataController() override;

    // IcxLookupGridListOptions, for the default lookup item of data sets.
    void SetGridLines(TcxGridLines value) override { ListOptions()->SetGridLines(value); }
    void SetShowHeader(bool value) override { ListOptions()->SetShowHeader(value); }

    void ListOptionsChanged(hostlib::TObject* sender) { (void)sender, Changed(); }
    bool GridMode() const { return IsUseLookupList(); }
    void SetGridMode(bool value) { SetIsUseLookupList(value); }
    TcxLookupDBGridColumns* ListColumns() const { return grid_->Columns(); }
    void SetListColumns(TcxLookupDBGridColumns* value);
    TcxLookupGridOptions* ListOptions() const { return grid_->Options(); }
    void SetListOptions(TcxLookupGridOptions* value) { grid_->Options()->Assign(value); }
    // Nil while the bound lookup field defines the list.
    hostlib::TDataSource* ListSource() const
    {
        return grid_ && !Mutable()->IsDefinedByLookup() ? grid_->DataSource() : nullptr;
    }
    void SetListSource(hostlib::TDataSource* value);
    std::string KeyFieldNamesProperty() const { return Mutable()->KeyFieldNames(); }
    int ListFieldIndexProperty() const { return Mutable()->ListFieldIndex(); }
    std::string ListFieldNamesProperty() const { return Mutable()->ListFieldNames(); }
    TcxLookupDBGrid* Grid() const { return grid_.get(); }

protected:
    void Destroy() override;

private:
    TcxLookupComboBoxProperties* Mutable() const { return const_cast<TcxLookupComboBoxProperties*>(this); }

    hostlib::ObjectPtr<TcxLookupDBGrid> grid_;
};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetPropertiesClass() const override;
    TcxLookupComboBoxProperties* Properties() const
    {
        return static_cast<TcxLookupComboBoxProperties*>(TcxCustomDBLookupEdit::Properties());
    }
    void SetProperties(TcxLookupComboBoxProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxLookupComboBoxProperties* ActiveProperties()
    {
        return static_cast<TcxLookupComboBoxProperties*>(TcxCustomDBLookupEdit::ActiveProperties());
    }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The data-aware lookup combo box: its value is the bound field's.
class TcxDBLookupComboBox : public TcxDBEditTwin<TcxCustomLookupComboBox, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Unit start-up: "LookupComboBox" joins the registered editor kinds;
// shut-down only counts down.
void cxDBLookupComboBoxInitialize();
void cxDBLookupComboBoxFinalize();
