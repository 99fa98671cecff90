#pragma once
// The lookup grid over a data set: columns name data-set fields, the data
// controller is a data-set controller that does not follow the data set's
// cursor, and a column's caption and width come from its field.

#include <string>

#include "components/data/cxDBData.h"
#include "components/editor-catalogue/cxDBEdit.h"
#include "components/editor-catalogue/cxLookupGrid.h"

class TcxCustomLookupDBGrid;
class TcxLookupDBGridColumn;

// A data-set column's cells take their defaults from its field, as a
// data-aware editor's do; only whether a display format is defined follows
// whether the column's data keeps texts.
class TcxLookupDBGridDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsDisplayFormatDefined(bool isCurrencyValueAccepted) override;
    TcxLookupDBGridColumn* Column() const;
};

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetDefaultValuesProviderClass() override;
    std::string DefaultCaption() override;
    TcxEditRepositoryItem* DefaultRepositoryItem() override;
    int DefaultWidth() override;
    // The provider follows the column's present field.
    void InitDefaultValuesProvider();

    std::string FieldName() const;
    void SetFieldName(const std::string& value);
    hostlib::TField* Field() const;

private:
    TcxDBDataController* DBController() const;
};

class TcxLookupDBGridColumns : public TcxLookupGridColumns {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxLookupDBGridColumn* Add() { return static_cast<TcxLookupDBGridColumn*>(TcxLookupGridColumns::Add()); }
    TcxLookupDBGridColumn* Items(int index) const
    {
        return static_cast<TcxLookupDBGridColumn*>(TcxLookupGridColumns::Items(index));
    }
    // The first column of that field name, ignoring case; nullptr for none.
    TcxLookupDBGridColumn* ColumnByFieldName(const std::string& name) const;
};

class TcxLookupGridDBDataController : public TcxDBDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    hostlib::TObject* GetItem(int index) const override;
    void UpdateScrollBars() override;
    TcxCustomLookupGrid* Grid() const { return hostlib::As<TcxCustomLookupGrid>(Owner()); }
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void InitScrollBarsParameters() override;
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    void DataChanged() override;
    hostlib::TClass GetColumnClass() override { return TcxLookupDBGridColumn::StaticClass(); }
    hostlib::TClass GetColumnsClass() override { return TcxLookupDBGridColumns::StaticClass(); }
    hostlib::TClass GetDataControllerClass() override { return TcxLookupGridDBDataController::StaticClass(); }
    virtual void CreateColumnsByFields(const std::vector<std::string>& names);

    // One column per field of the data set, in its order.
    void CreateAllColumns();
    // One column per name of a ";"-separated list.
    void CreateColumnsByFieldNames(const std::string& names);

    TcxLookupDBGridColumns* Columns() const { return static_cast<TcxLookupDBGridColumns*>(TcxCustomLookupGrid::Columns()); }
    TcxDBDataController* DBDataController() const { return static_cast<TcxDBDataController*>(DataController()); }
    hostlib::TDataSource* DataSource() const { return DBDataController()->DataSource(); }
    void SetDataSource(hostlib::TDataSource* value) { DBDataController()->SetDataSource(value); }
    std::string KeyFieldNames() const { return DBDataController()->KeyFieldNames(); }
    void SetKeyFieldNames(const std::string& value) { DBDataController()->SetKeyFieldNames(value); }

private:
    // In grid mode over a data set that numbers its records, the bar shows
    // the record number and moving it moves the focus, not the top row.
    bool IsRecNoScrolling() const;
    void ScrollByRecNo(hostlib::TScrollCode code, int position);
};

class TcxLookupDBGrid : public TcxCustomLookupDBGrid {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
